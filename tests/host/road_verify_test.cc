// VKVerifyRoad: each kind of fault reported at its cell, on the first sheet
// and on a continuation sheet alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/issue_list.h"
#include "host/verification_fixture.h"
#include "records/road.h"
#include "vorkabcom.h"

namespace {

struct Fault {
  int column;
  const wchar_t* text;
  int at;  // the column reported
  const wchar_t* message;
};

const Fault kFaults[] = {
    {0, L"A name of forty-eight characters, one too many!!", 0, L"To long string for Name. Max is 47"},
    {3, L"10000000", 3, L"Vehicles cell value out of range [0,9999999]"},
    {7, L"99 km/h", 7, L"Unknown Speed"},
    {8, L"Nowhere", 8, L"Unknown Roadtype"},
    {10, L"50 km/h", 10, L"All speeds must be specified or none"},
    {17, L"Elsewhere", 17, L"Unknown SearchKey1"},
    {27, L"1 2 3", 27, L"Must specify 12 building heights"},
    {27, L"300 1 1 1 1 1 1 1 1 1 1 1", 27, L"Building heights must be in the interval of 0 to 255"},
    {34, L"1 2 3", 34, L"Number of noise factors differs from erlier roads 3 (2)"},
    {30, L"400", 30, L"Barrier angle 1 cell value out of range [0,360]"},
    {35, L"Car", 35, L"Road referencing a roadtype has a non empty emission factor 0"},
    {38, L"Tram", 38, L"Unknown road vehicle: Tram"},
    {39, L"Nope", 39, L"Unknown timevar"},
    {40, L"-1", 40, L"Complex vehicle percentage cell value out of range [0,1e+09]"},
    {42, L"abc", 42, L"No coordinate specified or garbage"},
    {44, L"", 41, L"Must have at least two coordinate pairs for a road"},
    {37, L"JUNK", 37, L"Garbage data"},
};

class RoadVerify : public VerificationTest {
 protected:
  void SetUp() override {
    VerificationTest::SetUp();
    SpeedList.Add(L"50 km/h", 1);
    RoadtypeList.Add(L"Urban", 1);
    RoadTimevarList.Add(L"Street", 1);
    RoadVehicleList.Add(L"PC", 1);
    SubLists[0].Add(L"NOx", 1);
    SubLists[1].Add(L"Energy", 1);
    ASSERT_TRUE(RoadVehicleDef.Create(2));
    RoadVehicleDef.List(0)->Add(L"Car", 0);
    RoadVehicleDef.List(1)->Add(L"50kmh", 0);
  }

  // A clean road on a roadtype with traffic and two points.
  void PutRoad(const wchar_t* sheet, RW row) {
    Put(sheet, row, 0, {L"Main street " + std::to_wstring(row), L"", L"", L"1000", L"", L"1", L"2", L"50 km/h"});
    Put(sheet, row, 8, L"Urban");
    Put(sheet, row, 16, {L"5", L"", L"", L"", L"", L"", L"", L"20", L"10", L"0", L"5"});
    Put(sheet, row, 27, {L"10 10 10 10 10 10 10 10 10 10 10 10", L"0", L"0", L"0", L"0", L"0", L"0", L"1 2"});
    Put(sheet, row, 37, {L"TRAFFIC", L"PC", L"Street", L"100", L"COORD", L"100", L"200", L"110", L"210"});
  }

  void Check(const wchar_t* sheet) {
    AddSheet(sheet);
    PutRoad(sheet, 1);
    EXPECT_EQ(VKVerifyRoad(sheet), 1);
    EXPECT_EQ(NoNoiseFactors, 2);
    RW row = 2;
    for (const Fault& fault : kFaults) {
      PutRoad(sheet, row);
      ASSERT_TRUE(host.Book().SetCell(sheet, row, fault.column, sheethost::Cell::Str(fault.text)));
      ++row;
    }
    EXPECT_EQ(VKVerifyRoad(sheet), 0);
    std::vector<std::wstring> lines = ErrorLines();
    row = 2;
    for (const Fault& fault : kFaults) {
      wchar_t cell[kCellNameSize];
      CellName(row, fault.at, cell, kCellNameSize);
      std::wstring want = std::wstring(sheet) + L" [" + cell + L"]: " + fault.message;
      EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << std::string(want.begin(), want.end());
      ++row;
    }
  }
};

TEST_F(RoadVerify, EachFaultIsReportedAtItsCellOnTheFirstSheet) { Check(L"Road"); }

TEST_F(RoadVerify, EachFaultIsReportedAtItsCellOnAContinuationSheet) { Check(L"Road (2)"); }

// An empty name would select the active sheet: no road sheet is named so.
TEST_F(RoadVerify, AnEmptySheetNameIsRefused) {
  PutRoad(L"Substance", 1);
  EXPECT_EQ(VKVerifyRoad(L""), -1);
  wchar_t count[16] = L"";
  EXPECT_EQ(VKRoadsLoad(L"", 1, count), -1);
  EXPECT_EQ(VKRoadsSave(nullptr, 1, count), -1);
  EXPECT_TRUE(ErrorLines().empty());
}

}  // namespace
