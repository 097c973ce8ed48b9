// CSourceInfo (the source sheet's block layout) and CRoadVehicleDef (the
// road-vehicle dimensions with their class lists).
#include <gtest/gtest.h>

#include "catalogue/road_vehicle_def.h"
#include "catalogue/source_info.h"
#include "host/frame.h"

namespace {

// (What the source sheet's header makes of it: tests/workbook/source_sheet_test.cc.)
TEST(SourceInfo, ReadsOutOfRangeAreHarmlessAndResetZeroesTheCounters) {
  CSourceInfo info;
  EXPECT_EQ(info.AppendSub(12) + info.AppendSub(-1) + info.AppendGroup(4), 0);
  EXPECT_EQ(info.AppendFormula(7) + info.AppendFormula(8), 0);
  EXPECT_TRUE(info.AddVariable(1));
  EXPECT_TRUE(info.AddVariable(1));
  EXPECT_EQ(info.Variables(1), 2);
  EXPECT_EQ(info.Sub(2), -1);
  EXPECT_EQ(info.Group(-1), -1);
  EXPECT_EQ(info.Variables(2), 0);
  EXPECT_FALSE(info.AddVariable(2));
  EXPECT_FALSE(info.AddVariable(-1));

  info.Reset();
  EXPECT_EQ(info.SubCount() + info.GroupCount() + info.FormulaCount(), 0);
  EXPECT_EQ(info.AppendFormula(3), 0);
  EXPECT_EQ(info.Variables(0), 0);  // counters zeroed by Reset
}

TEST(SourceInfo, FunctionBlocksAreLimited) {
  CSourceInfo info;
  for (int32_t k = 0; k < CSourceInfo::kMaxFormulas; ++k) ASSERT_EQ(info.AppendFormula(k), 0);
  EXPECT_EQ(info.AppendFormula(1000), -1);
  EXPECT_STREQ(GetErrorText(), "SourceInfo: Too many formulas (at most 1000)");
  EXPECT_EQ(info.FormulaCount(), CSourceInfo::kMaxFormulas);
  EXPECT_TRUE(info.AddVariable(CSourceInfo::kMaxFormulas - 1));
  ClearErrorText();
}

TEST(RoadVehicleDef, DimensionsOutOfRangeHaveNoNameOrList) {
  CRoadVehicleDef def;
  EXPECT_EQ(def.List(0), nullptr);
  ASSERT_TRUE(def.Create(2));
  EXPECT_EQ(def.Name(0), nullptr);
  EXPECT_TRUE(def.SetName(1, L"Size"));
  EXPECT_FALSE(def.SetName(2, L"None"));
  EXPECT_EQ(def.Name(-1), nullptr);
  ASSERT_NE(def.List(1), nullptr);
  def.List(1)->Add(L"small", 0);
  EXPECT_EQ(def.List(2), nullptr);
  EXPECT_EQ(def.List(-1), nullptr);

  ASSERT_TRUE(def.Create(1));  // replaces the earlier definition
  EXPECT_EQ(def.Dimensions(), 1);
  EXPECT_EQ(def.Name(0), nullptr);
  EXPECT_EQ(def.List(0)->Count(), 0);
  EXPECT_FALSE(def.Create(-3));
  EXPECT_EQ(def.Dimensions(), 0);
}

}  // namespace
