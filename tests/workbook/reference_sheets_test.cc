// The reference and resource sheets: records written and read back equal, limits and ends, the readers' refusals,
// the verifiers, the resource lists rebuilt.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/edb_rsrc_rows.h"
#include "catalogue/record_list.h"
#include "host/verification_fixture.h"
#include "sheet_fixture.h"
#include "workbook/edb_rsrc_update_idx.h"
#include "workbook/emfac_sheet.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/sub_sheet.h"
#include "workbook/subgrp_sheet.h"
#include "workbook/timevar_sheet.h"
#include "workbook/units_sheet.h"

namespace {

using sheethost::Cell;

using SubSheetTest = SheetTest;

SubRec Record(uint16_t index, const std::wstring& name) {
  SubRec r{};
  r.index = index;
  std::wcsncpy(r.name, name.c_str(), SubNameSize - 1);
  return r;
}

TEST_F(SubSheetTest, NamesWrittenByIndexAreReadBackUpToTheColumnsLastRow) {
  auto* sheet = AddSheet(L"Searchkey");
  ASSERT_TRUE(sheet->Set(0, 2, Cell::Str(L"Searchkey 2")));
  const struct {
    int32_t column, lastRow;
  } limits[] = {{2, 127}, {4, 63}};
  for (const auto& l : limits) {
    ASSERT_EQ(CExcelReadSub::RowLimit(l.column) - 1, l.lastRow);
    {
      CExcelWriteSub writer;
      ASSERT_EQ(writer.Init(l.column, L"Searchkey"), 1);
      // Written last row first: the row beyond the column, a full field in its last row, a name in row 2.
      for (int32_t row : {l.lastRow + 1, l.lastRow, 2, 0}) {  // index 0 has no row: the heading stays
        ASSERT_EQ(writer.Write(Record(static_cast<uint16_t>(row), std::wstring(row == 2 ? 5 : 255, L'z'))), 1);
      }
    }
    CExcelReadSub reader;
    ASSERT_EQ(reader.Init(l.column, L"Searchkey"), 1);
    SubRec back;
    for (int32_t i = 1; i <= l.lastRow; ++i) {
      ASSERT_EQ(reader.Read(&back), 1) << Error();
      EXPECT_EQ(back.index, i);
      EXPECT_EQ(std::wstring(back.name), std::wstring(i == 2 ? 5 : i == l.lastRow ? 255 : 0, L'z'));
    }
    EXPECT_EQ(reader.Read(&back), 0);
  }
  EXPECT_EQ(sheet->Get(0, 2), Cell::Str(L"Searchkey 2"));
  EXPECT_TRUE(sheet->Get(0, 4).IsEmpty());
  CExcelReadSub reader;
  EXPECT_EQ(reader.Init(6, L"Searchkey"), -1);
  EXPECT_EQ(Error(), "Unknown sub column: 6");
  EXPECT_EQ(reader.Init(1, L"Nope"), -1);
  CExcelWriteSub nowhere;
  EXPECT_EQ(nowhere.Init(1, L"Nope"), -1);
  EXPECT_EQ(nowhere.Write(Record(1, L"x")), -1);
}

class TimevarSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    for (int32_t s = 1; s <= 10; ++s) scenarios.Add((L"Scen " + std::to_wstring(s)).c_str(), s);
  }

  static void Set(wchar_t* field, size_t size, const std::wstring& text) {
    std::wcsncpy(field, text.c_str(), size - 1);
    field[size - 1] = 0;
  }

  static TimevarRec Valid(const std::wstring& name, uint16_t index) {
    TimevarRec r;
    std::memset(&r, 0, sizeof r);
    Set(r.name, TimevarNameSize, name);
    r.index = index;
    for (int d = 0; d < TimevarDayTypes; ++d) {
      for (int h = 0; h < TimevarHours; ++h) Set(r.typeday[d][h], TimevarValueSize, std::to_wstring(100 + h));
    }
    for (int m = 0; m < TimevarMonths; ++m) r.month[m] = static_cast<int16_t>(80 + m);
    for (int s = 0; s < TimevarScenarios; ++s) r.scenario[s] = 1.5f;
    return r;
  }

  int32_t WriteAll(int32_t kind, const std::vector<TimevarRec>& records) {
    CExcelWriteTimevar writer;
    if (writer.Init(kind, scenarios) != 1) return -1;
    for (const TimevarRec& r : records) {
      if (writer.Write(r) != 1) return -1;
    }
    return 1;
  }

  CRecordList scenarios;
};

// Both records cleared before they were filled: equal to the byte.
void ExpectSame(const TimevarRec& a, const TimevarRec& b) {
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "record " << std::wstring(b.name);
}

