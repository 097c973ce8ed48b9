// Saves of the record kinds that a save replaces whole: malformed uploads are
// refused whole with nothing stored (valid records round-trip in tests/e2e).
#include <gtest/gtest.h>

#include <string>

#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "support/road_text.h"

using servertest::Load;

namespace {

const std::string kEdb = "demo&Gothenburg2025";

std::string SaveTo(const std::string& kind, const std::string& records) {
  return servertest::SaveBody(kind, "-1", records, "demo", "Gothenburg2025");
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  if (!from.empty()) text.replace(text.find(from), from.size(), to);
  return text;
}

// One road as the library's writer prints it, with its separator; `from` is replaced by `to`.
std::string Road(const std::string& from = "", const std::string& to = "") {
  std::string road = Replaced(test_support::RoadText("Avenyn"), "EMIFAC \n", "EMIFAC \nVEH1 1 1 100\n") + "\n";
  return Replaced(road, from, to);
}

// A point source; corners replaces the X2..PY lines, tail what follows HOUSE HEIGHT.
std::string Source(const std::string& corners = "X2 0\nY2 0\nPX 0\nPY 0\n", const std::string& chimney = "45",
                   const std::string& tail = "NOSEGMENTS 0\nBUILD_WIDTHS\nBUILD_HEIGHTS\nBUILD_LENGTHS\n"
                                             "BUILD_DISTFARWALL\nBUILD_CENTER\nGEOCODE \nFORMULAMACRO \"\"\nALOB 0\n") {
  return "X1 5\nY1 6\n" + corners + "NAME \"Stack\"\nINFO \"\"\nINFO2 \"\"\nDATE 250101\nCHANGED 000000\n"
         "CHIMNEY HEIGHT " + chimney + "\nGASTEMPERATURE 0\nGAS FLOW 0\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\n"
         "SEARCHKEY4 0\nSEARCHKEY5 0\nCHIMNEY OUT 0\nCHIMNEY IN 0\nHOUSE WIDTH 0\nHOUSE HEIGHT 0\n" + tail;
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

// A roadtype with `blocks` vehicle blocks, each opening with the line typeday.
std::string Roadtype(int blocks, const std::string& typeday = "TYPEDAY\t 10 20 30 40") {
  std::string text = "NAME \"Street\"\nINDEX 1\n";
  for (int b = 1; b <= blocks; ++b) {
    text += "VEHICLE " + std::to_string(b) + "\n" + typeday + "\n";
    for (int h = 1; h < 24; ++h) text += "\t 10 20 30 40\n";
    text += "MONTH\t 100 100 100 100 100 100\n\t 100 100 100 100 100 100\nSCENARIO\t 1 1 1 1 1\n\t 1 1 1 1 1\n"
            "MINSPEED 2 MAXSPEED 4\n";
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

TEST_F(RecordSaves, MalformedUploadsAreRefusedWhole) {
  std::string before = server_.dumpRecords();
  std::string definition = Get(Load(kEdb, "svehsb"));
  std::string changed = Replaced(definition, "TEXT1 Car", "TEXT1 Auto");
  std::string noBuilding = "BUILD_WIDTHS\nBUILD_HEIGHTS\nBUILD_LENGTHS\nBUILD_DISTFARWALL\nBUILD_CENTER\n";
  std::string manyPairs;
  for (int i = 0; i <= 2000; ++i) manyPairs += "X" + std::to_string(i) + " 1 Y" + std::to_string(i) + " 1\n";
  const struct {
    std::string kind, records, reply;  // the reply without "Error: " and the line end
  } refused[] = {
      {"road", Road("Avenyn", std::string(48, 'n')), "record 1: NAME is longer than 47 characters"},
      {"road", Road("EMIFAC ", "EMIFAC 1 2 3 4 5 6 7 8 9 10 11 12 13"),
       "record 1: EMIFAC holds more than 12 emission factors"},
      {"road", Road("VEH1 1 1 100", "VEH1 1 1"), "record 1: VEH1 needs an index, a time variation and a value: 1 1"},
      {"road", Road("X1 3 Y1 4", "X2 3 Y2 4"), "record 1: coordinate pair 2 must be X1 x Y1 y: X2 3 Y2 4"},
      {"road", Road("X0 1 Y0 2\nX1 3 Y1 4\n", manyPairs), "record 1: more than 2000 coordinate pairs"},
      {"road", Road("ALOB 0", "ALOB 2\nA=1\n"), "record 1: ALOB line 2 is empty, which a road sheet cannot show"},
      {"road", Road("HEIGHT 0", "HEIGHT x0"), "record 1: HEIGHT holds a letter: x0 0 0 0 0 0 0 0 0 0 0 0"},
      {"road", Road() + Road("SPEED 3", "SPEED 3.5"),
       "record 2: SPEED needs a whole number from -2147483648 to 2147483647: 3.5"},
      {"source", Source("X2 7\nY2 0\nPX 0\nPY 0\n"), "record 1: X2 and Y2 must both be given or both be 0"},
      {"source", Source("X2 7\nY2 8\nPX 0\nPY 0\n"), "record 1: CHIMNEY HEIGHT must be 0 for an area source"},
      {"source", Source("X2 0\nY2 0\nPX 0\nPY 0\n", "65536"),
       "record 1: CHIMNEY HEIGHT needs a whole number from 0 to 65535: 65536"},
      {"source", Source("X2 0\nY2 0\nPX 0\nPY 0\n", "1", "NOSEGMENTS 1\n" + noBuilding),
       "record 1: BUILD_WIDTHS needs one value for each of the 1 segments"},
      {"source", Source() + "EMISSION.2.SUBSTANCE 1\n",
       "record 1: EMISSION.1.SUBSTANCE line expected: EMISSION.2.SUBSTANCE 1"},
      {"source", Source() + "EMISSION.1.SUBSTANCE 1\nEMISSION.1.EMISSION 1e39\n",
       "record 1: EMISSION.1.EMISSION needs a single-precision number: 1e39"},
      {"source", Source() + "SUBGRP.1.SUBGRP 1\nSUBGRP.1.ACTIVITY 1\nSUBGRP.1.TIMEVAR 1\nSUBGRP.1.UNIT " +
                     std::string(64, 'u') + "\n",
       "record 1: SUBGRP.1.UNIT is longer than 63 characters"},
      {"source", Source() + "\n" + Source() + "NOISE 1\n",
       "record 2: EMISSION, SUBGRP or ACTIVITY block expected: NOISE 1"},
      // Sources are saved as source and read as source2.
      {"source2", Source(), "unknown record kind source2"},
      {"veh", Vehicle(1) + Vehicle(2, "1", 5, "    SPEED 5 EMISSION"),
       "record 2: SPEED 5 line of substance 1 needs SPEED 5 EMISSION and a number"},
      {"veh", Vehicle(1, "0"), "record 1: SUBSTANCE needs a whole number from 1 to 32767: 0"},
      {"veh", Vehicle(1) + Vehicle(1), "record 2: index 1 is also that of record 1"},
      {"roadtype", Roadtype(11), "record 1: more than 10 vehicles"},
      {"roadtype", Roadtype(1, "TYPEDAY\t 10 20 30"),
       "record 1: TYPEDAY line for hour 1 needs 4 values: TYPEDAY? 10 20 30"},
      {"sveh", definition + "\n" + RoadVehicle("1 Car Petrol 50kmh 0.1 0.2 0.3"),
       "record 1: an emission line needs a substance, 3 class texts and four factors: 1 Car Petrol 50kmh 0.1 0.2 0.3"},
      {"sveh", definition + "\n" + RoadVehicle("1 Car Kerosene 50kmh 0.1 0.2 0.3 0.4"),
       "record 1: unknown class text Kerosene of dimension 2: 1 Car Kerosene 50kmh 0.1 0.2 0.3 0.4"},
      // The definition is the server's own.
      {"sveh", changed + "\n" + RoadVehicle("1 Auto Petrol 50kmh 0.1 0.2 0.3 0.4"),
       "the road-vehicle definition differs from the EDB's, and it cannot be saved"},
      {"company", Company(""), "record 1: the company ID is empty"},
      {"company", Company("1", "ALOB 2\nA=1\n"), "record 1: the upload ends before the ALOB line 2"},
      {"company", Company("1", "ALOB 1\nA=1\nB=2\n\n"), "record 1: an empty line must end the record: B=2"},
      {"company", Company("1", "ALOB 1\n" + std::string(255, 'a') + "\n\n"),
       "record 1: ALOB line 1 is longer than 254 characters"},
      {"facility", Facility("5", "2147483648"), "record 1: Y needs a whole number from 1 to 2147483647: 2147483648"},
      {"facility", Facility("5", "6", "a\"b"), "record 1: INFO needs one quoted text: \"a\"b\""},
      {"facility", Facility("5", "6", "a\x1f" "b"), "record 1: INFO holds a control character"},
      {"facility", Facility("5", "6") + Facility("5", "6"), "record 2: facility at 5 6 is also that of record 1"},
  };
  for (const auto& r : refused) {
    EXPECT_EQ("Error: " + r.reply + "\n", Save(SaveTo(r.kind, r.records))) << r.kind << "\n" << r.records;
  }
  EXPECT_EQ(before, server_.dumpRecords());
}

// An EDB without a definition takes back the empty one a workbook shows for
// it, and road vehicles without emission lines.
TEST_F(RecordSaves, AnEdbWithoutADefinitionTakesTheEmptyOne) {
  ASSERT_EQ("", Get(Load("demo&Malmo2024", "svehsb")));
  std::string records = "DIMENSION 0\nDIMSPEED \nUSEALTSPEED \n\n" + RoadVehicle("");
  records.pop_back();  // one separator after the record
  EXPECT_EQ("Ok.\n", Save(servertest::SaveBody("sveh", "-1", records)));
  EXPECT_EQ("Error: the road-vehicle definition differs from the EDB's, and it cannot be saved\n",
            Save(servertest::SaveBody("sveh", "-1", "DIMENSION 0\nDIMSPEED 1\nUSEALTSPEED 0\n\n")));
}

using GridSaves = servertest::SeededServerTest;

std::string Upload(const std::string& grid, const std::string& header, const std::string& data) {
  return "REF\nsavegrid\ndemo\nGothenburg2025\n" + grid + "\n#GRIDASC\n" + header + "#GRIDDATA\n" + data + "#EOF\n";
}

// A header of substance values with two substances and a dynamic name.
std::string Header(const std::string& fuel = "0", const std::string& substances = "SUBSTANCE 1\nSUBSTANCE 3\n") {
  return "X 100\nY 200\nNX 2\nNY 1\nDX 10\nDY 10\nNAME DYNAMIC\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\n"
         "POSTADDRESS \"\"\nINFOGIVER \"\"\nDATE 250101\nCHANGED 0\nMISC \"\"\nFUEL " +
         fuel + "\nFORMULA 1\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\nSEARCHKEY4 0\nSEARCHKEY5 0\nACTIVITYCODE\n"
         "GEOCODE 1480\n" + substances;
}

constexpr const char* kAccepted = "Examining data\nWrite index\nWrite data 2 cells\nOK!\n";

TEST_F(GridSaves, ANewGridIsListedAndReadBack) {
  std::string data = "100@200@North@1.5@2\n110@200@South@0@0.25\n";
  EXPECT_EQ(kAccepted, Save(Upload("Test grid", Header(), data)));
  EXPECT_NE(std::string::npos,
            Get("iedbvk2.cgi&REF&listgrids&demo&Gothenburg2025").find("Shipping2025\nTest grid\nTraffic2025\n"));
  EXPECT_EQ(Header(), Get("iedbvk2.cgi&REF&loadgridasc&demo&Gothenburg2025&Test%20grid"));
  EXPECT_EQ(data, Get("iedbvk2.cgi&REF&loadgriddata&demo&Gothenburg2025&Test%20grid"));
}

TEST_F(GridSaves, MalformedUploadsAreRefusedWithNothingStored) {
  std::string before = server_.dumpRecords();
  const std::string cells = "100@200@North@1.5@2\n", full = Upload("Heating2025", Header(), cells);
  const struct {
    std::string upload, reply;
  } refused[] = {
      {Upload("Heating2025", "X 100\n", cells), "Error: grid header: Y must be a whole number from 0 to 4294967295\n"},
      {Upload("Heating2025", Header("4"), cells),
       "Error: grid header: SUBSTANCE lines belong only to a grid whose FUEL is 0\n"},
      {Upload("Heating2025", Header("0", ""), cells),
       "Error: grid header: a grid whose FUEL is 0 needs at least one SUBSTANCE line\n"},
      {Upload("Heating2025", Header("x"), cells), "Error: grid header: FUEL must be an index\n"},
      {Upload("Heating2025", Header().replace(Header().find("FORMULA 1"), 9, "FORMULA 0"), cells),
       "Error: grid header: FORMULA must name a time variation by its index\n"},
      {Upload("", Header(), cells), "Error: grid header: invalid grid name \"\"\n"},
      {Upload("Heating2025", Header(), "100@200@North@1.5\n"),
       "Examining data\nError: grid Heating2025: data line 1: 4 fields where the header makes 5\n"},
      {Upload("Heating2025", Header(), cells + "100@200@North@x@2\n"),
       "Examining data\nError: grid Heating2025: data line 2: the value x is not a number\n"},
      {full.substr(0, full.size() - 5), "Examining data\nError: grid Heating2025: the #EOF line is missing\n"},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(r.reply, Save(r.upload));
    EXPECT_EQ(before, server_.dumpRecords());
  }
}

}  // namespace
