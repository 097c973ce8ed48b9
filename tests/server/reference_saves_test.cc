// Saves and reads of the reference kinds over HTTP: index order, names-only
// replies, acknowledgements, refused uploads that store nothing, and the
// seeded records saved and read back byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

#include "reference_format.h"
#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "support/road_text.h"

using servertest::KalvoroClient;
using servertest::Lines;

using servertest::SaveBody;

namespace {

std::string Load(const std::string& kind, bool namesOnly, const std::string& edb = "demo&Malmo2024") {
  return "iedbvk2.cgi&REF&loadxxxdb&" + edb + "&" + kind + "&" + (namesOnly ? "1" : "0");
}

edb::TimevarEntry Timevar(const std::string& name, uint16_t index) {
  edb::TimevarEntry entry;
  entry.name = name;
  entry.index = index;
  for (auto& hour : entry.typeday) hour = {"100", "90", "60:1", "40"};
  entry.month.fill(100);
  entry.scenario = {1, 0.9f, 0.85f, 1, 1, 1, 1, 1.2f, 0.8f, 0.75f};
  return entry;
}

edb::EmfacEntry Emfac(const std::string& name, uint32_t index) {
  return edb::EmfacEntry{name, index, 3, "ADT*LEN*EF", {{"ADT", false}, {"LEN", false}, {"EF", true}}};
}

edb::SubgrpEntry Subgrp(const std::string& name, uint32_t index) {
  return edb::SubgrpEntry{name, index, {{1, 0.15f, 0, "MWh/year"}, {5, 0.09f, 0.5f, "MWh/year"}}};
}

// Records as the library's writer sends them: each followed by its separator.
template <typename Entry>
std::string Sent(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& e : entries) {
    if constexpr (std::is_same<Entry, edb::EmfacEntry>::value) {
      text += edb::RecordText(e, edb::TextForm::kWriter) + "\n";
    } else {
      text += edb::RecordText(e) + "\n";
    }
  }
  return text;
}

using ReferenceSaves = servertest::SeededServerTest;

TEST_F(ReferenceSaves, RecordsComeBackInIndexOrder) {
  for (const char* kind : {"timevarp", "timevarr"}) {
    EXPECT_EQ(
        "Ok.\nOk.\nOk.\n",
        Save(SaveBody(kind, "-1", Sent<edb::TimevarEntry>({Timevar("C", 40), Timevar("A", 2), Timevar("B", 7)}))));
    EXPECT_EQ(Sent<edb::TimevarEntry>({Timevar("A", 2), Timevar("B", 7), Timevar("C", 40)}), Get(Load(kind, false)));
  }
  EXPECT_EQ("Ok.\nOk.\n", Save(SaveBody("subgrp", "-1", Sent<edb::SubgrpEntry>({Subgrp("Z", 9), Subgrp("Y", 1)}))));
  EXPECT_EQ(Sent<edb::SubgrpEntry>({Subgrp("Y", 1), Subgrp("Z", 9)}), Get(Load("subgrp", false)));
  EXPECT_EQ("Ok.\nOk.\n", Save(SaveBody("emfac", "-1", Sent<edb::EmfacEntry>({Emfac("Q", 300), Emfac("P", 12)}))));
  // Returned with one blank between keyword and value.
  EXPECT_EQ(
      "NAME \"P\"\nINDEX 12\nSUBSTANCE 3\nFORMULA ADT*LEN*EF\nVAR.1 ADT\nTYPE.1 VAR\nVAR.2 LEN\nTYPE.2 VAR\n"
      "VAR.3 EF\nTYPE.3 CONST\n\n"
      "NAME \"Q\"\nINDEX 300\nSUBSTANCE 3\nFORMULA ADT*LEN*EF\nVAR.1 ADT\nTYPE.1 VAR\nVAR.2 LEN\nTYPE.2 VAR\n"
      "VAR.3 EF\nTYPE.3 CONST\n\n",
      Get(Load("emfac", false)));
  // Searchkeys: one "OK!" for the whole list; an empty name is no searchkey.
  EXPECT_EQ("OK!\n", Save(SaveBody("sub", "2", "12 \"Hamnen\"\n3 \"Backa\"\n\n7 \"\"\n")));
  EXPECT_EQ("3 \"Backa\"\n12 \"Hamnen\"\n", Get("iedbvk2.cgi&REF&loadsubs&demo&Malmo2024&2"));
}

TEST_F(ReferenceSaves, NamesOnlyRepliesHoldNameIndexAndSeparator) {
  ASSERT_EQ("Ok.\nOk.\n",
            Save(SaveBody("timevarr", "-1", Sent<edb::TimevarEntry>({Timevar("Late", 5), Timevar("Early", 1)}))));
  EXPECT_EQ("NAME \"Early\"\nINDEX 1\n\nNAME \"Late\"\nINDEX 5\n\n", Get(Load("timevarr", true)));
  ASSERT_EQ("Ok.\n", Save(SaveBody("subgrp", "-1", Sent<edb::SubgrpEntry>({Subgrp("Oil", 4)}))));
  EXPECT_EQ("NAME \"Oil\"\nINDEX 4\n\n", Get(Load("subgrp", true)));
  ASSERT_EQ("Ok.\n", Save(SaveBody("emfac", "-1", Sent<edb::EmfacEntry>({Emfac("Dust", 8)}))));
  EXPECT_EQ("NAME \"Dust\"\nINDEX 8\n\n", Get(Load("emfac", true)));
  // The seeded records: two lines and the separator each, in index order.
  std::string names = Get(Load("emfac", true, "demo&Gothenburg2025"));
  EXPECT_EQ(0u, names.find("NAME \"NOx gas boiler\"\nINDEX 1\n\nNAME \"SO2 oil sulphur\"\nINDEX 2\n\n"));
  EXPECT_EQ(edb::DemoEmissionFactors().size() * 3, static_cast<size_t>(std::count(names.begin(), names.end(), '\n')));
  EXPECT_EQ("", Get(Load("timevarp", true)));
}

