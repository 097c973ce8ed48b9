// CSheetRowReader: row-by-row reading in 30-row blocks (see
// sheet_row_reader.h).
#include "workbook/sheet_row_reader.h"

#include "host/frame.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"

CSheetRowReader::CSheetRowReader(int32_t firstRow, int32_t firstColumn, int32_t columns,
                                 int32_t maxText, const wchar_t* sheet)
    : m_firstRow(firstRow),
      m_firstColumn(firstColumn),
      m_columns(columns),
      m_maxText(maxText),
      m_sheet(sheet) {}

int32_t CSheetRowReader::Init() {
  int32_t r = m_ref.Select(m_sheet, false);
  if (r == 1) m_ref.SetColumns(m_firstColumn, m_firstColumn + m_columns - 1);
  return r;
}

int32_t CSheetRowReader::FetchBlock() {
  m_block.Release();
  // Rows block start .. block start + 30, cut at the grid's last row; a block
  // that starts below the grid holds nothing.
  int64_t start = int64_t{m_firstRow} + int64_t{kBlockRows} * m_blocksFetched;
  if (start <= kXlRows - 1) {
    int64_t last = start + kBlockRows;
    if (last > kXlRows - 1) last = kXlRows - 1;
    m_ref.SetRows(static_cast<RW>(start), static_cast<RW>(last));
    int code = m_block.Coerce(m_ref);
    if (code != xlretSuccess) {
      SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", code, m_sheet.Narrowed().c_str());
      return -1;
    }
  }
  ++m_blocksFetched;
  return 1;
}

const XLOPER12& CSheetRowReader::Element(int32_t r, int32_t j) const {
  if (!m_block.Held() || r < 0 || j < 0) return NilCellValue();
  const XLOPER12& block = m_block.Value();
  if (XlType(block.xltype) != xltypeMulti) return (r == 0 && j == 0) ? block : NilCellValue();
  const XLOPER12* values = block.val.array.lparray;
  if (!values || r >= block.val.array.rows || j >= block.val.array.columns) return NilCellValue();
  return values[static_cast<size_t>(r) * static_cast<size_t>(block.val.array.columns) + static_cast<size_t>(j)];
}

int32_t CSheetRowReader::SkipRows(int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    if (m_rowsConsumed % kBlockRows == 0 && FetchBlock() != 1) return -1;
    ++m_rowsConsumed;
  }
  return 1;
}

int32_t CSheetRowReader::ReadRow(wchar_t* const* texts) {
  int32_t r = m_rowsConsumed % kBlockRows;
  if (r == 0 && FetchBlock() != 1) return -1;
  int32_t sheetRow = m_firstRow + m_rowsConsumed;
  ++m_rowsConsumed;
  m_unreadable.clear();
  for (int32_t j = 0; j < m_columns; ++j) {
    wchar_t* text = texts ? texts[j] : nullptr;
    if (!text) continue;
    if (!CellValueText(Element(r, j), text, m_maxText)) {
      if (m_unreadable.empty()) CellErrorText(m_sheet.Chars(), sheetRow, m_firstColumn + j, L"%ls", kUnreadableCell);
      m_unreadable.push_back(j);
    }
  }
  return m_unreadable.empty() ? 1 : 0;
}
