// The list exports over the process-wide catalogue lists: iteration, the
// sorting on a first call, the choice of list and the buffer limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "vorkabcom.h"

namespace {

template <class Next>
std::vector<std::wstring> All(Next next) {
  std::vector<std::wstring> names;
  wchar_t buffer[300];
  for (int32_t first = 1; next(first, buffer) == 1; first = 0) names.push_back(buffer);
  return names;
}

using Names = std::vector<std::wstring>;

TEST(ListExports, SubListIsInIndexOrderPerElement) {
  SubLists[2].Clear();
  SubLists[2].Add(L"Industry", 3);
  SubLists[2].Add(L"Agriculture", 1);
  SubLists[2].Add(L"Traffic", 2);
  SubLists[0].Clear();
  SubLists[0].Add(L"NOx", 2);
  SubLists[0].Add(L"CO2", 1);
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKSubList(f, 2, b); }),
            (Names{L"Agriculture", L"Traffic", L"Industry"}));
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKSubList(f, 0, b); }), (Names{L"CO2", L"NOx"}));
  EXPECT_EQ(SubLists[2].SortKey(), CRecordList::kByIndex);
  EXPECT_TRUE(SubLists[2].IsSorted());

  wchar_t buffer[8] = L"same";
  EXPECT_EQ(VKSubList(1, 6, buffer), 0);  // no such element
  EXPECT_EQ(VKSubList(1, -1, buffer), 0);
  EXPECT_STREQ(buffer, L"same");
  SubLists[0].Clear();
  SubLists[2].Clear();
}

TEST(ListExports, NameListsSortOnFirstCall) {
  struct Case {
    CRecordList* list;
    int32_t (*next)(int32_t, wchar_t*);
  };
  const Case cases[] = {
      {&EmfacList, [](int32_t f, wchar_t* b) { return VKEmfacsList(f, b); }},
      {&SourceTimevarList, [](int32_t f, wchar_t* b) { return VKTimevarsList(0, f, b); }},
      {&RoadTimevarList, [](int32_t f, wchar_t* b) { return VKTimevarsList(1, f, b); }},
      {&RoadTimevarList, [](int32_t f, wchar_t* b) { return VKTimevarsList(-4, f, b); }},
      {&SubgrpList, [](int32_t f, wchar_t* b) { return VKSubgrpsList(f, b); }},
      {&VehicleList, [](int32_t f, wchar_t* b) { return VKVehiclesList(f, b); }},
      {&RoadVehicleList, [](int32_t f, wchar_t* b) { return VKRoadVehiclesList(f, b); }},
      {&RoadtypeList, [](int32_t f, wchar_t* b) { return VKRoadtypesList(f, b); }},
  };
  for (const Case& c : cases) {
    c.list->Clear();
    c.list->SetSortKey(CRecordList::kByIndex);
    c.list->Add(L"winter", 1);
    c.list->Add(L"autumn", 2);
    c.list->Add(L"summer", 3);
    EXPECT_EQ(All(c.next), (Names{L"autumn", L"summer", L"winter"}));
    EXPECT_EQ(c.list->SortKey(), CRecordList::kByName);
    c.list->Clear();
    wchar_t buffer[4];
    EXPECT_EQ(c.next(1, buffer), 0);
  }
}

TEST(ListExports, ContinueCallsDoNotResort) {
  VehicleList.Clear();
  VehicleList.Add(L"b", 1);
  VehicleList.Add(L"a", 2);
  wchar_t buffer[20];
  ASSERT_EQ(VKVehiclesList(1, buffer), 1);
  EXPECT_STREQ(buffer, L"a");
  VehicleList.Add(L"0", 3);  // added during the listing: appended, not re-sorted
  ASSERT_EQ(VKVehiclesList(0, buffer), 1);
  EXPECT_STREQ(buffer, L"b");
  ASSERT_EQ(VKVehiclesList(0, buffer), 1);
  EXPECT_STREQ(buffer, L"0");
  EXPECT_EQ(VKVehiclesList(0, buffer), 0);
  VehicleList.Clear();
}