TEST_F(TimevarSheetTest, ManyRecordsWrittenAreReadBackEqual) {
  auto* sheet = AddSheet(L"Road timevar");
  std::vector<TimevarRec> records;
  for (int k = 0; k < 45; ++k) {  // 180 rows: across many blocks of both row readers, with each field's ends
    TimevarRec r = Valid(k == 4 ? L"\x00e5\x00e4\x00f6 \x00ff" + std::wstring(14, L'x') : L"tv" + std::to_wstring(k),
                         static_cast<uint16_t>(k == 0 ? 65535 : k + 1));
    Set(r.typeday[k % 4][k % 24], TimevarValueSize,
        k == 1 ? std::wstring(15, L'7') : std::to_wstring(k * 700) + L":" + std::to_wstring(k % 4));
    Set(r.typeday[(k + 1) % 4][k % 23], TimevarValueSize, L"");
    r.month[k % 12] = static_cast<int16_t>(k % 2 ? -32768 : 32767);
    r.scenario[k % 10] = k == 5 ? 3.40282e+38f : static_cast<float>(-k) / 8;
    records.push_back(r);
  }
  ASSERT_EQ(WriteAll(1, records), 1) << Error();
  EXPECT_EQ(sheet->Get(0, 47), Cell::Str(L"Scen 10"));  // the last scenario's heading
  CExcelReadTimevar reader;
  ASSERT_EQ(reader.Init(1), 1);
  TimevarRec back;
  for (const TimevarRec& r : records) {
    ASSERT_EQ(reader.Read(&back), 1) << Error();
    ExpectSame(back, r);
  }
  EXPECT_EQ(reader.Read(&back), 0);
}

// A server text starting with the writers' number mark once became a number
// cell, and the Save sent the number instead of the text.
TEST_F(TimevarSheetTest, ServerTextsStartingWithTheNumberMarkStayTexts) {
  auto* sheet = AddSheet(L"Road timevar");
  TimevarRec r = Valid(L"\x01" L"7", 1);
  Set(r.typeday[0][0], TimevarValueSize, L"\x01" L"5");
  Set(r.typeday[3][23], TimevarValueSize, L"\x01");
  ASSERT_EQ(WriteAll(1, {r}), 1) << Error();
  EXPECT_EQ(sheet->Get(1, 0), Cell::Str(L"\x01" L"7"));
  EXPECT_EQ(sheet->Get(1, 2), Cell::Str(L"\x01" L"5"));
  EXPECT_EQ(sheet->Get(4, 25), Cell::Str(L"\x01"));
}

