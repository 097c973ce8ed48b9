// Saves and reads of the record kinds that a save replaces whole (traffic,
// companies, facilities): the seeded records saved again are stored
// unchanged, names-only reads, and malformed uploads (or a changed road-vehicle
// definition) refused whole with nothing stored.  A new kind adds its rows to
// the tables here.
#include <gtest/gtest.h>

#include <string>

#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::SaveBody;

namespace {

std::string Load(const std::string& kind, bool namesOnly = false) {
  return "iedbvk2.cgi&REF&loadxxxdb&demo&Gothenburg2025&" + kind + "&" + (namesOnly ? "1" : "0");
}

std::string SaveTo(const std::string& kind, const std::string& records) {
  return SaveBody(kind, "-1", records, "demo", "Gothenburg2025");
}

// A vehicle with one substance; speed line `bad` (1..11) replaced by badLine.
std::string Vehicle(int index, const std::string& substance = "1", int bad = 0, const std::string& badLine = "") {
  std::string text = "NAME \"Car " + std::to_string(index) + "\"\nINDEX " + std::to_string(index) +
                     "\nACTIVITYCODE 7.1\nISHEAVY 0\nSUBSTANCE " + substance + "\n";
  for (int s = 1; s <= 11; ++s) {
    text += s == bad ? badLine + "\n" : "    SPEED " + std::to_string(s) + " EMISSION 0.5\n";
  }
  return text + "\n";
}

// A roadtype with `blocks` vehicle blocks, the TYPEDAY line of the first
// replaced by typeday when given.
std::string Roadtype(int blocks, const std::string& typeday = "") {
  std::string text = "NAME \"Street\"\nINDEX 1\n";
  for (int b = 1; b <= blocks; ++b) {
    text += "VEHICLE " + std::to_string(b) + "\n";
    for (int h = 0; h < 24; ++h) {
      text += (h == 0 && !typeday.empty()) ? typeday + "\n" : std::string(h == 0 ? "TYPEDAY" : "") + "\t 10 20 30 40\n";
    }
    text += "MONTH\t 100 100 100 100 100 100\n\t 100 100 100 100 100 100\nSCENARIO\t 1 1 1 1 1\n\t 1 1 1 1 1\n";
    text += "MINSPEED 2 MAXSPEED 4\n";
  }
  return text + "\n";
}

std::string RoadVehicle(const std::string& line) {
  return "NAME \"PC\"\nINDEX 1\nACTIVITYCODE \nISHEAVY 0\nISTRAFFIC 1\nWEIGHT 1500.000000\nEMISSIONMODEL 1\n"
         "FLOWEQUI 1\nDEPENDENCY 0\nINFO \"\"\n" + line + "\n\n";
}

std::string Texts(const std::string& info = "") {
  return "INFO \"" + info + "\"\nINFO2 \"\"\nADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\n";
}

std::string Company(const std::string& id, const std::string& tail = "ALOB 0\n\n") {
  return "ID \"" + id + "\"\nNAME \"Bruk\"\n" + Texts() + tail;
}

std::string Facility(const std::string& x, const std::string& y, const std::string& info = "") {
  return "X " + x + "\nY " + y + "\nNAME \"Plant\"\nCOMPANY \"1\"\n" + Texts(info) + "ALOB 0\n\n";
}

using RecordSaves = servertest::SeededServerTest;

TEST_F(RecordSaves, SeededRecordsSavedAgainAreStoredUnchanged) {
  std::string before = server_.dumpRecords();
  std::string definition = Get(Load("svehsb"));
  ASSERT_EQ(0u, definition.find("DIMENSION 3\nDIM1 7\nDIM2 8\nDIM3 5\nDIMSPEED 3\nUSEALTSPEED 0\nHEADER1 Vehicle"));
  const struct {
    std::string kind, writer;
  } kinds[] = {
      {"veh", edb::DemoVehicleSaveLines("veh")},          {"sveh", edb::DemoVehicleSaveLines("sveh")},
      {"roadtype", edb::DemoVehicleSaveLines("roadtype")}, {"company", edb::DemoCompanySaveLines("company")},
      {"facility", edb::DemoCompanySaveLines("facility")},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    // As the library's writer sends them, and as the server hands them out.
    std::string reply = Get(Load(k.kind));
    for (const std::string& records : {k.writer, k.kind == "sveh" ? definition + reply : reply}) {
      std::string ack = Save(SaveTo(k.kind, records));
      EXPECT_EQ(0u, ack.find("Ok.\n")) << ack;
      EXPECT_EQ(before, server_.dumpRecords());
    }
  }
}

TEST_F(RecordSaves, NamesOnlyRepliesHoldNameIndexAndSeparator) {
  EXPECT_EQ(0u, Get(Load("veh", true)).find("NAME \"Car petrol Euro4\"\nINDEX 1\n\nNAME \"Car petrol Euro5\"\nINDEX 2\n\n"));
  EXPECT_EQ(0u, Get(Load("sveh", true)).find("NAME \"PC petrol\"\nINDEX 1\n\nNAME \"PC diesel\"\nINDEX 2\n\n"));
  EXPECT_EQ(0u, Get(Load("roadtype", true)).find("NAME \"Motorway 110\"\nINDEX 1\n\nNAME \"Motorway 90\"\nINDEX 2\n\n"));
}

TEST_F(RecordSaves, MalformedUploadsAreRefusedWhole) {
  std::string before = server_.dumpRecords();
  std::string definition = Get(Load("svehsb"));
  std::string changed = definition;
  changed.replace(changed.find("TEXT1 Car"), 9, "TEXT1 Auto");
  const struct {
    std::string kind, records, reply;
  } refused[] = {
      {"veh", Vehicle(1) + Vehicle(2, "1", 5, "    SPEED 5 EMISSION"),
       "Error: record 2: SPEED 5 line of substance 1 needs SPEED 5 EMISSION and a number\n"},
      {"veh", Vehicle(1) + Vehicle(2, "1", 6, "    SPEED 7 EMISSION 0.5"),
       "Error: record 2: SPEED 6 line of substance 1 needs SPEED 6 EMISSION and a number\n"},
      {"veh", Vehicle(1, "0"), "Error: record 1: SUBSTANCE needs a whole number from 1 to 32767: 0\n"},
      {"veh", Vehicle(1) + Vehicle(1), "Error: record 2: index 1 is also that of record 1\n"},
      {"roadtype", Roadtype(11), "Error: record 1: more than 10 vehicles\n"},
      {"roadtype", Roadtype(1, "TYPEDAY\t 10 20 30"),
       "Error: record 1: TYPEDAY line for hour 1 needs 4 values: TYPEDAY? 10 20 30\n"},
      {"sveh", definition + "\n" + RoadVehicle("1 Car Petrol 50kmh 0.1 0.2 0.3"),
       "Error: record 1: an emission line needs a substance, 3 class texts and four factors: 1 Car Petrol 50kmh 0.1 "
       "0.2 0.3\n"},
      {"sveh", definition + "\n" + RoadVehicle("1 Car Kerosene 50kmh 0.1 0.2 0.3 0.4"),
       "Error: record 1: unknown class text Kerosene of dimension 2: 1 Car Kerosene 50kmh 0.1 0.2 0.3 0.4\n"},
      // The definition is the server's own.
      {"sveh", changed + "\n" + RoadVehicle("1 Auto Petrol 50kmh 0.1 0.2 0.3 0.4"),
       "Error: the road-vehicle definition differs from the EDB's, and it cannot be saved\n"},
      {"svehsb", definition, "Error: unknown record kind svehsb\n"},
      {"company", Company(""), "Error: record 1: the company ID is empty\n"},
      {"company", Company(std::string(32, 'i')), "Error: record 1: ID is longer than 31 characters\n"},
      {"company", Company("1") + Company("1"), "Error: record 2: company ID 1 is also that of record 1\n"},
      {"company", Company("1", "ALOB 2\nA=1\n"), "Error: record 1: the upload ends before the ALOB line 2\n"},
      {"company", Company("1", "ALOB 1\nA=1\nB=2\n\n"), "Error: record 1: an empty line must end the record: B=2\n"},
      {"company", Company("1", "ALOB 1\n" + std::string(255, 'a') + "\n\n"),
       "Error: record 1: ALOB line 1 is longer than 254 characters\n"},
      {"facility", Facility("0", "5"), "Error: record 1: X needs a whole number from 1 to 2147483647: 0\n"},
      {"facility", Facility("5", "2147483648"),
       "Error: record 1: Y needs a whole number from 1 to 2147483647: 2147483648\n"},
      {"facility", Facility("5", "6", std::string(48, 'i')), "Error: record 1: INFO is longer than 47 characters\n"},
      {"facility", Facility("5", "6", "a\"b"), "Error: record 1: INFO needs one quoted text: \"a\"b\"\n"},
      {"facility", Facility("5", "6") + Facility("5", "6"), "Error: record 2: facility at 5 6 is also that of record 1\n"},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(r.reply, Save(SaveTo(r.kind, r.records))) << r.kind << "\n" << r.records;
  }
  EXPECT_EQ(before, server_.dumpRecords());
}

// An EDB without a definition takes back the empty one a workbook shows for
// it, and road vehicles without emission lines.
TEST_F(RecordSaves, AnEdbWithoutADefinitionTakesTheEmptyOne) {
  ASSERT_EQ("", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&svehsb&0"));
  std::string records = "DIMENSION 0\nDIMSPEED \nUSEALTSPEED \n\n" + RoadVehicle("");
  records.pop_back();  // one separator after the record
  EXPECT_EQ("Ok.\n", Save(SaveBody("sveh", "-1", records, "demo", "Malmo2024")));
  EXPECT_EQ("Error: the road-vehicle definition differs from the EDB's, and it cannot be saved\n",
            Save(SaveBody("sveh", "-1", "DIMENSION 0\nDIMSPEED 1\nUSEALTSPEED 0\n\n", "demo", "Malmo2024")));
}

}  // namespace