TEST(ListExports, CompaniesAndFacilitiesByName) {
  CompanyList.Clear();
  CompanyList.Add(L"Zinc Ltd", L"77");
  CompanyList.Add(L"Acme", L"12");
  FacilityList.Clear();
  FacilityList.Add(L"Plant B", FacilityList.MakeKey(5, 6));
  FacilityList.Add(L"Plant A", FacilityList.MakeKey(1, 2));
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKCompaniesList(f, b); }), (Names{L"Acme", L"Zinc Ltd"}));
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKFacilitiesList(f, b); }), (Names{L"Plant A", L"Plant B"}));
  EXPECT_STREQ(FacilityList.FindName(L"5 6"), L"Plant B");
  CompanyList.Clear();
  FacilityList.Clear();
}

TEST(ListExports, RoadVehicleDefinitionDimensions) {
  wchar_t buffer[8] = L"same";
  EXPECT_EQ(VKRoadVehiclesDefList(1, 0, buffer), 0);  // nothing loaded yet
  ASSERT_TRUE(RoadVehicleDef.Create(2));
  RoadVehicleDef.List(1)->Add(L"petrol", 0);
  RoadVehicleDef.List(1)->Add(L"diesel", 1);
  EXPECT_EQ(All([](int32_t f, wchar_t* b) { return VKRoadVehiclesDefList(f, 1, b); }),
            (Names{L"diesel", L"petrol"}));
  EXPECT_EQ(VKRoadVehiclesDefList(1, 0, buffer), 0);  // empty dimension
  EXPECT_EQ(VKRoadVehiclesDefList(1, 2, buffer), 0);  // no such dimension
  EXPECT_EQ(VKRoadVehiclesDefList(1, -1, buffer), 0);
  EXPECT_STREQ(buffer, L"same");
  RoadVehicleDef.Free();
}

TEST(ListExports, NamesAreCutToTheKindsField) {
  std::wstring longName(300, L'x');
  RoadtypeList.Clear();
  RoadtypeList.Add(longName.c_str(), 1);
  wchar_t buffer[300];
  for (wchar_t& c : buffer) c = L'#';
  ASSERT_EQ(VKRoadtypesList(1, buffer), 1);
  EXPECT_EQ(std::wstring(buffer), longName.substr(0, 19));
  EXPECT_EQ(buffer[20], L'#');
  RoadtypeList.Clear();

  CompanyList.Clear();
  CompanyList.Add(longName.c_str(), L"1");
  ASSERT_EQ(VKCompaniesList(1, buffer), 1);
  EXPECT_EQ(std::wstring(buffer), longName.substr(0, 47));
  CompanyList.Clear();

  SubLists[1].Clear();
  SubLists[1].Add(longName.c_str(), 1);
  ASSERT_EQ(VKSubList(1, 1, buffer), 1);
  EXPECT_EQ(std::wstring(buffer), longName.substr(0, 255));
  SubLists[1].Clear();
}

TEST(Catalogue, ProcessWideListsStartEmptyWithTheirKeys) {
  EXPECT_EQ(DatabaseList.Count(), 0);
  EXPECT_EQ(GridList.Count(), 0);
  EXPECT_EQ(DatabaseList.SortKey(), CRecordList::kByName);
  for (CRecordList* list : {&SpeedList, &TemperatureList, &ScenarioList, &UnitSubList, &UnitSubGrpList,
                            &UnitSubGrpEmList}) {
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->SortKey(), CRecordList::kByIndex);
    EXPECT_TRUE(list->BadReference());
  }
  EXPECT_EQ(&TimevarList(0), &SourceTimevarList);
  EXPECT_EQ(&TimevarList(2), &RoadTimevarList);
  EXPECT_EQ(SourceInfo.SubCount(), 0);
}

}  // namespace