TEST_F(TimevarSheetTest, ScenarioNamesWithoutAnEntry) {
  AddSheet(L"Source timevar");
  CRecordList some;
  some.Add(L"only one", 1);
  CExcelWriteTimevar writer;
  // The list answers the bad-reference text, which is written like a name.
  ASSERT_EQ(writer.Init(0, some), 1) << Error();
  EXPECT_EQ(host.Book().GetCell(L"Source timevar", 0, 39), Cell::Str(L"Bad reference = 2"));
  some.SetBadReference(false);
  EXPECT_EQ(writer.Init(0, some), -1);
  EXPECT_EQ(Error(), "Can not get scenario 2.");
  EXPECT_EQ(writer.Init(1, scenarios), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Road timevar.");
}

// (Texts longer than their fields, refused by this reader: tests/host TypedValuesTest.)
TEST_F(TimevarSheetTest, ReaderRefusesBadIndexesAndLeavesEmptyCellsEmpty) {
  auto* sheet = AddSheet(L"Source timevar");
  ASSERT_EQ(WriteAll(0, {Valid(L"ok", 1), Valid(L"zero", 2), Valid(L"empty", 3), Valid(L"big", 4), Valid(L"d", 7)}), 1);
  ASSERT_TRUE(sheet->Set(5, 1, Cell::Num(0)));
  ASSERT_TRUE(sheet->Set(9, 1, Cell::Str(L"")));
  ASSERT_TRUE(sheet->Set(13, 1, Cell::Num(65536)));  // would wrap in the 16-bit field
  // White space around a value's parts is dropped.
  ASSERT_TRUE(sheet->Set(1, 3, Cell::Str(L" 120 : 2 ")));
  ASSERT_TRUE(sheet->Set(4, 25, Cell::Num(17)));
  Put(L"Source timevar", 21, 0, {L"bare", L"9"});  // empty cells leave their fields empty
  Put(L"Source timevar", 21, 30, {L"12"});
  CExcelReadTimevar reader;
  ASSERT_EQ(reader.Init(0), 1);
  TimevarRec r;
  ASSERT_EQ(reader.Read(&r), 1);
  EXPECT_EQ(std::wstring(r.typeday[0][1]), L"120:2");
  EXPECT_EQ(std::wstring(r.typeday[3][23]), L"17");
  for (const std::string& error : std::vector<std::string>{
           "Could not get index for timevar: zero (sheet Source timevar, cell B6, row 6).",
           "Could not get index for timevar: empty (sheet Source timevar, cell B10, row 10).",
           "Could not get index for timevar: big (sheet Source timevar, cell B14, row 14)."}) {
    EXPECT_EQ(reader.Read(&r), -1);
    EXPECT_EQ(Error(), error);
  }
  // A refused record's rows are passed all the same.
  ASSERT_EQ(reader.Read(&r), 1);
  ExpectSame(r, Valid(L"d", 7));
  std::memset(&r, 0x55, sizeof r);
  ASSERT_EQ(reader.Read(&r), 1);
  EXPECT_EQ(r.index, 9);
  EXPECT_EQ(r.month[4], 12);
  EXPECT_EQ(r.month[5], 0);
  EXPECT_EQ(r.scenario[0], 0.0f);
  EXPECT_EQ(r.typeday[3][23][0], 0);
  EXPECT_EQ(reader.Read(&r), 0);
  CExcelReadTimevar missing;
  EXPECT_EQ(missing.Init(1), -1);
}

TEST_F(TimevarSheetTest, VerifierReportsEachFaultAtItsCell) {
  auto* sheet = AddSheet(L"Source timevar");
  ASSERT_EQ(WriteAll(0, {Valid(L"first", 1), Valid(L"second", 2), Valid(L"stranger", 3)}), 1);
  // A code out of [0,3], a fine one, out of [0,32000], -1 (4294967295), no number before or after the colon.
  Put(L"Source timevar", 1, 2, {L"120:4", L"120:2", L"", L"-1", L"x:1", L"5:"});
  sheet->Set(1, 4, Cell::Num(40000));
  Put(L"Source timevar", 1, 26, {L"abc", L"10000", L" "});  // months
  Put(L"Source timevar", 1, 38, {L"-0.5"});                 // scenarios
  Put(L"Source timevar", 1, 47, {L"1e4"});
  Put(L"Source timevar", 2, 25, {L"1 2"});   // Friday, hour 24
  Put(L"Source timevar", 7, 10, {L"33000"});  // Saturday of the second record
  Put(L"Source timevar", 8, 2, {L"7:9"});     // its Sunday
  CRecordList timevars;
  timevars.Add(L"first", 1);
  timevars.Add(L"second", 2);
  CExcelVerifyTimevar verifier;
  ASSERT_EQ(verifier.Init(0, timevars, errors, warnings), 1);
  // The third record's name is not in the list: reported, and verification goes on.
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors),
            (Lines_{L"Source timevar [C2]: Typeday (Mon-Thu) cell value out of range [0,3] 4",
                    L"Source timevar [E2]: Typeday (Mon-Thu) cell value out of range [0,32000] 40000",
                    L"Source timevar [F2]: Typeday (Mon-Thu) cell value out of range [0,32000] 4294967295",
                    L"Source timevar [G2]: Typeday (Mon-Thu) cell not a number",
                    L"Source timevar [H2]: Empty Typeday (Mon-Thu) cell",
                    L"Source timevar [AA2]: Month cell not a number",
                    L"Source timevar [AB2]: Month cell value out of range [0,9999] 10000",
                    L"Source timevar [AC2]: Empty Month cell",
                    L"Source timevar [AM2]: Scenario cell value out of range [0,9999]",
                    L"Source timevar [AV2]: Scenario cell value out of range [0,9999]",
                    L"Source timevar [Z3]: Typeday (Fri) cell not a number",
                    L"Source timevar [K8]: Typeday (Sat) cell value out of range [0,32000] 33000",
                    L"Source timevar [C9]: Typeday (Sun) cell value out of range [0,3] 9",
                    L"Source timevar [A10]: Could not get index for timevar: stranger"}));
  EXPECT_EQ(warnings.Count(), 0);
  CExcelVerifyTimevar missing;
  EXPECT_EQ(missing.Init(1, timevars, errors, warnings), -1);
}

const wchar_t* const kSubgrpSheet = L"Emission factor";

class SubgrpSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    sheet = AddSheet(kSubgrpSheet);
    for (int32_t i = 1; i <= 40; ++i) {
      substances.Add((i <= 3 ? std::wstring(1, L'A' + i - 1) : L"S" + std::to_wstring(i)).c_str(), i);
    }
    units.Add(L"%", 0);
    units.Add(L"kg/ton", 1);
    units.Add(L"g/GJ", 2);
  }

  struct Slot {
    int16_t substance;
    float slope;
    float m;
    std::wstring unit;
  };

  static SubgrpRec Group(const std::wstring& name, uint32_t index, const std::vector<Slot>& slots) {
    SubgrpRec r;
    std::memset(&r, 0, sizeof r);
    std::wcsncpy(r.name, name.c_str(), SubgrpNameSize - 1);
    r.index = index;
    for (size_t i = 0; i < slots.size(); ++i) {
      r.substance[i] = slots[i].substance;
      r.slope[i] = slots[i].slope;
      r.m[i] = slots[i].m;
      std::wcsncpy(r.unit[i], slots[i].unit.c_str(), SubgrpUnitSize - 1);
    }
    return r;
  }

  sheethost::Sheet* sheet = nullptr;
  CRecordList substances;
  CRecordList units;
};

TEST_F(SubgrpSheetTest, BlocksFollowTheFirstAppearanceAndGroupsReadBackEqual) {
  // Slots in block order, so that the groups read back equal to the byte.
  const SubgrpRec groups[] = {
      Group(L"first", 4, {{1, 0.5f, 1, L"kg/ton"}, {2, 2, 0, L"g/GJ"}}),
      Group(L"second", 9, {{2, 3, 0.25f, L"%"}, {3, 1e-6f, 0, L"kg/ton"}}),
      Group(L"none", 10, {}),
      Group(std::wstring(19, L'g'), INT32_MAX, {{1, 99999.9f, 1e-4f, std::wstring(63, L'u')}, {40, 0, 0, L"%"}}),
  };
  CExcelWriteSubgrp writer;
  EXPECT_EQ(writer.Write(groups[0]), -1);  // before Init
  ASSERT_EQ(writer.Init(substances), 1);
  for (const SubgrpRec& g : groups) ASSERT_EQ(writer.Write(g), 1) << Error();
  // Blocks A, B, C at columns 2, 5 and 8, B holding the values of both groups.
  const std::pair<std::pair<RW, COL>, const wchar_t*> cells[] = {{{0, 2}, L"A"}, {{0, 3}, L"m"}, {{0, 4}, L"Unit"},
      {{0, 5}, L"B"}, {{0, 8}, L"C"}, {{0, 11}, L"S40"}, {{1, 5}, L"2"}, {{2, 5}, L"3"}, {{2, 8}, L"1e-06"}};
  for (const auto& c : cells) EXPECT_EQ(sheet->Get(c.first.first, c.first.second), Cell::Str(c.second));
  EXPECT_TRUE(sheet->Get(2, 2).IsEmpty());
  EXPECT_TRUE(sheet->Get(0, 14).IsEmpty());
  CExcelReadSubgrp reader;
  ASSERT_EQ(reader.Init(substances), 1) << Error();
  SubgrpRec back;
  for (const SubgrpRec& g : groups) {
    ASSERT_EQ(reader.Read(&back), 1) << Error();
    EXPECT_EQ(std::memcmp(&back, &g, sizeof g), 0) << std::wstring(g.name);
  }
  EXPECT_EQ(reader.Read(&back), 0);
  substances.SetBadReference(false);
  EXPECT_EQ(writer.Write(Group(L"third", 10, {{77, 1, 1, L"%"}})), -1);
  EXPECT_EQ(Error(), "Could not get substance 77");
}

TEST_F(SubgrpSheetTest, ReaderRefusals) {
  Put(kSubgrpSheet, 0, 2, {L"A", L"", L"", L"Nobody"});
  CExcelReadSubgrp unknown;
  EXPECT_EQ(unknown.Init(substances), -1);
  EXPECT_EQ(Error(), "Could not get index for substance: Nobody (sheet Emission factor, cell F1, row 1).");
  sheet->ClearAll();
  Put(kSubgrpSheet, 0, 2, {L"A"});
  Put(kSubgrpSheet, 1, 0, {L"zero", L"0"});
  Put(kSubgrpSheet, 2, 0, {L"fine", L"4", L"", L"7"});  // an m without a slope is left out
  CExcelReadSubgrp reader;
  ASSERT_EQ(reader.Init(substances), 1);
  SubgrpRec r;
  // (An index with a fraction and a unit longer than its field: tests/host TypedValuesTest.)
  EXPECT_EQ(reader.Read(&r), -1);
  EXPECT_EQ(Error(), "Could not get index for substance group: zero (sheet Emission factor, cell B2, row 2).");
  ASSERT_EQ(reader.Read(&r), 1);
  EXPECT_EQ(r.index, 4u);
  EXPECT_EQ(r.substance[0], 0);
  EXPECT_EQ(reader.Read(&r), 0);
  host.Book().RemoveSheet(kSubgrpSheet);
  CExcelReadSubgrp missing;
  EXPECT_EQ(missing.Init(substances), -1);
}

