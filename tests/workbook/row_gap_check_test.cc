// Content below the first empty record row is an error, so a save refuses the workbook.
#include "workbook/row_gap_check.h"

#include <algorithm>

#include "host/verification_fixture.h"
#include "transport/latin1.h"

namespace {

class RowGapTest : public VerificationTest {};

struct GapCase {
  const char* what;
  RowGapSheet layout;
  std::vector<RW> filledRows;  // column 0 of these rows holds text (none: the sheet is missing)
  std::wstring expected;       // the error line, empty for none
  RW row = 0;                  // and a cell of any type in any column looked at
  COL column = 0;
  sheethost::Cell cell = {};
};

TEST_F(RowGapTest, ReportsTheFirstRowBelowTheFirstEmptyRecord) {
  const GapCase cases[] = {
      {"contiguous rows", {L"Rsrc", 1, 1, 2}, {0, 1, 2, 3}, L""},
      {"blank row inserted", {L"Rsrc", 1, 1, 2}, {0, 1, 2, 4, 5}, L"Rsrc [A5]: row 5 and below would not be saved: remove the empty row 4"},
      {"empty sheet", {L"Rsrc", 1, 1, 2}, {0}, L""},
      {"content as far below as is looked", {L"Rsrc", 1, 1, 2}, {0, 1, 2, 3 + RowGapLookahead},
       L"Rsrc [A4100]: row 4100 and below would not be saved: remove the empty row 4"},
      // Four rows a record: a filled continuation row keeps the record, an empty first row ends the data even when
      // its later rows are filled.
      {"record rows", {L"Source timevar", 1, 4, 48}, {1, 5, 9}, L""},
      {"empty record start", {L"Source timevar", 1, 4, 48}, {1, 5, 10}, L"Source timevar [A11]: row 11 and below would not be saved: remove the empty row 10"},
      {"text in another column", {L"Rsrc", 1, 1, 2}, {0, 1},
       L"Rsrc [A4]: row 4 and below would not be saved: remove the empty row 3", 3, 1, sheethost::Cell::Str(L"value")},
      {"an error value", {L"Rsrc", 1, 1, 2}, {0, 1},
       L"Rsrc [A6]: row 6 and below would not be saved: remove the empty row 3", 5, 1, sheethost::Cell::Err(xlerrNA)},
      // Readers that stop at an empty name: a row without one ends the data even when it holds values.
      {"a name deleted", {L"Source timevar", 1, 4, 48, 0}, {1, 5},
       L"Source timevar [A10]: row 10 and below would not be saved: cell A10 is empty", 9, 3, sheethost::Cell::Num(12)},
      {"a name row emptied", {L"Source timevar", 1, 4, 48, 0}, {1, 5, 13},
       L"Source timevar [A14]: row 14 and below would not be saved: remove the empty row 10"},
      {"no such sheet: left to the other steps", {L"No such sheet", 1, 1, 2}, {}, L""},
  };
  for (const GapCase& c : cases) {
    SCOPED_TRACE(c.what);
    ErrorList.Clear();
    if (!c.filledRows.empty()) Sheet(c.layout.sheet)->ClearAll();
    for (RW row : c.filledRows) Put(c.layout.sheet, row, 0, L"x");
    if (!c.cell.IsEmpty()) {
      ASSERT_TRUE(Sheet(c.layout.sheet)->Set(c.row, c.column, c.cell));
    }
    ASSERT_EQ(CheckRowGap(c.layout, ErrorList), 1);
    EXPECT_EQ(ErrorLines(), c.expected.empty() ? IssueLines{} : IssueLines{c.expected});
    EXPECT_EQ(Error(), "");
  }
}

TEST_F(RowGapTest, VerificationRefusesAGapInTheRecordSheets) {
  struct Case {
    const wchar_t* sheet;
    COL column;
    RW first, below;
    const wchar_t* expected;
    COL belowColumn = -1;  // the below cell's column when not `column`
  };
  const Case cases[] = {
      {L"Emission function", 0, 1, 3,
       L"Emission function [A4]: row 4 and below would not be saved: remove the empty row 3"},
      {L"Vehicle", 0, 1, 23, L"Vehicle [A24]: row 24 and below would not be saved: remove the empty row 13"},
      {L"Road Vehicle", 0, 1, 3, L"Road Vehicle [A4]: row 4 and below would not be saved: remove the empty row 3"},
      {L"Roadtype", 2, 1, 9, L"Roadtype [A10]: row 10 and below would not be saved: remove the empty row 6"},
      {L"Roadtype", 2, 1, 5, L"Roadtype [C6]: row 6 and below would not be saved: cell C6 is empty", 0},
      {L"Company", 0, 1, 2, L"Company [A3]: row 3 and below would not be saved: cell A3 is empty", 3},
      {L"Road timevar", 0, 1, 5, L"Road timevar [A6]: row 6 and below would not be saved: cell A6 is empty", 7},
      {L"Emission factor", 0, 1, 2, L"Emission factor [A3]: row 3 and below would not be saved: cell A3 is empty", 1},
  };
  for (const Case& c : cases) {
    ErrorList.Clear();
    Put(c.sheet, c.first, c.column, L"first");
    Put(c.sheet, c.below, c.belowColumn < 0 ? c.column : c.belowColumn, L"below");
    EXPECT_EQ(VKVerifySub(), 0);
    std::vector<std::wstring> lines = ErrorLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.expected), lines.end()) << Narrow(c.expected);
  }
}

}  // namespace
