// The check for rows after a gap (see row_gap_check.h).
#include "workbook/row_gap_check.h"

#include <vector>

#include "host/frame.h"
#include "port/xlcall.h"
#include "records/subgrp.h"
#include "workbook/sheet_row_reader.h"

namespace {

// Enough to tell an empty cell from a filled one.
constexpr int32_t kProbeText = 2;

// One row read; 1 with *filled set, or -1.
int32_t ReadFilled(CSheetRowReader& reader, std::vector<wchar_t*>& texts, bool* filled) {
  if (reader.ReadRow(texts.data()) != 1) return -1;
  *filled = false;
  for (wchar_t* text : texts) {
    if (text[0] != 0) *filled = true;
  }
  return 1;
}

// The sheets, in the verification's order; sheets of further kinds slot in
// as rows.
const RowGapSheet kSheets[] = {
    {L"Source timevar", 1, 4, 48},
    {L"Road timevar", 1, 4, 98},
    {L"Emission factor", 1, 1, 2 + 3 * (SubgrpSlots - 1)},
    {L"Emission function", 1, 1, 4 + 2 * 96},
    {L"Rsrc", 1, 1, 2},
};

}  // namespace

int32_t CheckRowGap(const RowGapSheet& layout, IssueList& errors) {
  CSheetRowReader reader(layout.firstRow, 0, layout.columns, kProbeText, layout.sheet);
  if (reader.Init() != 1) {
    ClearErrorText();  // a missing sheet is reported where it is needed
    return 1;
  }
  std::vector<wchar_t> cells(static_cast<size_t>(layout.columns) * kProbeText);
  std::vector<wchar_t*> texts(static_cast<size_t>(layout.columns));
  for (size_t j = 0; j < texts.size(); ++j) texts[j] = &cells[j * kProbeText];

  // The first record whose first row is empty: the readers stop there.
  int64_t gap = layout.firstRow;
  for (;;) {
    if (gap >= kXlRows) return 1;  // the data fills the grid
    bool filled = false;
    if (ReadFilled(reader, texts, &filled) != 1) return -1;
    if (!filled) break;
    if (reader.SkipRows(layout.recordRows - 1) != 1) return -1;
    gap += layout.recordRows;
  }
  for (int64_t below = gap + 1; below <= gap + RowGapLookahead && below < kXlRows; ++below) {
    bool filled = false;
    if (ReadFilled(reader, texts, &filled) != 1) return -1;
    if (filled) {
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
