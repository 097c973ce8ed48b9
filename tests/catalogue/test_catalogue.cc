// The process-wide catalogue: the list exports over its lists (the sort on a
// first call and none on the next, the choice of list, the names cut to each
// kind's field), the source sheet's block layout (CSourceInfo) and the
// road-vehicle dimensions with their class lists (CRoadVehicleDef).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/road_vehicle_def.h"
#include "catalogue/source_info.h"
#include "host/frame.h"
#include "vorkabcom.h"

namespace {

using Names = std::vector<std::wstring>;
using Next = std::function<int32_t(int32_t, wchar_t*)>;

// Every name a list export hands out, from a first call on.
Names All(const Next& next) {
  Names names;
  wchar_t buffer[300];
  for (int32_t first = 1; next(first, buffer) == 1; first = 0) names.push_back(buffer);
  return names;
}

// Each export: its list filled in an order that is neither by name nor by
// index, a name too long for its field, and a name added after the first
// call, which is appended rather than sorted in; then emptied.
TEST(ListExports, EachListSortsOnTheFirstCallAndCutsToItsField) {
  struct Case {
    const char* what;
    std::function<void(const wchar_t*, int32_t)> add;
    Next next;
    std::function<void()> clear;
    size_t field;  // characters of a name, with its terminator
    bool byIndex;
  };
  const auto plain = [](CRecordList* list) { return [list](const wchar_t* n, int32_t i) { list->Add(n, i); }; };
  const auto keyed = [](CRecordListKey* list) {
    return [list](const wchar_t* n, int32_t i) { list->Add(n, list->MakeKey(static_cast<uint32_t>(i), 0)); };
  };
  const Case cases[] = {
      {"substances", plain(&SubLists[2]), [](int32_t f, wchar_t* b) { return VKSubList(f, 2, b); },
       [] { SubLists[2].Clear(); }, 256, true},
      {"emfacs", plain(&EmfacList), VKEmfacsList, [] { EmfacList.Clear(); }, 20, false},
      {"source timevars", plain(&SourceTimevarList), [](int32_t f, wchar_t* b) { return VKTimevarsList(0, f, b); },
       [] { SourceTimevarList.Clear(); }, 20, false},
      {"road timevars", plain(&RoadTimevarList), [](int32_t f, wchar_t* b) { return VKTimevarsList(-4, f, b); },
       [] { RoadTimevarList.Clear(); }, 20, false},
      {"subgrps", plain(&SubgrpList), VKSubgrpsList, [] { SubgrpList.Clear(); }, 20, false},
      {"vehicles", plain(&VehicleList), VKVehiclesList, [] { VehicleList.Clear(); }, 20, false},
      {"road vehicles", plain(&RoadVehicleList), VKRoadVehiclesList, [] { RoadVehicleList.Clear(); }, 20, false},
      {"roadtypes", plain(&RoadtypeList), VKRoadtypesList, [] { RoadtypeList.Clear(); }, 20, false},
      {"companies", keyed(&CompanyList), VKCompaniesList, [] { CompanyList.Clear(); }, 48, false},
      {"facilities", keyed(&FacilityList), VKFacilitiesList, [] { FacilityList.Clear(); }, 48, false},
      {"road-vehicle classes", [](const wchar_t* n, int32_t i) { RoadVehicleDef.List(1)->Add(n, i); },
       [](int32_t f, wchar_t* b) { return VKRoadVehiclesDefList(f, 1, b); }, [] { RoadVehicleDef.Free(); }, 256,
       false},
  };
  const std::wstring longName(300, L'x');
  for (const Case& c : cases) {
    ASSERT_TRUE(RoadVehicleDef.Create(2));
    const std::wstring cut = longName.substr(0, c.field - 1);
    c.add(L"mid", 2);
    c.add(L"zulu", 1);
    c.add(longName.c_str(), 4);
    c.add(L"alpha", 3);
    Names names;
    wchar_t buffer[300];
    for (wchar_t& ch : buffer) ch = L'#';
    ASSERT_EQ(c.next(1, buffer), 1) << c.what;
    names.push_back(buffer);
    c.add(L"0", 0);
    while (c.next(0, buffer) == 1) names.push_back(buffer);
    EXPECT_EQ(names, c.byIndex ? (Names{L"zulu", L"mid", L"alpha", cut, L"0"})
                               : (Names{L"alpha", L"mid", cut, L"zulu", L"0"}))
        << c.what;
    EXPECT_EQ(buffer[c.field], L'#') << c.what << ": written past the field";
    c.clear();
    EXPECT_EQ(All(c.next), Names{}) << c.what;
  }
}

TEST(ListExports, NoSuchListAnswersZeroAndLeavesTheBuffer) {
  SubLists[0].Add(L"NOx", 2);
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKSubList(f, 0, b); }), Names{L"NOx"});
  SubLists[0].Clear();
  wchar_t buffer[8] = L"same";
  EXPECT_EQ(VKSubList(1, 6, buffer), 0);
  EXPECT_EQ(VKSubList(1, -1, buffer), 0);
  EXPECT_EQ(VKRoadVehiclesDefList(1, 0, buffer), 0);  // nothing loaded yet
  ASSERT_TRUE(RoadVehicleDef.Create(2));
  RoadVehicleDef.List(1)->Add(L"petrol", 0);
  for (int32_t dimension : {0 /* empty */, 2, -1}) EXPECT_EQ(VKRoadVehiclesDefList(1, dimension, buffer), 0);
  EXPECT_STREQ(buffer, L"same");
  RoadVehicleDef.Free();
}

// (What the source sheet's header makes of it: tests/workbook/listing_sheets_test.cc.)
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
