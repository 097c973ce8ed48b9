// The check for rows after a gap: the sheet readers stop at the first record
// row that is empty (or, on most sheets, whose name cell is), so anything a
// user left below such a row (a blank row inserted to make room, a sort that
// moved blanks up, a name deleted) would silently not be saved, and a save
// replaces the server's whole set of that kind.  The check reports the first
// row with content below the gap as an error, so that the verification
// refuses the save.
#pragma once

#include <cstdint>

#include "host/issue_list.h"

// How a sheet's data is laid out for the check.
struct RowGapSheet {
  const wchar_t* sheet;
  int32_t firstRow;    // first data row (0-based)
  int32_t recordRows;  // rows per record; the data ends at a record whose first row is empty
  int32_t columns;     // columns 0 .. columns - 1 are looked at
  // The column whose empty cell on a record's first row ends the reader (-1:
  // the row must be empty in every column looked at); content elsewhere in
  // such a row is not saved either.
  int32_t stopColumn = -1;
};

// How far below the gap the check looks for forgotten rows.
constexpr int32_t RowGapLookahead = 4096;

// Scans the sheet from its first data row: below the first record whose
// first row is empty in the stop column (or in every column), any content in
// the following RowGapLookahead rows adds one error at its first row ("row 14
// and below would not be saved: remove the empty row 10", rows as the
// spreadsheet shows them); content in that first row itself adds "row 10 and
// below would not be saved: cell A10 is empty" (the stop column's cell).  A
// sheet that cannot be selected is left to the other steps.
// REQUIRES: recordRows >= 1, columns >= 1, -1 <= stopColumn < columns, firstRow >= 0.
// 1, or -1 when a block of the sheet could not be read (ErrorText set).
int32_t CheckRowGap(const RowGapSheet& layout, IssueList& errors);

// The check over every sheet whose reader ends at an empty record row (time
// variations, substance groups, emission factors, the resource settings);
// 1 or -1.
int32_t CheckAllRowGaps(IssueList& errors);
