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

TEST(RsrcLineTest, WhatEachLineSaysAndTheLineASaveSends) {
  using F = RsrcLineFault;
  struct Case {
    const wchar_t* line;
    RsrcKind kind;
    uint16_t number;
    const wchar_t* name;
    const wchar_t* value;
    const wchar_t* saved;
    RsrcLineFault fault;
  };
  const Case cases[] = {
      {L"speed   3:  50 km/h", RsrcKind::Speed, 3, L"50 km/h", L"", L"speed 3: 50 km/h", F::kNone},
      {L"temperature 30: 40 C", RsrcKind::Temperature, 30, L"40 C", L"", L"temperature 30: 40 C", F::kNone},
      {L"scenario 10: x", RsrcKind::Scenario, 10, L"x", L"", L"scenario 10: x", F::kNone},
      {L"speed 65535: top", RsrcKind::Speed, 65535, L"top", L"", L"speed 65535: top", F::kNone},
      // An unnamed number: the line a save sends for it.
      {L"speed 5:   \r\n", RsrcKind::Speed, 5, L"", L"", L"speed 5: ", F::kNone},
      // Words after the number are not kept.
      {L"speed +4 km: x", RsrcKind::Speed, 4, L"x", L"", L"speed 4: x", F::kExtraWords},
      // Factor and name are the first two words; tabs and blanks separate
      // them; further words are not kept.
      {L"SubGrpEm 7:\t 2.5e-3 \tkg/s more words", RsrcKind::UnitSubGrpEm, 7, L"kg/s", L"2.5e-3",
       L"SubGrpEm 7: 2.5e-3 kg/s", F::kExtraWords},
      {L"Sub 2: 1000 kg/year  ", RsrcKind::UnitSub, 2, L"kg/year", L"1000", L"Sub 2: 1000 kg/year", F::kNone},
      {L"SubGrp 1: 1 %", RsrcKind::UnitSubGrp, 1, L"%", L"1", L"SubGrp 1: 1 %", F::kNone},
      {L"Search 2:\t3.6 kg/h", RsrcKind::UnitSearch, 2, L"kg/h", L"3.6", L"Search 2: 3.6 kg/h", F::kNone},
      // A free setting's tag is its whole head; its value runs on past
      // further colons and loses its line end.
      {L"NAME 0: Town", RsrcKind::Free, 0, L"NAME 0", L"Town", L"NAME 0: Town", F::kNone},
      {L"layer 1 of 3: roads", RsrcKind::Free, 0, L"layer 1 of 3", L"roads", L"layer 1 of 3: roads", F::kNone},
      {L"  PATH :  C:\\data\\edb\r\n", RsrcKind::Free, 0, L"PATH", L"C:\\data\\edb", L"PATH: C:\\data\\edb", F::kNone},
      // Keywords compare case-sensitively and whole.
      {L"Speed 3: x", RsrcKind::Free, 0, L"Speed 3", L"x", L"Speed 3: x", F::kNone},
      {L"SubGrpEmX 3: 1 x", RsrcKind::Free, 0, L"SubGrpEmX 3", L"1 x", L"SubGrpEmX 3: 1 x", F::kNone},
  };
  for (const Case& c : cases) {
    RsrcLine l = ParseRsrcLine(c.line);
    EXPECT_EQ(l.kind, c.kind) << c.line;
    if (c.kind != RsrcKind::Free) {
      EXPECT_EQ(l.number, c.number) << c.line;
    }
    EXPECT_EQ(l.name, c.name) << c.line;
    EXPECT_EQ(l.value, c.value) << c.line;
    EXPECT_EQ(l.fault, c.fault) << c.line;
    EXPECT_EQ(FormatRsrcLine(l), c.saved) << c.line;
  }
  const std::pair<const wchar_t*, RsrcLineFault> kept[] = {
      {L"", F::kNotSetting},          {L"no colon", F::kNotSetting},     {L": value", F::kNotSetting},
      {L"   : value", F::kNotSetting}, {L"X:  \r\n", F::kNotSetting},    {L"Sub 4: 1000", F::kNoUnit},
      {L"Sub 4:   1000  ", F::kNoUnit}, {L"Sub 4:", F::kNoUnit},          {L"speed: 50", F::kNoNumber},
      {L"speed x: 50", F::kNoNumber},  {L"speed -1: 50", F::kNoNumber},  {L"speed 65536: 50", F::kNoNumber},
      {L"temperature 99999999999: 1", F::kNoNumber}, {nullptr, F::kNotSetting}};
  for (const auto& k : kept) {
    RsrcLine l = ParseRsrcLine(k.first);
    EXPECT_EQ(l.kind, RsrcKind::Kept) << (k.first ? k.first : L"(null)");
    EXPECT_EQ(l.fault, k.second) << (k.first ? k.first : L"(null)");
  }
  EXPECT_EQ(FormatRsrcLine(ParseRsrcLine(L"nothing")), L"");
}

