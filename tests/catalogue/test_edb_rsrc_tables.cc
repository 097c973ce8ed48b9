// The resource file in memory: what each kind of line says, printing a whole
// file back unchanged, and replacing tables from sheet rows without
// disturbing the lines nobody changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/edb_rsrc_line.h"
#include "catalogue/edb_rsrc_rows.h"
#include "catalogue/edb_rsrc_tables.h"

namespace {

using Lines = std::vector<std::wstring>;

RsrcLine Row(uint16_t number, const std::wstring& name, const std::wstring& value = L"") {
  RsrcLine line;
  line.number = number;
  line.name = name;
  line.value = value;
  return line;
}

CEdbRsrcTables Read(const Lines& lines) {
  CEdbRsrcTables tables;
  for (const std::wstring& line : lines) EXPECT_TRUE(tables.AddLine(line.c_str()));
  return tables;
}

// A resource file as an EDB carries it: groups in the server's order, odd
// spacing, comments, empty lines and lines a load skips.
const Lines kFile = {
    L"# resource file of EDB Malmo2024",
    L"speed 1: 30 km/h",
    L"speed 2:50 km/h",
    L"speed   3:    70 km/h",
    L"speed 11: 110 km/h",
    L"",
    L"scenario 1: base 2024",
    L"scenario 2: low-emission zone",
    L"temperature 1: -20 C",
    L"temperature 30: 40 C",
    L"Search 1: 3.6 kg/h",
    L"Sub 1: 1000 kg/year",
    L"Sub 2:\t1e6\tg/year  extra words",
    L"Sub 4: 1000",
    L"SubGrp 1: 0.01 %/100",
    L"SubGrpEm 1: 1 ton/year",
    L"SubGrpEm 2: 1000000 g/year\r",
    L"no colon here",
    L"speed 5:",
    L"NAME 0: Town",
    L"PROJECTION: SWEREF99 TM: zone 13",
    L"Speed 4: upper case is a free setting",
    L"speed x: no number",
};

TEST(RsrcLineTest, EachKindOfLine) {
  RsrcLine l = ParseRsrcLine(L"speed 3: 50 km/h");
  EXPECT_EQ(l.kind, RsrcKind::Speed);
  EXPECT_EQ(l.number, 3);
  EXPECT_EQ(l.name, L"50 km/h");

  l = ParseRsrcLine(L"Sub 2: 1000 kg/year");
  EXPECT_EQ(l.kind, RsrcKind::UnitSub);
  EXPECT_EQ(l.number, 2);
  EXPECT_EQ(l.name, L"kg/year");
  EXPECT_EQ(l.value, L"1000");

  // Factor and name are the first two words; tabs and blanks separate them.
  l = ParseRsrcLine(L"SubGrpEm 7:\t 2.5e-3 \tkg/s more words");
  EXPECT_EQ(l.kind, RsrcKind::UnitSubGrpEm);
  EXPECT_EQ(l.name, L"kg/s");
  EXPECT_EQ(l.value, L"2.5e-3");
  EXPECT_EQ(ParseRsrcLine(L"Search 1: 1 g/s").kind, RsrcKind::UnitSearch);
  EXPECT_EQ(ParseRsrcLine(L"SubGrp 1: 1 %").kind, RsrcKind::UnitSubGrp);
  EXPECT_EQ(ParseRsrcLine(L"temperature 30: 40 C").kind, RsrcKind::Temperature);
  EXPECT_EQ(ParseRsrcLine(L"scenario 10: x").number, 10);

  l = ParseRsrcLine(L"NAME 0: Town");
  EXPECT_EQ(l.kind, RsrcKind::Free);
  EXPECT_EQ(l.name, L"NAME");
  EXPECT_EQ(l.value, L"Town");
  // A free setting needs no number; the value runs on past further colons
  // and loses its line end.
  l = ParseRsrcLine(L"  PATH:  C:\\data\\edb\r\n");
  EXPECT_EQ(l.kind, RsrcKind::Free);
  EXPECT_EQ(l.name, L"PATH");
  EXPECT_EQ(l.value, L"C:\\data\\edb");
  // Keywords compare case-sensitively and whole.
  EXPECT_EQ(ParseRsrcLine(L"Speed 3: x").kind, RsrcKind::Free);
  EXPECT_EQ(ParseRsrcLine(L"speeds 3: x").kind, RsrcKind::Free);
  EXPECT_EQ(ParseRsrcLine(L"SubGrpEmX 3: 1 x").kind, RsrcKind::Free);
}

TEST(RsrcLineTest, LinesALoadSkips) {
  for (const wchar_t* line : {L"", L"no colon", L"speed 5:", L"speed 5:   \r\n", L": value", L"   : value",
                              L"Sub 4: 1000", L"Sub 4:   1000  ", L"speed: 50", L"speed x: 50", L"speed -1: 50",
                              L"speed 65536: 50", L"temperature 99999999999: 1"}) {
    EXPECT_EQ(ParseRsrcLine(line).kind, RsrcKind::Kept) << line;
  }
  EXPECT_EQ(ParseRsrcLine(nullptr).kind, RsrcKind::Kept);
  EXPECT_EQ(ParseRsrcLine(L"speed 65535: top").number, 65535);
  EXPECT_EQ(ParseRsrcLine(L"speed +4: x").number, 4);
  EXPECT_EQ(ParseRsrcLine(L"speed 4 km: x").number, 4);
}

TEST(RsrcLineTest, FormatsOfASave) {
  EXPECT_EQ(FormatRsrcLine(ParseRsrcLine(L"speed   3:  50 km/h")), L"speed 3: 50 km/h");
  EXPECT_EQ(FormatRsrcLine(ParseRsrcLine(L"Search 2:\t3.6 kg/h x")), L"Search 2: 3.6 kg/h");
  EXPECT_EQ(FormatRsrcLine(ParseRsrcLine(L"NAME 0: Town")), L"NAME: Town");
  EXPECT_EQ(FormatRsrcLine(ParseRsrcLine(L"nothing")), L"");
  RsrcLine empty;
  empty.kind = RsrcKind::Speed;
  empty.number = 5;
  EXPECT_EQ(FormatRsrcLine(empty), L"speed 5: ");
}

TEST(RsrcTablesTest, AFileReadIsPrintedBackUnchanged) {
  CEdbRsrcTables tables = Read(kFile);
  EXPECT_EQ(tables.Lines(), kFile);
  Lines sent;
  EXPECT_EQ(tables.Print([&](const wchar_t* line) {
    sent.push_back(line);
    return 1;
  }),
            1);
  EXPECT_EQ(sent, kFile);

  // The tables hold what the lines say.
  std::vector<RsrcLine> speeds = tables.Rows(RsrcKind::Speed);
  ASSERT_EQ(speeds.size(), 4u);
  EXPECT_EQ(speeds[2].number, 3);
  EXPECT_EQ(speeds[2].name, L"70 km/h");
  std::vector<RsrcLine> subs = tables.Rows(RsrcKind::UnitSub);
  ASSERT_EQ(subs.size(), 2u);
  EXPECT_EQ(subs[1].name, L"g/year");
  EXPECT_EQ(subs[1].value, L"1e6");
  std::vector<RsrcLine> free = tables.Rows(RsrcKind::Free);
  ASSERT_EQ(free.size(), 3u);
  EXPECT_EQ(free[1].name, L"PROJECTION");
  EXPECT_EQ(free[1].value, L"SWEREF99 TM: zone 13");
  EXPECT_EQ(tables.Rows(RsrcKind::Kept).size(), 6u);

  // The first answer other than 1 stops the printing.
  int calls = 0;
  EXPECT_EQ(tables.Print([&](const wchar_t*) { return ++calls == 3 ? -1 : 1; }), -1);
  EXPECT_EQ(calls, 3);

  tables.Clear();
  EXPECT_EQ(tables.Count(), 0u);
  EXPECT_TRUE(tables.Lines().empty());
}

TEST(RsrcTablesTest, ReplacingWithTheSameRowsChangesNothing) {
  CEdbRsrcTables tables = Read(kFile);
  for (RsrcKind kind : {RsrcKind::Speed, RsrcKind::Temperature, RsrcKind::Scenario, RsrcKind::UnitSub,
                        RsrcKind::UnitSubGrp, RsrcKind::UnitSubGrpEm, RsrcKind::UnitSearch, RsrcKind::Free}) {
    ASSERT_TRUE(tables.ReplaceRows(kind, tables.Rows(kind)));
  }
  EXPECT_EQ(tables.Lines(), kFile);
  EXPECT_FALSE(tables.ReplaceRows(RsrcKind::Kept, {}));
}

TEST(RsrcTablesTest, SheetRowsChangeDropAndAddLines) {
  CEdbRsrcTables tables = Read({L"# head", L"speed 1: 30", L"speed  2:  50", L"speed 3: 70", L"scenario 1: a",
                                L"Sub 1: 10 kg", L"X 1: y"});
  // The speed table as a sheet gives it back: every number, named or not.
  std::vector<RsrcLine> speeds;
  speeds.push_back(Row(1, L"30"));
  speeds.push_back(Row(2, L"55"));   // changed
  speeds.push_back(Row(3, L""));     // cleared
  speeds.push_back(Row(4, L""));     // never named: nothing
  speeds.push_back(Row(5, L"90"));   // new
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Speed, speeds));
  EXPECT_EQ(tables.Lines(), (Lines{L"# head", L"speed 1: 30", L"speed 2: 55", L"speed 3: ", L"speed 5: 90",
                                   L"scenario 1: a", L"Sub 1: 10 kg", L"X 1: y"}));

  // A table the file lacks goes where a save sends it; rows that no longer
  // come are dropped.
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Temperature, {Row(1, L"-5 C")}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::UnitSearch, {Row(1, L"g/h", L"3600")}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Scenario, {}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(0, L"X", L"y"), Row(0, L"NEW", L"v")}));
  EXPECT_EQ(tables.Lines(), (Lines{L"# head", L"speed 1: 30", L"speed 2: 55", L"speed 3: ", L"speed 5: 90",
                                   L"temperature 1: -5 C", L"Search 1: 3600 g/h", L"Sub 1: 10 kg", L"X 1: y",
                                   L"NEW: v"}));

  // Into a file of kept lines only, the tables come after them.
  CEdbRsrcTables fresh = Read({L"# only a comment"});
  ASSERT_TRUE(fresh.ReplaceRows(RsrcKind::Free, {Row(0, L"A", L"1")}));
  ASSERT_TRUE(fresh.ReplaceRows(RsrcKind::Speed, {Row(1, L"30")}));
  EXPECT_EQ(fresh.Lines(), (Lines{L"# only a comment", L"speed 1: 30", L"A: 1"}));
}

