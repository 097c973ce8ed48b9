// The "Emission factor" sheet: block order, round trips, refusals and the verifier.
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "sheet_fixture.h"
#include "workbook/subgrp_sheet.h"

namespace {

using sheethost::Cell;

const wchar_t* const kSheet = L"Emission factor";

class SubgrpSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    sheet = AddSheet(kSheet);
    substances.Add(L"A", 1);
    substances.Add(L"B", 2);
    substances.Add(L"C", 3);
    for (int32_t i = 4; i <= 40; ++i) substances.Add((L"S" + std::to_wstring(i)).c_str(), i);
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
  EXPECT_EQ(writer.Write(groups[0]), -1);
  EXPECT_EQ(Error(), "Could not write cell: (1 0).");
  ASSERT_EQ(writer.Init(substances), 1);
  for (const SubgrpRec& g : groups) ASSERT_EQ(writer.Write(g), 1) << Error();
  // Blocks A, B, C at columns 2, 5 and 8, B holding the values of both groups.
  const std::pair<std::pair<RW, COL>, const wchar_t*> cells[] = {
      {{0, 2}, L"A"}, {{0, 3}, L"m"}, {{0, 4}, L"Unit"}, {{0, 5}, L"B"}, {{0, 8}, L"C"}, {{0, 11}, L"S40"},
      {{1, 0}, L"first"}, {{1, 1}, L"4"}, {{1, 5}, L"2"}, {{2, 5}, L"3"}, {{2, 6}, L"0.25"},
      {{2, 7}, L"%"}, {{2, 8}, L"1e-06"}};
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
  // A substance index without a name.
  substances.SetBadReference(false);
  EXPECT_EQ(writer.Write(Group(L"third", 10, {{77, 1, 1, L"%"}})), -1);
  EXPECT_EQ(Error(), "Could not get substance 77");
}

TEST_F(SubgrpSheetTest, ReaderRefusals) {
  Put(kSheet, 0, 2, {L"A", L"", L"", L"Nobody"});
  CExcelReadSubgrp unknown;
  EXPECT_EQ(unknown.Init(substances), -1);
  EXPECT_EQ(Error(), "Could not get index for substance: Nobody (sheet Emission factor, cell F1, row 1).");
  // 249 blocks are taken, a 250th is refused.
  sheet->ClearAll();
  CRecordList many;
  for (int32_t i = 1; i <= 250; ++i) {
    many.Add((L"s" + std::to_wstring(i)).c_str(), i);
    if (i <= 249) Put(kSheet, 0, 2 + 3 * (i - 1), {L"s" + std::to_wstring(i)});
  }
  CExcelReadSubgrp most;
  ASSERT_EQ(most.Init(many), 1) << Error();
  EXPECT_EQ(most.Blocks(), 249);
  Put(kSheet, 0, 2 + 3 * 249, {L"s250"});
  CExcelReadSubgrp tooMany;
  EXPECT_EQ(tooMany.Init(many), -1);
  EXPECT_EQ(Error(), "To many substances are specified (sheet Emission factor, cell ABV1, row 1).");

  sheet->ClearAll();
  Put(kSheet, 0, 2, {L"A"});
  Put(kSheet, 1, 0, {L"zero", L"0"});
  Put(kSheet, 2, 0, {L"fine", L"4", L"", L"7"});  // an m without a slope is left out
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
  host.Book().RemoveSheet(kSheet);
  CExcelReadSubgrp missing;
  EXPECT_EQ(missing.Init(substances), -1);
}

TEST_F(SubgrpSheetTest, VerifierReportsEachFaultAtItsCell) {
  // Heading: A (fine), Nobody (unknown, bad labels), B (fine).
  Put(kSheet, 0, 2, {L"A", L"m", L"Unit", L"Nobody", L"M", L"unit", L"B", L"m", L"Unit"});
  Put(kSheet, 1, 0, {L"clean", L"", L"1.5", L"0", L"kg/ton"});
  // Slope faults and a missing unit.
  Put(kSheet, 2, 0, {L"slopes", L"", L"abc", L"", L"kg/ton", L"-1", L"2"});
  // An unknown unit, an m that is no number, m and unit without a slope.
  Put(kSheet, 3, 0, {L"units", L"", L"1", L"x", L"t/y", L"", L"", L"", L"", L"4", L"%"});
  Put(kSheet, 4, 0, {L"none"});
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
  // 251 blocks: the 250th is reported and the rest not read.
  sheet->ClearAll();
  errors.Clear();
  CRecordList many;
  for (int32_t i = 1; i <= 251; ++i) {
    many.Add((L"s" + std::to_wstring(i)).c_str(), i);
    Put(kSheet, 0, 2 + 3 * (i - 1), {L"s" + std::to_wstring(i), L"m", L"Unit"});
  }
  CExcelVerifySubgrp blocks;
  ASSERT_EQ(blocks.Init(many, units, errors, warnings), 1);
  ASSERT_EQ(blocks.VerifyRec(), 1);
  EXPECT_EQ(Lines(errors), (Lines_{L"Emission factor [ABV1]: Too many substances. Maximum is 250."}));
}

// No value of a group is dropped or doubled between sheet and record: an
// unused slot before used ones, a substance listed twice, a block after an
// empty heading, a substance headed twice.
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
    for (size_t c = 0; c < h.heading.size(); ++c) Put(kSheet, 0, static_cast<COL>(2 + c), {h.heading[c]});
    CExcelReadSubgrp reader;
    EXPECT_EQ(reader.Init(substances), -1);
    EXPECT_EQ(Error(), h.refusal);
    CExcelVerifySubgrp verifier;
    ASSERT_EQ(verifier.Init(substances, units, errors, warnings), 1);
    ASSERT_EQ(verifier.VerifyRec(), 1);
    EXPECT_EQ(Lines(errors), h.issues);
  }
}

}  // namespace