TEST_F(SubgrpSheetTest, VerifierReportsEachFaultAtItsCell) {
  // Heading: A (fine), Nobody (unknown, bad labels), B (fine).
  Put(kSubgrpSheet, 0, 2, {L"A", L"m", L"Unit", L"Nobody", L"M", L"unit", L"B", L"m", L"Unit"});
  Put(kSubgrpSheet, 1, 0, {L"clean", L"", L"1.5", L"0", L"kg/ton"});
  // Slope faults and a missing unit.
  Put(kSubgrpSheet, 2, 0, {L"slopes", L"", L"abc", L"", L"kg/ton", L"-1", L"2"});
  // An unknown unit, an m that is no number, m and unit without a slope.
  Put(kSubgrpSheet, 3, 0, {L"units", L"", L"1", L"x", L"t/y", L"", L"", L"", L"", L"4", L"%"});
  Put(kSubgrpSheet, 4, 0, {L"none"});
  CExcelVerifySubgrp verifier;
  ASSERT_EQ(verifier.Init(substances, units, errors, warnings), 1);
  ASSERT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{L"Emission factor [F1]: Unknown substance: Nobody",
                                   L"Emission factor [C3]: Slope cell not a number",
                                   L"Emission factor [D3]: Empty m cell",
                                   L"Emission factor [F3]: Slope cell value out of range [0,3.40282e+38]",
                                   L"Emission factor [D4]: m cell not a number",
                                   L"Emission factor [E4]: Unknown unit: \"t/y\""}));
  EXPECT_EQ(Lines(warnings), (Lines_{L"Emission factor [G1]: Label should be \"m\", not \"M\"",
                                     L"Emission factor [H1]: Label should be \"Unit\", not \"unit\"",
                                     L"Emission factor [H3]: Missing unit",
                                     L"Emission factor [J4]: m without emission",
                                     L"Emission factor [K4]: Unit without emission",
                                     L"Emission factor [5]: No substances defined"}));
}

// 249 blocks are the most: with 251, the reader refuses the 250th and the verifier reports it and reads no further.
TEST_F(SubgrpSheetTest, TheBlocksEndAfterThe249th) {
  CRecordList many;
  for (int32_t i = 1; i <= 251; ++i) {
    many.Add((L"s" + std::to_wstring(i)).c_str(), i);
    Put(kSubgrpSheet, 0, 2 + 3 * (i - 1), {L"s" + std::to_wstring(i), L"m", L"Unit"});
    if (i == 249) {
      CExcelReadSubgrp most;
      ASSERT_EQ(most.Init(many), 1) << Error();
      EXPECT_EQ(most.Blocks(), 249);
    }
  }
  CExcelReadSubgrp tooMany;
  EXPECT_EQ(tooMany.Init(many), -1);
  EXPECT_EQ(Error(), "To many substances are specified (sheet Emission factor, cell ABV1, row 1).");
  CExcelVerifySubgrp blocks;
  ASSERT_EQ(blocks.Init(many, units, errors, warnings), 1);
  ASSERT_EQ(blocks.VerifyRec(), 1);
  EXPECT_EQ(Lines(errors), (Lines_{L"Emission factor [ABV1]: Too many substances. Maximum is 250."}));
}

// No value of a group is dropped or doubled between sheet and record: an unused slot before used ones, a substance
// listed twice, a block after an empty heading, a substance headed twice.
TEST_F(SubgrpSheetTest, EveryValueHasOnePlaceOrIsRefused) {
  CExcelWriteSubgrp writer;
  ASSERT_EQ(writer.Init(substances), 1);
  ASSERT_EQ(writer.Write(Group(L"gap", 1, {{0, 9, 9, L"%"}, {2, 0.5f, 0, L"%"}, {3, 1, 0, L"%"}})), 1);
  EXPECT_EQ(sheet->Get(1, 2), Cell::Str(L"0.5"));
  EXPECT_EQ(sheet->Get(1, 5), Cell::Str(L"1"));
  EXPECT_EQ(writer.Write(Group(L"twice", 2, {{2, 1, 0, L"%"}, {2, 2, 0, L"%"}})), -1);
  EXPECT_EQ(Error(), "Substance group twice lists substance B twice; the sheet holds one value per substance.");

  const struct {
    std::vector<std::wstring> heading;
    std::string refusal;
    Lines_ issues;
  } headings[] = {
      {{L"A", L"m", L"Unit", L"", L"", L"", L"B", L"m", L"Unit"},
       "Substance block after an empty heading: B (sheet Emission factor, cell I1, row 1).",
       {L"Emission factor [I1]: Substance block after an empty heading: B"}},
      {{L"A", L"m", L"Unit", L"A", L"m", L"Unit"},
       "Substance A has a block already (sheet Emission factor, cell F1, row 1).",
       {L"Emission factor [F1]: Substance A has a block already"}},
  };
  for (const auto& h : headings) {
    sheet->ClearAll();
    errors.Clear();
    for (size_t c = 0; c < h.heading.size(); ++c) Put(kSubgrpSheet, 0, static_cast<COL>(2 + c), {h.heading[c]});
    CExcelReadSubgrp reader;
    EXPECT_EQ(reader.Init(substances), -1);
    EXPECT_EQ(Error(), h.refusal);
    CExcelVerifySubgrp verifier;
    ASSERT_EQ(verifier.Init(substances, units, errors, warnings), 1);
    ASSERT_EQ(verifier.VerifyRec(), 1);
    EXPECT_EQ(Lines(errors), h.issues);
  }
}

