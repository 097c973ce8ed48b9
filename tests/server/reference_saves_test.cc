// Saves and reads of the reference kinds over HTTP: index order, names-only
// replies, acknowledgements, refused uploads that store nothing, and the
// seeded records saved back unchanged.
#include <gtest/gtest.h>

#include <algorithm>

#include "reference_format.h"
#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::Load;
using servertest::SaveBody;

namespace {

const std::string kMalmo = "demo&Malmo2024";

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

// A record as the library's writer sends it, followed by its separator.
std::string Sent(const edb::EmfacEntry& e) { return edb::RecordText(e, edb::TextForm::kWriter) + "\n"; }
template <typename Entry>
std::string Sent(const Entry& e) {
  return edb::RecordText(e) + "\n";
}

std::string Names(const std::string& name, int index) {
  return "NAME \"" + name + "\"\nINDEX " + std::to_string(index) + "\n\n";
}

using ReferenceSaves = servertest::SeededServerTest;

TEST_F(ReferenceSaves, RecordsComeBackInIndexOrder) {
  // Emission factors come back with one blank between keyword and value.
  auto emfacRead = [](const std::string& name, int index) {
    return "NAME \"" + name + "\"\nINDEX " + std::to_string(index) +
           "\nSUBSTANCE 3\nFORMULA ADT*LEN*EF\nVAR.1 ADT\nTYPE.1 VAR\nVAR.2 LEN\nTYPE.2 VAR\nVAR.3 EF\n"
           "TYPE.3 CONST\n\n";
  };
  const struct {
    std::string kind, sent, acks, read, names;
  } kinds[] = {
      {"timevarp", Sent(Timevar("C", 40)) + Sent(Timevar("A", 2)) + Sent(Timevar("B", 7)), "Ok.\nOk.\nOk.\n",
       Sent(Timevar("A", 2)) + Sent(Timevar("B", 7)) + Sent(Timevar("C", 40)),
       Names("A", 2) + Names("B", 7) + Names("C", 40)},
      {"timevarr", Sent(Timevar("Late", 5)) + Sent(Timevar("Early", 1)), "Ok.\nOk.\n",
       Sent(Timevar("Early", 1)) + Sent(Timevar("Late", 5)), Names("Early", 1) + Names("Late", 5)},
      {"subgrp", Sent(Subgrp("Z", 9)) + Sent(Subgrp("Y", 1)), "Ok.\nOk.\n", Sent(Subgrp("Y", 1)) + Sent(Subgrp("Z", 9)),
       Names("Y", 1) + Names("Z", 9)},
      {"emfac", Sent(Emfac("Q", 300)) + Sent(Emfac("P", 12)), "Ok.\nOk.\n", emfacRead("P", 12) + emfacRead("Q", 300),
       Names("P", 12) + Names("Q", 300)},
  };
  for (const auto& k : kinds) {
    EXPECT_EQ(k.acks, Save(SaveBody(k.kind, "-1", k.sent))) << k.kind;
    EXPECT_EQ(k.read, Get(Load(kMalmo, k.kind))) << k.kind;
    EXPECT_EQ(k.names, Get(Load(kMalmo, k.kind, true))) << k.kind;
  }
  // A new save replaces all records of the kind; an empty one empties it.
  EXPECT_EQ("Ok.\n", Save(SaveBody("timevarp", "-1", Sent(Timevar("D", 4)))));
  EXPECT_EQ(Sent(Timevar("D", 4)), Get(Load(kMalmo, "timevarp")));
  EXPECT_EQ("", Save(SaveBody("timevarp", "-1", "")));
  EXPECT_EQ("", Get(Load(kMalmo, "timevarp")));
  // Searchkeys: one "OK!" for the whole list; an empty name is no searchkey.
  EXPECT_EQ("OK!\n", Save(SaveBody("sub", "2", "12 \"Hamnen\"\n3 \"Backa\"\n\n7 \"\"\n")));
  EXPECT_EQ("3 \"Backa\"\n12 \"Hamnen\"\n", Get("iedbvk2.cgi&REF&loadsubs&demo&Malmo2024&2"));
  // The seeded records: two lines and the separator each, in index order.
  std::string names = Get(Load("demo&Gothenburg2025", "emfac", true));
  EXPECT_EQ(0u, names.find(Names("NOx gas boiler", 1) + Names("SO2 oil sulphur", 2)));
  EXPECT_EQ(edb::DemoEmissionFactors().size() * 3, static_cast<size_t>(std::count(names.begin(), names.end(), '\n')));
}

TEST_F(ReferenceSaves, MalformedUploadsAreRefusedWhole) {
  const std::string good = Sent(Timevar("A", 1)) + Sent(Timevar("B", 2));
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
    EXPECT_EQ(r.reply, Save(SaveBody(r.kind, r.count, r.records))) << r.kind << "\n" << r.records;
  }
  EXPECT_EQ(before, server_.dumpRecords());
  EXPECT_EQ(good, Get(Load(kMalmo, "timevarp")));
}

// The seeded replies saved back as they are change no stored byte (the
// library's writer's form of them: tests/e2e/round_trip_test.cc).
TEST_F(ReferenceSaves, SeededRecordsSavedAgainAreStoredUnchanged) {
  const std::string before = server_.dumpRecords(), edb = "demo&Gothenburg2025";
  const struct {
    const char* kind;
    int list;
  } kinds[] = {{"sub", 1},      {"sub", 2},      {"sub", 3},    {"sub", 4},  {"sub", 5},
               {"timevarp", 0}, {"timevarr", 0}, {"subgrp", 0}, {"emfac", 0}};
  for (const auto& k : kinds) {
    const std::string kind = k.kind, list = std::to_string(k.list);
    std::string seeded = Get(kind == "sub" ? "iedbvk2.cgi&REF&loadsubs&" + edb + "&" + list : Load(edb, kind));
    std::string ack = Save(SaveBody(kind, kind == "sub" ? list : "-1", seeded, "demo", "Gothenburg2025"));
    EXPECT_EQ(0u, ack.find(k.list ? "OK!\n" : "Ok.\n")) << kind << " " << list;
    EXPECT_EQ(before, server_.dumpRecords()) << kind << " " << list;
  }
}

}  // namespace
