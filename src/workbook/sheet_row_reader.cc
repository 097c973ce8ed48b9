// CSheetRowReader: row-by-row reading in 30-row blocks (see
// sheet_row_reader.h).
#include "workbook/sheet_row_reader.h"

#include <cstring>

#include "host/frame.h"
#include "workbook/cell_text.h"

CSheetRowReader::CSheetRowReader(int32_t firstRow, int32_t firstColumn, int32_t columns,
                                 int32_t maxText, const wchar_t* sheet)
    : m_firstRow(firstRow),
      m_firstColumn(firstColumn),
      m_columns(columns),
      m_maxText(maxText),
      m_sheet(sheet) {
  std::memset(&m_block, 0, sizeof m_block);
  std::memset(&m_ref, 0, sizeof m_ref);
  std::memset(&m_mref, 0, sizeof m_mref);
}

CSheetRowReader::~CSheetRowReader() { ReleaseBlock(); }

int32_t CSheetRowReader::Init() {
  int code = m_sheet.Select(&m_ref);
  if (code != xlretSuccess) {
    if (m_sheet.Length() > 0) {
      SetErrorText("Couldn't set sheet %s", m_sheet.Narrowed().c_str());
      return 0;
    }
    SetErrorText("Couldn't set active sheet.");
    return -1;
  }
  IDSHEET id = m_ref.val.mref.idSheet;
  std::memset(&m_ref, 0, sizeof m_ref);
  m_mref.count = 1;
  m_mref.reftbl[0].colFirst = m_firstColumn;
  m_mref.reftbl[0].colLast = m_firstColumn + m_columns - 1;
  m_ref.xltype = xltypeRef;
  m_ref.val.mref.idSheet = id;
  m_ref.val.mref.lpmref = &m_mref;
  return 1;
}

void CSheetRowReader::ReleaseBlock() {
  if (!m_haveBlock) return;
  Excel12(xlFree, nullptr, 1, &m_block);
  m_haveBlock = false;
  std::memset(&m_block, 0, sizeof m_block);
}

int32_t CSheetRowReader::FetchBlock() {
  ReleaseBlock();
  // Rows block start .. block start + 30, cut at the grid's last row; a block
  // that starts below the grid holds nothing.
  int64_t start = int64_t{m_firstRow} + int64_t{kBlockRows} * m_blocksFetched;
  if (start <= kXlRows - 1) {
    int64_t last = start + kBlockRows;
    if (last > kXlRows - 1) last = kXlRows - 1;
    m_mref.reftbl[0].rwFirst = static_cast<RW>(start);
    m_mref.reftbl[0].rwLast = static_cast<RW>(last);
    int code = Excel12(xlCoerce, &m_block, 1, &m_ref);
    if (code != xlretSuccess) {
      std::memset(&m_block, 0, sizeof m_block);
      SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", code, m_sheet.Narrowed().c_str());
      return -1;
    }
    m_haveBlock = true;
  }
  ++m_blocksFetched;
  return 1;
}

const XLOPER12& CSheetRowReader::Element(int32_t r, int32_t j) const {
  if (!m_haveBlock || r < 0 || j < 0) return NilCellValue();
  if (XlType(m_block.xltype) != xltypeMulti) return (r == 0 && j == 0) ? m_block : NilCellValue();
  const XLOPER12* values = m_block.val.array.lparray;
  if (!values || r >= m_block.val.array.rows || j >= m_block.val.array.columns) return NilCellValue();
  return values[static_cast<size_t>(r) * static_cast<size_t>(m_block.val.array.columns) +
                static_cast<size_t>(j)];
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
  ++m_rowsConsumed;
  for (int32_t j = 0; j < m_columns; ++j) {
    wchar_t* text = texts ? texts[j] : nullptr;
    if (!text) continue;
    if (!CellValueText(Element(r, j), text, m_maxText)) {
      SetErrorText("Unknown type of cell, row: %d.", static_cast<int>(m_rowsConsumed));
      return -1;
    }
  }
  return 1;
}