const wchar_t* const kEmfacSheet = L"Emission function";

class EmfacSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    sheet = AddSheet(kEmfacSheet);
    substances.Add(L"NOx", 1);
    substances.Add(L"CO2", 2);
    substances.Add(L"PM2.5", 3);
  }

  // A record with variables v0, v1 ... (the 46th of 15 characters), every second one a constant.
  static std::unique_ptr<EmfacRec> Record(const std::wstring& name, uint32_t index, int32_t substance,
                                          const std::wstring& formula, int32_t variables) {
    std::unique_ptr<EmfacRec> r(new EmfacRec());
    std::wcsncpy(r->name, name.c_str(), EmfacNameSize - 1);
    r->index = index;
    r->substance = substance;
    std::wcsncpy(r->formula, formula.c_str(), EmfacFormulaSize - 1);
    for (int32_t i = 0; i < variables; ++i) {
      std::wstring var = i == 45 ? std::wstring(15, L'V') : L"v" + std::to_wstring(i);
      std::wcsncpy(r->varname[i], var.c_str(), EmfacVarNameSize - 1);
      r->varconst[i] = i % 2;
    }
    r->novariable = variables;
    return r;
  }

  sheethost::Sheet* sheet = nullptr;
  CRecordList substances;
};

TEST_F(EmfacSheetTest, RecordsWrittenAreReadBackEqual) {
  std::unique_ptr<EmfacRec> records[] = {
      Record(L"longest formula", 1, 1, std::wstring(EmfacFormulaSize - 1, L'f'), 0),  // whole, not cut
      Record(std::wstring(19, L'n'), 1073741824, 3, L"a*b^2 + \u00e5", EmfacMaxVariables)};
  CExcelWriteEmfac writer;
  EXPECT_EQ(writer.Write(*records[0]), -1);  // before Init (the message: RsrcSheetsTest.LimitsEndsAndRefusals)
  ASSERT_EQ(writer.Init(substances), 1);
  for (const auto& r : records) ASSERT_EQ(writer.Write(*r), 1) << Error();
  EXPECT_TRUE(sheet->Get(2, 4 + 2 * 46).IsEmpty());
  CExcelReadEmfac reader;
  ASSERT_EQ(reader.Init(substances), 1);
  std::unique_ptr<EmfacRec> back(new EmfacRec);
  for (const auto& r : records) {
    ASSERT_EQ(reader.Read(back.get()), 1) << Error();
    EXPECT_EQ(std::memcmp(back.get(), r.get(), sizeof(EmfacRec)), 0) << std::wstring(r->name);
  }
  EXPECT_EQ(reader.Read(back.get()), 0);
  // A substance index without a name: the list's bad-reference text, or refused.
  ASSERT_EQ(writer.Write(*Record(L"bad", 1, 9, L"x", 0)), 1);
  EXPECT_EQ(sheet->Get(3, 2), Cell::Str(L"Bad reference = 9"));
  substances.SetBadReference(false);
  EXPECT_EQ(writer.Write(*Record(L"bad", 1, 9, L"x", 0)), -1);
  EXPECT_EQ(Error(), "Could not get substance 9");
}

