// The check for rows after a gap (see row_gap_check.h).  It only asks
// whether cells are empty, so it reads the sheet in blocks of rows straight
// from the host: any value (a number, a text, an error or logical value)
// counts as content.
#include "workbook/row_gap_check.h"

#include "host/frame.h"
#include "port/xlcall.h"
#include "records/subgrp.h"
#include "workbook/coerced_value.h"
#include "workbook/sheet_name.h"
#include "workbook/sheet_ref.h"
#include "workbook/source_sheet.h"
#include "workbook/vehicle_sheet.h"

namespace {

constexpr int32_t kBlockRows = 30;

// The sheets, in the verification's order; sheets of further kinds slot in
// as rows.  Most readers stop at an empty name (or tag) in column A, the
// roadtypes' at an empty vehicle in C, whatever the rest of the row holds.
const RowGapSheet kSheets[] = {
    {L"Source timevar", 1, 4, 48, 0},
    {L"Road timevar", 1, 4, 98, 0},
    {L"Emission factor", 1, 1, 2 + 3 * (SubgrpSlots - 1), 0},
    {L"Emission function", 1, 1, 4 + 2 * 96, 0},
    {L"Rsrc", 1, 1, 2, 0},
    // A vehicle's name in A on the first of its 11 rows, its substances from E.
    {L"Vehicle", 1, 11, 4 + VehicleSheetMaxColumns, 0},
    {L"Road Vehicle", 1, 1, 27},  // a name row or an emission line: columns 0 .. 14 + 12 dimensions
    {L"Roadtype", 1, 4, 3, 2},    // a roadtype's vehicle in C on the first of its 4 rows
    {L"Company", 1, 1, 9, 0},     // a company's name in A, its ALOB in I
    {L"Facility", 1, 1, 11, 0},   // a facility's name in A, its ALOB in K
    {L"Source", 1, 1, SourceFixedColumns, 0},  // a source's name in A
};

bool IsEmpty(const XLOPER12& value) {
  switch (XlType(value.xltype)) {
    case xltypeNil:
    case xltypeMissing:
      return true;
    case xltypeStr:
      return value.val.str == nullptr || value.val.str[0] == 0;
    default:
      return false;
  }
}

// Rows of a sheet in columns first .. last, read a block at a time, each
// told filled or empty.
class RowScanner {
 public:
  RowScanner(const wchar_t* sheet, int32_t first, int32_t last) : m_sheet(sheet), m_first(first), m_last(last) {}

  // 1; 0 when the sheet cannot be selected.
  int32_t Init() {
    if (m_ref.Select(m_sheet, false) != 1) return 0;
    m_ref.SetColumns(m_first, m_last);
    return 1;
  }
  // Whether the row holds anything in the columns: 1 filled, 0 empty, -1
  // when the block could not be read (ErrorText set).
  int32_t Filled(int64_t row) {
    if (!m_block.Held() || row < m_blockStart || row >= m_blockStart + kBlockRows) {
      m_blockStart = row;
      int64_t end = row + kBlockRows - 1;
      if (end > kXlRows - 1) end = kXlRows - 1;
      m_ref.SetRows(static_cast<RW>(row), static_cast<RW>(end));
      int code = m_block.Coerce(m_ref);
      if (code != xlretSuccess) {
        SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", code, m_sheet.Narrowed().c_str());
        return -1;
      }
    }
    const XLOPER12& block = m_block.Value();
    int64_t r = row - m_blockStart;
    if (XlType(block.xltype) != xltypeMulti) return (r == 0 && !IsEmpty(block)) ? 1 : 0;
    if (!block.val.array.lparray || r >= block.val.array.rows) return 0;
    const XLOPER12* values = block.val.array.lparray + r * block.val.array.columns;
    for (int32_t j = 0; j < block.val.array.columns; ++j) {
      if (!IsEmpty(values[j])) return 1;
    }
    return 0;
  }

 private:
  SheetName m_sheet;
  int32_t m_first, m_last;
  SheetRef m_ref;
  CoercedValue m_block;
  int64_t m_blockStart = 0;  // the first row of the block held
};

}  // namespace

int32_t CheckRowGap(const RowGapSheet& layout, IssueList& errors) {
  // The records are found through their stop cells alone; the whole width is
  // read only from the first record whose stop cells are empty.
  const int32_t last = layout.columns - 1;
  const bool oneColumn = layout.stopColumn >= 0;
  RowScanner stops(layout.sheet, oneColumn ? layout.stopColumn : 0, oneColumn ? layout.stopColumn : last);
  RowScanner rows(layout.sheet, 0, last);
  if (stops.Init() != 1 || rows.Init() != 1) {
    ClearErrorText();  // a missing sheet is reported where it is needed
    return 1;
  }
  // The readers stop at the first record whose stop cells are empty.
  int64_t gap = layout.firstRow;
  for (;;) {
    if (gap >= kXlRows) return 1;  // the data fills the grid
    int32_t filled = stops.Filled(gap);
    if (filled < 0) return -1;
    if (filled == 0) break;
    gap += layout.recordRows;
  }
  if (oneColumn) {
    int32_t filled = rows.Filled(gap);
    if (filled < 0) return -1;
    if (filled == 1) {
      wchar_t cell[kCellNameSize];
      CellName(static_cast<int32_t>(gap), layout.stopColumn, cell, kCellNameSize);
      errors.Add(layout.sheet, static_cast<int32_t>(gap), layout.stopColumn,
                 L"row %d and below would not be saved: cell %ls is empty", static_cast<int>(gap + 1), cell);
      return 1;
    }
  }
  for (int64_t below = gap + 1; below <= gap + RowGapLookahead && below < kXlRows; ++below) {
    int32_t filled = rows.Filled(below);
    if (filled < 0) return -1;
    if (filled == 1) {
      errors.Add(layout.sheet, static_cast<int32_t>(below), 0,
                 L"row %d and below would not be saved: remove the empty row %d", static_cast<int>(below + 1),
                 static_cast<int>(gap + 1));
      return 1;
    }
  }
  return 1;
}

int32_t CheckAllRowGaps(IssueList& errors) {
  for (const RowGapSheet& sheet : kSheets) {
    if (errors.IsFull()) break;
    if (CheckRowGap(sheet, errors) != 1) return -1;
  }
  return 1;
}
