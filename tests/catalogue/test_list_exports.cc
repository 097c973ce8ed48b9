// The list exports over the process-wide catalogue lists: the sort on a first
// call (and none on the next), the choice of list, and the names cut to each
// kind's field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "vorkabcom.h"

namespace {

using Names = std::vector<std::wstring>;

template <class Next>
Names All(Next next) {
  Names names;
  wchar_t buffer[300];
  for (int32_t first = 1; next(first, buffer) == 1; first = 0) names.push_back(buffer);
  return names;
}

TEST(ListExports, SubListIsInIndexOrderPerElement) {
  SubLists[2].Add(L"Industry", 3);
  SubLists[2].Add(L"Agriculture", 1);
  SubLists[2].Add(L"Traffic", 2);
  SubLists[0].Add(L"NOx", 2);
  SubLists[0].Add(L"CO2", 1);
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKSubList(f, 2, b); }), (Names{L"Agriculture", L"Traffic", L"Industry"}));
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKSubList(f, 0, b); }), (Names{L"CO2", L"NOx"}));
  wchar_t buffer[8] = L"same";
  EXPECT_EQ(VKSubList(1, 6, buffer), 0);  // no such element
  EXPECT_EQ(VKSubList(1, -1, buffer), 0);
  EXPECT_STREQ(buffer, L"same");
  SubLists[0].Clear();
  SubLists[2].Clear();
}

TEST(ListExports, NameListsSortOnTheFirstCallOnly) {
  struct Case {
    CRecordList* list;
    int32_t (*next)(int32_t, wchar_t*);
  };
  const Case cases[] = {
      {&EmfacList, [](int32_t f, wchar_t* b) { return VKEmfacsList(f, b); }},
      {&SourceTimevarList, [](int32_t f, wchar_t* b) { return VKTimevarsList(0, f, b); }},
      {&RoadTimevarList, [](int32_t f, wchar_t* b) { return VKTimevarsList(-4, f, b); }},
      {&SubgrpList, [](int32_t f, wchar_t* b) { return VKSubgrpsList(f, b); }},
      {&VehicleList, [](int32_t f, wchar_t* b) { return VKVehiclesList(f, b); }},
      {&RoadVehicleList, [](int32_t f, wchar_t* b) { return VKRoadVehiclesList(f, b); }},
      {&RoadtypeList, [](int32_t f, wchar_t* b) { return VKRoadtypesList(f, b); }},
  };
  for (const Case& c : cases) {
    c.list->SetSortKey(CRecordList::kByIndex);
    c.list->Add(L"winter", 1);
    c.list->Add(L"autumn", 2);
    wchar_t buffer[20];
    ASSERT_EQ(c.next(1, buffer), 1);
    EXPECT_STREQ(buffer, L"autumn");
    EXPECT_EQ(c.list->SortKey(), CRecordList::kByName);
    c.list->Add(L"0", 3);  // added during the listing: appended, not sorted in
    ASSERT_EQ(c.next(0, buffer), 1);
    EXPECT_STREQ(buffer, L"winter");
    ASSERT_EQ(c.next(0, buffer), 1);
    EXPECT_STREQ(buffer, L"0");
    EXPECT_EQ(c.next(0, buffer), 0);
    c.list->Clear();
    EXPECT_EQ(c.next(1, buffer), 0);
  }
}

TEST(ListExports, CompaniesFacilitiesAndRoadVehicleDimensions) {
  CompanyList.Add(L"Zinc Ltd", L"77");
  CompanyList.Add(L"Acme", L"12");
  FacilityList.Add(L"Plant B", FacilityList.MakeKey(5, 6));
  FacilityList.Add(L"Plant A", FacilityList.MakeKey(1, 2));
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKCompaniesList(f, b); }), (Names{L"Acme", L"Zinc Ltd"}));
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKFacilitiesList(f, b); }), (Names{L"Plant A", L"Plant B"}));
  CompanyList.Clear();
  FacilityList.Clear();

  wchar_t buffer[8] = L"same";
  EXPECT_EQ(VKRoadVehiclesDefList(1, 0, buffer), 0);  // nothing loaded yet
  ASSERT_TRUE(RoadVehicleDef.Create(2));
  RoadVehicleDef.List(1)->Add(L"petrol", 0);
  RoadVehicleDef.List(1)->Add(L"diesel", 1);
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKRoadVehiclesDefList(f, 1, b); }), (Names{L"diesel", L"petrol"}));
  for (int32_t dimension : {0 /* empty */, 2, -1}) EXPECT_EQ(VKRoadVehiclesDefList(1, dimension, buffer), 0);
  EXPECT_STREQ(buffer, L"same");
  RoadVehicleDef.Free();
}

TEST(ListExports, NamesAreCutToTheKindsField) {
  std::wstring longName(300, L'x');
  wchar_t buffer[300];
  for (wchar_t& c : buffer) c = L'#';
  RoadtypeList.Add(longName.c_str(), 1);
  ASSERT_EQ(VKRoadtypesList(1, buffer), 1);
  EXPECT_EQ(std::wstring(buffer), longName.substr(0, 19));
  EXPECT_EQ(buffer[20], L'#');
  RoadtypeList.Clear();
  CompanyList.Add(longName.c_str(), L"1");
  ASSERT_EQ(VKCompaniesList(1, buffer), 1);
  EXPECT_EQ(std::wstring(buffer), longName.substr(0, 47));
  CompanyList.Clear();
  SubLists[1].Add(longName.c_str(), 1);
  ASSERT_EQ(VKSubList(1, 1, buffer), 1);
  EXPECT_EQ(std::wstring(buffer), longName.substr(0, 255));
  SubLists[1].Clear();
}

TEST(Catalogue, ProcessWideListsStartEmptyWithTheirKeys) {
  EXPECT_EQ(DatabaseList.Count() + GridList.Count() + SourceInfo.SubCount(), 0);
  EXPECT_EQ(DatabaseList.SortKey(), CRecordList::kByName);
  for (CRecordList* list : {&SpeedList, &TemperatureList, &ScenarioList, &UnitSubList, &UnitSubGrpList,
                            &UnitSubGrpEmList}) {
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->SortKey(), CRecordList::kByIndex);
    EXPECT_TRUE(list->BadReference());
  }
  EXPECT_EQ(&TimevarList(0), &SourceTimevarList);
  EXPECT_EQ(&TimevarList(2), &RoadTimevarList);
}

}  // namespace