// (Texts longer than their fields, refused by this reader: tests/host TypedValuesTest.)
TEST_F(EmfacSheetTest, ReaderTypesAndRefusals) {
  // Row 1: variables up to the first empty name; only "VAR" is a variable.
  Put(kEmfacSheet, 1, 0, {L"types", L"5", L"CO2", L"a*b", L"a", L"const", L"b", L"VAR", L"", L"", L"after a gap", L"VAR"});
  Put(kEmfacSheet, 2, 0, {L"noindex", L"", L"CO2"});
  Put(kEmfacSheet, 3, 0, {L"nosub", L"3", L"SO2"});
  CExcelReadEmfac reader;
  ASSERT_EQ(reader.Init(substances), 1);
  std::unique_ptr<EmfacRec> r(new EmfacRec);
  ASSERT_EQ(reader.Read(r.get()), 1);
  EXPECT_EQ(r->index, 5u);
  EXPECT_EQ(r->substance, 2);
  EXPECT_EQ(std::wstring(r->formula), L"a*b");
  ASSERT_EQ(r->novariable, 2);
  EXPECT_EQ(r->varconst[0], 1);
  EXPECT_EQ(r->varconst[1], 0);
  for (const std::string& error : std::vector<std::string>{
           "Could not get index for emission factor: noindex (sheet Emission function, cell B3, row 3).",
           "Could not get index for substance: SO2 (sheet Emission function, cell C4, row 4)."}) {
    EXPECT_EQ(reader.Read(r.get()), -1);
    EXPECT_EQ(Error(), error);
  }
  EXPECT_EQ(reader.Read(r.get()), 0);
}

TEST_F(EmfacSheetTest, VerifierReportsEachFaultAtItsCell) {
  Put(kEmfacSheet, 1, 0, {L"clean", L"", L"NOx", L"a+1", L"a", L"VAR", L"b", L"CONST"});
  // Unknown substance; pair 1 with a lower-case type; pair 2 without a name but with a type; pair 3 after the gap;
  // pair 4 too long and after the gap.
  Put(kEmfacSheet, 2, 0, {L"faults", L"", L"SO2", L"", L"a", L"const", L"", L"VAR", L"c", L"", std::wstring(16, L'x')});
  Put(kEmfacSheet, 2, 195, {L"VAR"});  // the last pair checked
  // Row 3: 47 variables, one more than a record holds.
  Put(kEmfacSheet, 3, 0, {L"many", L"", L"CO2", L"f"});
  for (int i = 0; i < 47; ++i) Put(kEmfacSheet, 3, 4 + 2 * i, {L"v" + std::to_wstring(i), L"VAR"});
  CExcelVerifyEmfac verifier;
  ASSERT_EQ(verifier.Init(substances, errors, warnings), 1);
  ASSERT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors),
            (Lines_{L"Emission function [C3]: Unknown substance: SO2",
                    L"Emission function [D3]: Empty formula: \"faults\"",
                    L"Emission function [F3]: Type must be CONST or VAR: \"const\"",
                    L"Emission function [H3]: Type should be empty: \"VAR\"",
                    L"Emission function [I3]: Variable should be empty: \"c\"",
                    L"Emission function [K3]: Description must be shoter than 16 characters: \"" +
                        std::wstring(16, L'x') + L"\"",
                    L"Emission function [K3]: Variable should be empty: \"" + std::wstring(16, L'x') + L"\"",
                    L"Emission function [GN3]: Type should be empty: \"VAR\"",
                    L"Emission function [CS4]: Too many variables. Maximum is 46."}));
  EXPECT_EQ(warnings.Count(), 0);
}

// The workbook of the verification tests (catalogue lists emptied around each test), with the three resource sheets.
class RsrcSheetsTest : public VerificationTest {
 protected:
  void SetUp() override {
    VerificationTest::SetUp();
    stt = Sheet(SpeedTempScenSheet);
    units = Sheet(UnitsSheet);
    rsrc = Sheet(RsrcSheet);
  }
  using SheetTest::Put;

  sheethost::Sheet* stt = nullptr;
  sheethost::Sheet* units = nullptr;
  sheethost::Sheet* rsrc = nullptr;
};

