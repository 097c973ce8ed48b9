// The "Emission factor" sheet: substance blocks created in the order
// substances first appear, many groups written and read back equal, the
// reader's refusals, and the verifier's issues at their cells.
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/record_list.h"
#include "sheet_fixture.h"
#include "workbook/subgrp_sheet.h"

namespace {

using sheethost::Cell;
using Lines_ = std::vector<std::wstring>;

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

  // The slots of a record by substance.
  static std::map<int16_t, std::pair<std::pair<float, float>, std::wstring>> Slots(const SubgrpRec& r) {
    std::map<int16_t, std::pair<std::pair<float, float>, std::wstring>> slots;
    for (int i = 0; i < SubgrpSlots && r.substance[i] != 0; ++i) {
      slots[r.substance[i]] = {{r.slope[i], r.m[i]}, r.unit[i]};
    }
    return slots;
  }

  void Put(RW row, COL column, const std::wstring& text) { ASSERT_TRUE(sheet->Set(row, column, Cell::Str(text))); }

  sheethost::Sheet* sheet = nullptr;
  CRecordList substances;
  CRecordList units;
  IssueList errors;
  IssueList warnings;
};

TEST_F(SubgrpSheetTest, BlocksFollowTheFirstAppearanceOfEachSubstance) {
  CExcelWriteSubgrp writer;
  ASSERT_EQ(writer.Init(substances), 1);
  ASSERT_EQ(writer.Write(Group(L"first", 4, {{1, 0.5f, 1, L"kg/ton"}, {2, 2, 0, L"g/GJ"}})), 1) << Error();
  ASSERT_EQ(writer.Write(Group(L"second", 9, {{2, 3, 0.25f, L"%"}, {3, 1e-6f, 0, L"kg/ton"}})), 1) << Error();
  EXPECT_EQ(sheet->Get(0, 2), Cell::Str(L"A"));
  EXPECT_EQ(sheet->Get(0, 3), Cell::Str(L"m"));
  EXPECT_EQ(sheet->Get(0, 4), Cell::Str(L"Unit"));
  EXPECT_EQ(sheet->Get(0, 5), Cell::Str(L"B"));
  EXPECT_EQ(sheet->Get(0, 8), Cell::Str(L"C"));
  EXPECT_EQ(sheet->Get(1, 0), Cell::Str(L"first"));
  EXPECT_EQ(sheet->Get(1, 1), Cell::Str(L"4"));
  EXPECT_EQ(sheet->Get(1, 5), Cell::Str(L"2"));
  EXPECT_EQ(sheet->Get(2, 5), Cell::Str(L"3"));
  EXPECT_EQ(sheet->Get(2, 6), Cell::Str(L"0.25"));
  EXPECT_EQ(sheet->Get(2, 7), Cell::Str(L"%"));
  EXPECT_EQ(sheet->Get(2, 8), Cell::Str(L"1e-06"));
  EXPECT_TRUE(sheet->Get(2, 2).IsEmpty());
  EXPECT_TRUE(sheet->Get(0, 11).IsEmpty());

  // A substance index without a name.
  substances.SetBadReference(false);
  EXPECT_EQ(writer.Write(Group(L"third", 10, {{77, 1, 1, L"%"}})), -1);
  EXPECT_EQ(Error(), "Could not get substance 77");
}

TEST_F(SubgrpSheetTest, ManyGroupsWrittenAreReadBackEqual) {
  std::mt19937 rng(11);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<SubgrpRec> groups;
  for (int k = 0; k < 60; ++k) {
    std::vector<Slot> slots;
    std::vector<bool> used(41, false);
    int n = k == 0 ? 0 : pick(1, 12);
    for (int i = 0; i < n; ++i) {
      int16_t s = static_cast<int16_t>(pick(1, 40));
      if (used[s]) continue;
      used[s] = true;
      std::wstring unit = pick(0, 1) ? L"kg/ton" : std::wstring(63, static_cast<wchar_t>(L'a' + pick(0, 25)));
      slots.push_back({s, static_cast<float>(pick(0, 999999) / 100.0), static_cast<float>(pick(0, 99999) * 1e-4),
                       unit});
    }
    groups.push_back(Group(L"grp" + std::to_wstring(k), static_cast<uint32_t>(k == 1 ? INT32_MAX : pick(1, 100000)),
                           slots));
  }
  {
    CExcelWriteSubgrp writer;
    ASSERT_EQ(writer.Init(substances), 1);
    for (const SubgrpRec& g : groups) ASSERT_EQ(writer.Write(g), 1) << Error();
  }
  CExcelReadSubgrp reader;
  ASSERT_EQ(reader.Init(substances), 1) << Error();
  SubgrpRec back;
  for (size_t k = 0; k < groups.size(); ++k) {
    const SubgrpRec& g = groups[k];
    ASSERT_EQ(reader.Read(&back), 1) << Error();
    EXPECT_EQ(std::wstring(back.name), std::wstring(g.name));
    EXPECT_EQ(back.index, g.index);
    // Slots come back in block order: compare them by substance.
    EXPECT_EQ(Slots(back), Slots(g)) << "group " << k;
  }
  EXPECT_EQ(reader.Read(&back), 0);
}

