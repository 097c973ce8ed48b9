// The reference kinds: their records read in process, and their saves over
// HTTP in index order, refused whole with nothing stored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_kinds.h"
#include "reference_format.h"
#include "reference_upload.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::Load;
using servertest::SaveBody;

namespace {

struct Outcome {
  bool ok = false;
  std::string reason;
  std::vector<edb::ReferenceRecord> records;
};

Outcome Read(edb::ReferenceKind kind, const std::string& lines) {
  Outcome out;
  out.ok = edb::ReadReferenceRecords(kind, lines, &out.records, &out.reason);
  return out;
}

std::string Repeat(const std::string& line, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += line;
  return text;
}

std::string TimevarLines(const std::string& name = "Day", const std::string& index = "3") {
  return "NAME \"" + name + "\"\nINDEX " + index + "\nTYPEDAY\t1 2 3 4\n" + Repeat("\t1 2 3 4\n", 23) +
         "MONTH\t1 2 3 4 5 6\n\t7 8 9 10 11 12\nSCENARIO\t1 1 1 1 1\n\t0.5 1 1 1 2\n";
}

std::string EmfacWithVariables(int n, uint32_t index = 1) {
  edb::EmfacEntry entry{"F", index, 1, "a", {}};
  for (int i = 1; i <= n; ++i) entry.variables.push_back({"v" + std::to_string(i), i % 2 == 0});
  return edb::RecordText(entry, edb::TextForm::kWriter);
}

TEST(ReferenceRecords, StoredFormIsTheWritersWithOneBlankAfterKeywords) {
  using K = edb::ReferenceKind;
  const std::string emfac =
      "NAME \"F\"\nINDEX 1\nSUBSTANCE 1\nFORMULA a\nVAR.1 v1\nTYPE.1 VAR\nVAR.2 v2\nTYPE.2 CONST\n";
  EXPECT_NE(std::string::npos, EmfacWithVariables(2).find("VAR.1 \tv1\nTYPE.1 \tVAR\nVAR.2 \tv2\nTYPE.2 \tCONST\n"));
  const struct {
    K kind;
    std::string lines, stored;
  } cases[] = {
      // Values apart by any run of blanks and tabs come back in the writer's layout.
      {K::kTimevar,
       "NAME   \"Day\"  \nINDEX 003\nTYPEDAY  1 2 3 4\n" + Repeat(" 1\t2  3 4 \n", 23) +
           "MONTH 1 2 3 4 5 6\n\t7 8 9 10 11 +12\nSCENARIO 1.0 1 1 1 1\n\t0.50 1 1 1 2e0\n",
       TimevarLines() + "|"},
      {K::kSubgrp, "NAME \"G\"\nINDEX 9\nSUBSTANCES\n\t5 \t0.25 \t0 \tMWh/year\n3 1.50 -2 %\n",
       "NAME \"G\"\nINDEX 9\nSUBSTANCES\n\t5 \t0.25 \t0 \tMWh/year\n\t3 \t1.5 \t-2 \t%\n|"},
      // The emission factor's blank and tab before a value become one blank;
      // the stored form reads back as itself.
      {K::kEmfac, EmfacWithVariables(2) + "\n", emfac + "|"},
      {K::kEmfac, emfac, emfac + "|"},
      {K::kSubstance, "  12\t\"NOx as NO2\" \r\n7 \"\"\n\n\n5 \"G\xF6teborg\"",
       "5 \"G\xF6teborg\"\n|7 \"\"\n|12 \"NOx as NO2\"\n|"},
  };
  for (const auto& c : cases) {
    Outcome out = Read(c.kind, c.lines);
    std::string text;
    for (const auto& r : out.records) text += r.text + "|";
    EXPECT_EQ(c.stored, text) << out.reason;
  }
}

TEST(ReferenceRecords, RecordsAreNumberedAndOrderedByIndex) {
  Outcome t = Read(edb::ReferenceKind::kTimevar,
                   "\n" + TimevarLines("C", "30") + "\n\n" + TimevarLines("A", "4") + "\n" + TimevarLines("B", "17"));
  ASSERT_TRUE(t.ok) << t.reason;
  std::vector<std::pair<uint32_t, size_t>> indexAndNumber;
  for (const auto& r : t.records) indexAndNumber.emplace_back(r.index, r.number);
  EXPECT_EQ((std::vector<std::pair<uint32_t, size_t>>{{4, 2}, {17, 3}, {30, 1}}), indexAndNumber);
  EXPECT_TRUE(Read(edb::ReferenceKind::kSubgrp, "").ok);
}

TEST(ReferenceRecords, MalformedRecordsAreNamed) {
  // A time variation with `from` replaced by `to`.
  const struct {
    std::string from, to, reason;
  } timevars[] = {
      {"INDEX 3", "INDEX 65536", "record 1: INDEX needs a whole number from 0 to 65535: INDEX 65536"},
      {"NAME \"Day\"", "NAME \"A\"B\"", "record 1: NAME needs one quoted text: NAME \"A\"B\""},
      {"NAME \"Day\"", "NAME \"" + std::string(20, 'n') + "\"", "record 1: the name is longer than 19 characters"},
      {"NAME", "INDEX", "record 1: NAME line expected: INDEX \"Day\""},
      {"INDEX 3", "INDEX3", "record 1: INDEX needs a whole number from 0 to 65535: INDEX3"},
      // Hour 2 without its leading tab.
      {"TYPEDAY\t1 2 3 4\n\t", "TYPEDAY\t1 2 3 4\n", "record 1: TYPEDAY line for hour 2 needs four values: 1 2 3 4"},
      // An empty line inside the record ends it early; it does not start a new one.
      {"TYPEDAY\t1 2 3 4\n", "TYPEDAY\t1 2 3 4\n\n", "record 1: the record ends before its TYPEDAY line for hour 2"},
      {"\t7 8 9 10 11 12", "\t7 8 9 10 11 40000",
       "record 1: MONTH line 2 needs six whole numbers from -32768 to 32767: ?7 8 9 10 11 40000"},
      {"\t0.5 1 1 1 2", "\t0.5 1 1 1 1e39", "record 1: SCENARIO line 2 needs five numbers: ?0.5 1 1 1 1e39"},
      {"\t0.5 1 1 1 2\n", "\t0.5 1 1 1 2\nEXTRA 1\n", "record 1: unexpected line after the record: EXTRA 1"},
  };
  for (const auto& c : timevars) {
    std::string lines = TimevarLines();
    lines.replace(lines.find(c.from), c.from.size(), c.to);
    EXPECT_EQ(c.reason, Read(edb::ReferenceKind::kTimevar, lines).reason) << lines;
  }
  using K = edb::ReferenceKind;
  const std::string group = "NAME \"G\"\nINDEX 1\nSUBSTANCES\n";
  const std::string factor = "NAME \"F\"\nINDEX 1\nSUBSTANCE 1\nFORMULA a\n";
  const struct {
    K kind;
    std::string lines, reason;
  } cases[] = {
      {K::kSubgrp, "NAME \"G\"\nINDEX 1\n\t1 \t1 \t0 \t%\n", "record 1: SUBSTANCES line expected: ?1 ?1 ?0 ?%"},
      {K::kSubgrp, group + "\t0 \t1 \t0 \t%\n", "record 1: SUBSTANCES line 1 names substance 0: ?0 ?1 ?0 ?%"},
      {K::kSubgrp, group + "\t1 \t1 \t0 \t" + std::string(64, 'u') + "\n",
       "record 1: the unit of SUBSTANCES line 1 is longer than 63 characters"},
      // Two records without the separator between them.
      {K::kSubgrp, group + "NAME \"H\"\nINDEX 2\nSUBSTANCES\n",
       "record 1: SUBSTANCES line 1 needs a substance, slope, m and unit: NAME \"H\""},
      {K::kEmfac, "NAME \"F\"\nINDEX 1\nSUBSTANCE x\nFORMULA a\n", "record 1: SUBSTANCE needs a whole number: x"},
      {K::kEmfac, factor + "VAR.2 \tb\nTYPE.2 \tVAR\n", "record 1: VAR.1 line expected: VAR.2 ?b"},
      {K::kEmfac, factor + "VAR.1 \t\nTYPE.1 \tVAR\n", "record 1: VAR.1 has no name"},
      {K::kEmfac, EmfacWithVariables(47), "record 1: more than 46 variables: VAR.47 ?v47"},
      {K::kEmfac, "NAME \"F\"\nINDEX 1\nSUBSTANCE 1\nFORMULA " + std::string(8088, 'x') + "\n",
       "record 1: a line is longer than 8095 characters"},
      {K::kSubstance, "1 \"a\"\nx \"b\"\n",
       "record 2: a whole number from 0 to 65535 and a quoted name expected: x \"b\""},
      {K::kSubstance, "1 \"a\"b\"\n",
       "record 1: a whole number from 0 to 65535 and a quoted name expected: 1 \"a\"b\""},
      {K::kSubstance, "1 \"" + std::string(256, 's') + "\"\n", "record 1: the name is longer than 255 characters"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.reason, Read(c.kind, c.lines).reason) << c.lines;
  }
}

TEST(ReferenceRecords, TheLibrarysLimitsAreAccepted) {
  EXPECT_TRUE(Read(edb::ReferenceKind::kEmfac, EmfacWithVariables(46) + "\n" + EmfacWithVariables(0, 2)).ok);
  edb::SubgrpEntry full{"G", 4294967295u, {}};
  for (int i = 1; i <= 250; ++i) full.slots.push_back({static_cast<int16_t>(i), 1, 0, std::string(63, 'u')});
  std::string fullText = edb::RecordText(full);
  Outcome ok = Read(edb::ReferenceKind::kSubgrp, fullText);
  ASSERT_TRUE(ok.ok) << ok.reason;
  EXPECT_EQ(fullText, ok.records[0].text);
  Outcome over = Read(edb::ReferenceKind::kSubgrp, fullText + "\t7 \t1 \t0 \t%\n");
  EXPECT_EQ("record 1: more than 250 SUBSTANCES lines: ?7 ?1 ?0 ?%", over.reason);
  const std::string longest = "NAME \"" + std::string(19, 'n') + "\"\nINDEX 0\nSUBSTANCE -2147483648\nFORMULA ";
  EXPECT_TRUE(Read(edb::ReferenceKind::kEmfac, longest + std::string(8087, 'x') + "\n").ok);
  EXPECT_TRUE(Read(edb::ReferenceKind::kSubstance, "65535 \"" + std::string(255, 's') + "\"\n0 \"\"\n").ok);
}

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
      {"timevarr", "-1", good + good, "Error: record 3: index 1 is also that of record 1\n"},
      {"emfac", "-1", "NAME \"F\"\nINDEX 1\nSUBSTANCE 1\nFORMULA a\nVAR.1 \tx\nTYPE.1 \tvariable\n\n",
       "Error: record 1: TYPE.1 must be VAR or CONST: variable\n"},
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

}  // namespace