TEST_F(ReferenceSaves, MalformedUploadsAreRefusedWhole) {
  const std::string good = Sent<edb::TimevarEntry>({Timevar("A", 1), Timevar("B", 2)});
  ASSERT_EQ("Ok.\nOk.\n", Save(SaveBody("timevarp", "-1", good)));
  std::string before = server_.dumpRecords();
  std::string third = edb::RecordText(Timevar("C", 3));
  const struct {
    std::string kind, count, records, reply;
  } refused[] = {
      // A malformed third record: the first two are not stored either.
      {"timevarp", "-1", good + third.substr(0, third.find("MONTH")) + "\n",
       "Error: record 3: the record ends before its MONTH line 1\n"},
      {"timevarp", "-1", good + "NAME \"C\"\nINDEX three\n",
       "Error: record 3: INDEX needs a whole number from 0 to 65535: INDEX three\n"},
      {"timevarr", "-1", good + good, "Error: record 3: index 1 is also that of record 1\n"},
      {"subgrp", "-1", "NAME \"G\"\nINDEX 1\nSUBSTANCES\n\t1 \t0.5 \tMWh/year\n\n",
       "Error: record 1: SUBSTANCES line 1 needs a substance, slope, m and unit: ?1 ?0.5 ?MWh/year\n"},
      {"emfac", "-1", "NAME \"F\"\nINDEX 1\nSUBSTANCE 1\nFORMULA a\nVAR.1 \tx\nTYPE.1 \tvariable\n\n",
       "Error: record 1: TYPE.1 must be VAR or CONST: variable\n"},
      {"sub", "3", "1 \"Diesel\"\n1 \"Petrol\"\n", "Error: record 2: index 1 is also that of record 1\n"},
      {"sub", "3", "1 \"Diesel\"\nPetrol\n",
       "Error: record 2: a whole number from 0 to 65535 and a quoted name expected: Petrol\n"},
      // The substances themselves are never written, however well-formed.
      {"sub", "0", "1 \"NOx\"\n", "Error: substances cannot be written\n"},
      {"sub", "6", "1 \"NOx\"\n", "Error: the substance list number must be 0 to 5\n"},
  };
  for (const auto& r : refused) {
    std::string reply = Save(SaveBody(r.kind, r.count, r.records));
    EXPECT_EQ(r.reply, reply) << r.kind << "\n" << r.records;
    // One line the library does not take for an acknowledgement.
    EXPECT_NE(0u, reply.find("Ok."));
    EXPECT_NE(0u, reply.find("OK!"));
  }
  EXPECT_EQ(before, server_.dumpRecords());
  EXPECT_EQ(good, Get(Load("timevarp", false)));
}

TEST_F(ReferenceSaves, RoadsAreReadStrictlyToo) {
  // An empty attribute line, which a road sheet cannot show, refuses the road.
  EXPECT_EQ("Error: record 1: ALOB line 1 is empty, which a road sheet cannot show\n",
            Save(SaveBody("road", "-1", test_support::RoadText("Car", "ALOB 1\n\n") + "\n")));
  EXPECT_EQ("", Get(Load("road", false)));
}

TEST_F(ReferenceSaves, SeededRecordsSavedAgainReadBackByteForByte) {
  const struct {
    const char* kind;
    int list;
  } kinds[] = {{"sub", 1},      {"sub", 2},      {"sub", 3},    {"sub", 4},  {"sub", 5},
               {"timevarp", 0}, {"timevarr", 0}, {"subgrp", 0}, {"emfac", 0}};
  auto read = [this](const char* kind, int list, const std::string& edb) {
    return std::string(kind) == "sub" ? Get("iedbvk2.cgi&REF&loadsubs&" + edb + "&" + std::to_string(list))
                                      : Get(Load(kind, false, edb));
  };
  // What the library's writer sends for the seeded records, saved into an
  // EDB without them, reads back as the seeded EDB's reply.
  for (const auto& k : kinds) {
    SCOPED_TRACE(std::string(k.kind) + " " + std::to_string(k.list));
    std::string seeded = read(k.kind, k.list, "demo&Gothenburg2025");
    std::string reply = Save(SaveBody(k.kind, std::to_string(k.kind == std::string("sub") ? k.list : -1),
                                      edb::DemoSaveLines(k.kind, k.list), "anna", "Stockholm2023"));
    EXPECT_EQ(0u, reply.find(k.kind == std::string("sub") ? "OK!\n" : "Ok.\n"));
    EXPECT_EQ(seeded, read(k.kind, k.list, "anna&Stockholm2023"));
  }
  // A seeded reply saved back as it is changes no stored byte.
  std::string before = server_.dumpRecords();
  for (const auto& k : kinds) {
    std::string seeded = read(k.kind, k.list, "demo&Gothenburg2025");
    Save(
        SaveBody(k.kind, std::to_string(k.kind == std::string("sub") ? k.list : -1), seeded, "demo", "Gothenburg2025"));
  }
  EXPECT_EQ(before, server_.dumpRecords());
}

}  // namespace