TEST_F(SubgrpSheetTest, ReaderRefusals) {
  Put(0, 2, L"A");
  Put(0, 5, L"Nobody");
  {
    CExcelReadSubgrp reader;
    EXPECT_EQ(reader.Init(substances), -1);
    EXPECT_EQ(Error(), "Could not get index for substance: Nobody (row 0).");
  }
  // 249 blocks are taken, a 250th is refused.
  sheet->ClearAll();
  CRecordList many;
  for (int32_t i = 1; i <= 250; ++i) {
    std::wstring name = L"s" + std::to_wstring(i);
    many.Add(name.c_str(), i);
    if (i <= 249) Put(0, 2 + 3 * (i - 1), name);
  }
  {
    CExcelReadSubgrp reader;
    ASSERT_EQ(reader.Init(many), 1) << Error();
    EXPECT_EQ(reader.Blocks(), 249);
  }
  Put(0, 2 + 3 * 249, L"s250");
  {
    CExcelReadSubgrp reader;
    EXPECT_EQ(reader.Init(many), -1);
    EXPECT_EQ(Error(), "To many substances are specified.");
  }

  sheet->ClearAll();
  Put(0, 2, L"A");
  Put(1, 0, L"zero");
  Put(1, 1, L"0");
  Put(2, 0, L"text");
  Put(2, 1, L"abc");
  Put(3, 0, L"longunit");
  Put(3, 1, L"3");
  Put(3, 2, L"1");
  Put(3, 4, std::wstring(64, L'u'));
  Put(4, 0, L"fine");
  Put(4, 1, L"4");
  Put(4, 3, L"7");  // an m without a slope is left out
  CExcelReadSubgrp reader;
  ASSERT_EQ(reader.Init(substances), 1);
  SubgrpRec r;
  EXPECT_EQ(reader.Read(&r), -1);
  EXPECT_EQ(Error(), "Could not get index for substance group: zero (row 1).");
  EXPECT_EQ(reader.Read(&r), -1);
  EXPECT_EQ(Error(), "Could not get index for substance group: text (row 2).");
  EXPECT_EQ(reader.Read(&r), -1);
  EXPECT_EQ(Error(), "To long unit for substance group: longunit (row 3). Max is 63");
  ASSERT_EQ(reader.Read(&r), 1);
  EXPECT_EQ(r.index, 4u);
  EXPECT_EQ(r.substance[0], 0);
  EXPECT_EQ(reader.Read(&r), 0);

  CExcelReadSubgrp missing;
  host.Book().RemoveSheet(kSheet);
  EXPECT_EQ(missing.Init(substances), -1);
}

TEST_F(SubgrpSheetTest, VerifierReportsEachFaultAtItsCell) {
  // Heading: A (fine), Nobody (unknown, bad labels), B (fine).
  Put(0, 2, L"A");
  Put(0, 3, L"m");
  Put(0, 4, L"Unit");
  Put(0, 5, L"Nobody");
  Put(0, 6, L"M");
  Put(0, 7, L"unit");
  Put(0, 8, L"B");
  Put(0, 9, L"m");
  Put(0, 10, L"Unit");
  // Row 1: a clean group.
  Put(1, 0, L"clean");
  Put(1, 2, L"1.5");
  Put(1, 3, L"0");
  Put(1, 4, L"kg/ton");
  // Row 2: slope faults and a missing unit.
  Put(2, 0, L"slopes");
  Put(2, 2, L"abc");
  Put(2, 4, L"kg/ton");
  Put(2, 5, L"-1");
  Put(2, 6, L"2");
  // Row 3: an unknown unit, an m that is no number, m and unit without slope.
  Put(3, 0, L"units");
  Put(3, 2, L"1");
  Put(3, 3, L"x");
  Put(3, 4, L"t/y");
  Put(3, 9, L"4");
  Put(3, 10, L"%");
  // Row 4: no substance at all.
  Put(4, 0, L"none");
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

TEST_F(SubgrpSheetTest, VerifierReportsTooManyBlocks) {
  CRecordList many;
  for (int32_t i = 1; i <= 251; ++i) {
    std::wstring name = L"s" + std::to_wstring(i);
    many.Add(name.c_str(), i);
    Put(0, 2 + 3 * (i - 1), name);
    Put(0, 3 + 3 * (i - 1), L"m");
    Put(0, 4 + 3 * (i - 1), L"Unit");
  }
  CExcelVerifySubgrp verifier;
  ASSERT_EQ(verifier.Init(many, units, errors, warnings), 1);
  ASSERT_EQ(verifier.VerifyRec(), 1);
  EXPECT_EQ(Lines(errors), (Lines_{L"Emission factor [ABV1]: Too many substances. Maximum is 250."}));
}

}  // namespace