// (A whole file through these sheets and back: tests/e2e RoundTrip.ResourceFileKeepsEveryLineOrNamesIt.)
TEST_F(RsrcSheetsTest, LimitsEndsAndRefusals) {
  std::wstring full(RsrcTextSize - 1, L'f');
  {
    CExcelWriteSpeedTempScen names;
    EXPECT_EQ(names.Write(1, L"x"), -1);
    EXPECT_EQ(Error(), "Could not write cell: (1 1).");
    EXPECT_EQ(names.Init(0), -1);
    EXPECT_EQ(Error(), "Only comns 1,2,3 are valid for SpeedTempScen");
    ASSERT_EQ(names.Init(ScenarioColumn), 1);
    ASSERT_EQ(names.Write(0, L"no row 0"), 1);
    ASSERT_EQ(names.Write(10, full.c_str()), 1);
    CExcelWriteUnits units;
    EXPECT_EQ(units.Init(1), -1);
    EXPECT_EQ(Error(), "Only columns 0,2,4,6 are valid for Units");
    ASSERT_EQ(units.Init(UnitSearchColumn), 1);
    for (uint16_t n : {0, 1, 3}) ASSERT_EQ(units.Write(n, n == 1 ? full.c_str() : L"u", full.c_str()), 1);
    CExcelWriteRsrc tags;  // free settings: 40 rows across the readers' blocks, then one after a gap
    ASSERT_EQ(tags.Init(), 1);
    for (uint16_t r = 0; r <= 40; ++r) ASSERT_EQ(tags.Write(r, L"T", r ? L"" : L"Value"), 1);
    ASSERT_EQ(tags.Write(42, L"T", L""), 1);  // after a gap
  }
  EXPECT_TRUE(stt->Get(0, ScenarioColumn).IsEmpty());
  EXPECT_EQ(rsrc->Get(0, 1), Cell::Str(L"Value"));
  ASSERT_TRUE(stt->Set(11, ScenarioColumn, Cell::Str(L"beyond the last scenario")));
  CExcelReadSpeedTempScen names;
  EXPECT_EQ(names.Init(4), -1);
  EXPECT_EQ(Error(), "Only comns 1,2,3 are valid for SpeedTempScen");
  ASSERT_EQ(names.Init(ScenarioColumn), 1);
  RsrcNameRow name;
  for (uint16_t n = 1; n <= 10; ++n) {  // every number, named or not
    ASSERT_EQ(names.Read(&name), 1);
    EXPECT_EQ(name.number, n);
    EXPECT_EQ(std::wstring(name.name), n == 10 ? full : L"");
  }
  EXPECT_EQ(names.Read(&name), 0);
  // Units are numbered from 0 and end at the first empty name, free settings at the first empty tag.
  CExcelReadUnits units;
  ASSERT_EQ(units.Init(UnitSearchColumn), 1);
  RsrcUnitRow unit;
  ASSERT_EQ(units.Read(&unit), 1);
  ASSERT_EQ(units.Read(&unit), 1);
  EXPECT_EQ(unit.number, 1);
  EXPECT_EQ(std::wstring(unit.name) + std::wstring(unit.factor), full + full);
  EXPECT_EQ(units.Read(&unit), 0);
  CExcelReadRsrc tags;
  ASSERT_EQ(tags.Init(), 1);
  RsrcFreeRow back;
  for (uint16_t r = 1; r <= 40; ++r) {
    ASSERT_EQ(tags.Read(&back), 1);
    EXPECT_EQ(back.row, r);
  }
  EXPECT_EQ(tags.Read(&back), 0);
}

TEST_F(RsrcSheetsTest, ResourceListsRebuiltFromTheSheets) {
  Put(SpeedTempScenSheet, 1, SpeedColumn, {L"30 km/h"});
  Put(SpeedTempScenSheet, 3, SpeedColumn, {L"70 km/h"});
  Put(SpeedTempScenSheet, 2, TemperatureColumn, {L"-10 C"});
  Put(SpeedTempScenSheet, 10, ScenarioColumn, {L"last"});
  Put(UnitsSheet, 1, UnitSubColumn, {L"ton/year", L"1.0", L"%", L"1.0", L"ton/year", L"1.0"});
  Put(UnitsSheet, 2, UnitSubColumn, {L"kg/year", L"1000"});
  Put(UnitsSheet, 3, UnitSubGrpEmColumn, {L"g/s", L"31.5"});  // after a gap: not seen
  SpeedList.Add(L"stale", 99);
  EXPECT_EQ(EdbRsrcUpdateIdx(), 0) << Error();
  EXPECT_EQ(Pairs(SpeedList), L"30 km/h=1,=2,70 km/h=3,=4,=5,=6,=7,=8,=9,=10,=11");
  EXPECT_EQ(TemperatureList.Count(), 30);
  EXPECT_EQ(std::wstring(TemperatureList.NameOf(2)), L"-10 C");
  EXPECT_EQ(std::wstring(ScenarioList.NameOf(10)), L"last");
  EXPECT_EQ(Pairs(UnitSubList), L"ton/year=0,kg/year=1");
  EXPECT_EQ(Pairs(UnitSubGrpList), L"%=0");
  EXPECT_EQ(Pairs(UnitSubGrpEmList), L"ton/year=0");
  EXPECT_TRUE(UnitSubList.IsSorted());
  EXPECT_EQ(UnitSubList.SortKey(), CRecordList::kByIndex);
  host.Book().RemoveSheet(UnitsSheet);
  EXPECT_EQ(EdbRsrcUpdateIdx(), -1);
}

}  // namespace