TEST(RsrcTablesTest, FixedUnitsAndRepeatedTags) {
  CEdbRsrcTables tables = Read({L"Sub 0: 1.0 ton/year", L"Sub 1: 1 kg", L"T: a", L"T: b", L"U: c"});
  // Unit rows numbered 0 are never sent and never drop the file's line.
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::UnitSub, {Row(0, L"ton/year", L"1.0"), Row(1, L"kg", L"2")}));
  // Repeated tags pair up in order.
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(1, L"T", L"a"), Row(2, L"T", L"B")}));
  EXPECT_EQ(tables.Lines(), (Lines{L"Sub 0: 1.0 ton/year", L"Sub 1: 2 kg", L"T: a", L"T: B"}));
}

TEST(RsrcTablesTest, TextsCutByTheSheetCountAsUnchanged) {
  std::wstring longValue(400, L'v');
  std::wstring line = L"NOTE: " + longValue;
  CEdbRsrcTables tables = Read({line});
  std::wstring shown = longValue.substr(0, RsrcTextSize - 1);
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(1, L"NOTE", shown)}));
  EXPECT_EQ(tables.Lines(), (Lines{line}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(1, L"NOTE", shown.substr(1))}));
  EXPECT_EQ(tables.Lines(), (Lines{L"NOTE: " + shown.substr(1)}));
}

}  // namespace