TEST(RsrcTablesTest, AFileReadIsPrintedBackUnchangedAlsoAfterReplacingEveryTable) {
  // (What each line says: RsrcLineTest; a file through the sheets and back:
  // tests/workbook RsrcSheetsTest.AFileThroughTheSheetsComesBackUnchanged.)
  CEdbRsrcTables tables = Read(kFile);
  EXPECT_EQ(tables.Rows(RsrcKind::Kept).size(), 5u);
  for (RsrcKind kind : {RsrcKind::Speed, RsrcKind::Temperature, RsrcKind::Scenario, RsrcKind::UnitSub,
                        RsrcKind::UnitSubGrp, RsrcKind::UnitSubGrpEm, RsrcKind::UnitSearch, RsrcKind::Free}) {
    ASSERT_TRUE(tables.ReplaceRows(kind, tables.Rows(kind)));
  }
  EXPECT_FALSE(tables.ReplaceRows(RsrcKind::Kept, {}));
  Lines sent;
  EXPECT_EQ(tables.Print([&](const wchar_t* line) {
    sent.push_back(line);
    return 1;
  }),
            1);
  EXPECT_EQ(sent, kFile);
  // The first answer other than 1 stops the printing.
  int calls = 0;
  EXPECT_EQ(tables.Print([&](const wchar_t*) { return ++calls == 3 ? -1 : 1; }), -1);
  EXPECT_EQ(calls, 3);
  tables.Clear();
  EXPECT_TRUE(tables.Lines().empty());
}

TEST(RsrcTablesTest, SheetRowsChangeDropAndAddLines) {
  CEdbRsrcTables tables = Read({L"# head", L"speed 1: 30", L"speed  2:  50", L"speed 3: 70", L"scenario 1: a",
                                L"Sub 1: 10 kg", L"X 1: y"});
  // The speed table as a sheet gives it back: every number, named or not.
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Speed, {Row(1, L"30"), Row(2, L"55") /* changed */,
                                                   Row(3, L"") /* cleared */, Row(4, L"") /* never named */,
                                                   Row(5, L"90") /* new */}));
  EXPECT_EQ(tables.Lines(), (Lines{L"# head", L"speed 1: 30", L"speed 2: 55", L"speed 3: ", L"speed 5: 90",
                                   L"scenario 1: a", L"Sub 1: 10 kg", L"X 1: y"}));
  // A table the file lacks goes where a save sends it; rows that no longer
  // come are dropped.
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Temperature, {Row(1, L"-5 C")}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::UnitSearch, {Row(1, L"g/h", L"3600")}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Scenario, {}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(0, L"X 1", L"y"), Row(0, L"NEW", L"v")}));
  EXPECT_EQ(tables.Lines(), (Lines{L"# head", L"speed 1: 30", L"speed 2: 55", L"speed 3: ", L"speed 5: 90",
                                   L"temperature 1: -5 C", L"Search 1: 3600 g/h", L"Sub 1: 10 kg", L"X 1: y",
                                   L"NEW: v"}));
  // Into a file of kept lines only, the tables come after them.
  CEdbRsrcTables fresh = Read({L"# only a comment"});
  ASSERT_TRUE(fresh.ReplaceRows(RsrcKind::Free, {Row(0, L"A", L"1")}));
  ASSERT_TRUE(fresh.ReplaceRows(RsrcKind::Speed, {Row(1, L"30")}));
  EXPECT_EQ(fresh.Lines(), (Lines{L"# only a comment", L"speed 1: 30", L"A: 1"}));
}

TEST(RsrcTablesTest, FixedUnitsRepeatedTagsAndTextsCutByTheSheet) {
  std::wstring longValue(400, L'v');
  CEdbRsrcTables tables =
      Read({L"Sub 0: 1.0 ton/year", L"Sub 1: 1 kg", L"T: a", L"T: b", L"U: c", L"NOTE: " + longValue});
  // Unit rows numbered 0 are never sent and never drop the file's line.
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::UnitSub, {Row(0, L"ton/year", L"1.0"), Row(1, L"kg", L"2")}));
  // Repeated tags pair up in order; a value as the sheet cut it is unchanged.
  std::wstring shown = longValue.substr(0, RsrcTextSize - 1);
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(1, L"T", L"a"), Row(2, L"T", L"B"), Row(3, L"NOTE", shown)}));
  EXPECT_EQ(tables.Lines(), (Lines{L"Sub 0: 1.0 ton/year", L"Sub 1: 2 kg", L"T: a", L"T: B", L"NOTE: " + longValue}));
  ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, {Row(3, L"NOTE", shown.substr(1))}));
  EXPECT_EQ(tables.Lines().back(), L"NOTE: " + shown.substr(1));
}

}  // namespace
