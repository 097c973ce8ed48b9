// VKVerifyRoad and VKVerifyGrid: each fault a road or a grid sheet can hold
// is reported at its cell, on a first sheet and a continuation sheet alike,
// and the verification goes on.  (Clean grids pass: tests/e2e GridRoundTrip
// verifies each grid it loads.)
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

TEST_F(RoadVerify, EachFaultIsReportedAtItsCellOnTheFirstAndAContinuationSheet) {
  Check(L"Road");
  ErrorList.Clear();
  Check(L"Road (2)");
}

// An empty name would select the active sheet: no road sheet is named so.
TEST_F(RoadVerify, AnEmptySheetNameIsRefused) {
  PutRoad(L"Substance", 1);
  EXPECT_EQ(VKVerifyRoad(L""), -1);
  wchar_t count[16] = L"";
  EXPECT_EQ(VKRoadsLoad(L"", 1, count), -1);
  EXPECT_EQ(VKRoadsSave(nullptr, 1, count), -1);
  EXPECT_TRUE(ErrorLines().empty());
}

constexpr const wchar_t* kSheet = L"Grid.T";

class GridVerifyTest : public VerificationTest {
 protected:
  void SetUp() override {
    VerificationTest::SetUp();
    SubLists[0].Add(L"NOx", 1);
    SubLists[0].Add(L"PM10", 3);
    SubLists[1].Add(L"Industry", 1);
    SourceTimevarList.Add(L"Weekday", 1);
    SubgrpList.Add(L"Wood", 4);
    AddSheet(kSheet);
  }
  // A clean grid of substance values whose name and searchkey 1 vary per
  // cell, with one data row.
  void PutGrid(const wchar_t* sheet) {
    Put(sheet, 0, 24, {L"NOx", L"PM10"});
    Put(sheet, 1, 0, {L"100", L"200", L"2", L"1", L"10", L"10", L"DYNAMIC", L"Info"});
    Put(sheet, 1, 15, {L"Weekday", L"DYNAMIC"});
    Put(sheet, 2, 0, {L"100", L"200", L"", L"", L"", L"", L"North"});
    Put(sheet, 2, 16, L"Industry");
    Put(sheet, 2, 24, {L"1.5", L"2"});
  }
};

TEST_F(GridVerifyTest, EveryFaultIsReportedAtItsCell) {
  PutGrid(kSheet);
  Put(kSheet, 1, 0, L"");             // no X origin
  Put(kSheet, 1, 3, L"DYNAMIC");      // Ny varies
  Put(kSheet, 1, 7, std::wstring(48, L'i'));
  Put(kSheet, 1, 15, L"Sunday");      // unknown time variation
  Put(kSheet, 1, 17, L"Nowhere");     // unknown searchkey 2
  Put(kSheet, 0, 25, L"CO9");         // unknown substance
  Put(kSheet, 1, 24, L"5");           // a value in the header
  Put(kSheet, 2, 1, L"");             // no Y
  Put(kSheet, 2, 4, L"3");            // Dx in a cell
  Put(kSheet, 2, 6, L"North@East");   // the field separator in a text
  Put(kSheet, 2, 7, L"x");            // Info is not dynamic
  Put(kSheet, 2, 16, L"Farming");     // unknown searchkey 1
  Put(kSheet, 2, 23, L"Wood");        // an emission factor in substance mode
  Put(kSheet, 2, 24, L"-1");          // a negative emission
  Put(kSheet, 3, 5, L"junk");         // no X, but text
  Put(kSheet, 5, 0, L"120");          // below the gap
  EXPECT_EQ(VKVerifyGrid(kSheet), 0);
  EXPECT_EQ(ErrorLines(), (IssueLines{
                              L"Grid.T [A2]: Lower X base coordinate must be given",
                              L"Grid.T [D2]: Ny must be static",
                              L"Grid.T [H2]: To long string for Info. Max is 47",
                              L"Grid.T [P2]: Unknown Timevar",
                              L"Grid.T [R2]: Unknown Searchkey2",
                              L"Grid.T [Z1]: Unknown Substance",
                              L"Grid.T [B3]: Missing Y coordinate.",
                              L"Grid.T [E3]: Dx can not be dynamic",
                              L"Grid.T [G3]: Name cell holds an @, which separates the fields of a grid cell",
                              L"Grid.T [H3]: Info is not dynamic",
                              L"Grid.T [X3]: Emission Factor is not used",
                              L"Grid.T [Q3]: Unknown Searchkey1",
                              L"Grid.T [Y3]: Substance emission cell value out of range [0,3.40282e+38]",
                              L"Grid.T [A6]: row 6 and below would not be saved: remove the empty row 4",
                          }));
  EXPECT_EQ(WarningLines(), (IssueLines{L"Grid.T [Y2]: Substance emission must be dynamic",
                                        L"Grid.T [F4]: Missing X coordinate or garbage data in row."}));
}

TEST_F(GridVerifyTest, ActivityGridsWantTheirLabelAndOneValue) {
  PutGrid(kSheet);
  Put(kSheet, 1, 23, L"Wood");
  Put(kSheet, 0, 24, L"");
  Put(kSheet, 0, 25, L"");
  Put(kSheet, 2, 25, L"");
  EXPECT_EQ(VKVerifyGrid(kSheet), 1);
  EXPECT_EQ(WarningLines(), (IssueLines{L"Grid.T [Y1]: Label should be \"Em Fac Activity\""}));
}

TEST_F(GridVerifyTest, AMissingSheetAndADifferentContinuationSheetAreErrors) {
  EXPECT_EQ(VKVerifyGrid(L"Grid.None"), 0);
  EXPECT_EQ(ErrorLines(), (IssueLines{L"Grid.None []: The workbook has no sheet Grid.None"}));
  ErrorList.Clear();
  PutGrid(kSheet);
  AddSheet(L"Grid.T (2)");
  PutGrid(L"Grid.T (2)");
  Put(L"Grid.T (2)", 1, 16, L"Industry");  // searchkey 1 the same for all cells
  Put(L"Grid.T (2)", 2, 16, L"");
  EXPECT_EQ(VKVerifyGrid(kSheet), 0);
  EXPECT_EQ(ErrorLines(),
            (IssueLines{L"Grid.T (2) [2]: The header of this continuation sheet differs from the grid's first sheet"}));
}

}  // namespace
