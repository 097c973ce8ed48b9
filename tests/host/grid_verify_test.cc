// VKVerifyGrid: each fault a grid's header and data rows can hold is
// reported at its cell, and the verification goes on.  (Clean grids pass:
// tests/e2e GridRoundTrip verifies each grid it loads.)
#include <gtest/gtest.h>

#include <string>

#include "host/verification_fixture.h"
#include "vorkabcom.h"

namespace {

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
