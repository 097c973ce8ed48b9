// CSheetRowWriter: row-by-row writing (see sheet_row_writer.h).
#include "workbook/sheet_row_writer.h"

#include <cstdlib>
#include <cstring>

#include "host/frame.h"
#include "workbook/cell_text.h"

CSheetRowWriter::CSheetRowWriter(int32_t currentRow, int32_t firstColumn, int32_t columns,
                                 int32_t maxSize, const wchar_t* sheet)
    : m_currentRow(currentRow),
      m_firstColumn(firstColumn),
      m_columns(columns),
      m_maxSize(maxSize < 0 ? 0 : maxSize),
      m_sheet(sheet) {
  std::memset(&m_row, 0, sizeof m_row);
  if (DebugLevel > 0) {
    std::string name = m_sheet.Narrowed();
    DebugPrint(" Sheetname (wchar_t) =  %s\n", name.c_str());
    DebugPrint(" Sheetname (wchar) %s.\n", name.c_str());
  }
}

CSheetRowWriter::~CSheetRowWriter() {
  if (m_buf) {
    for (int32_t j = 0; j < m_columns; ++j) std::free(m_buf[j]);
    std::free(m_buf);
  }
  std::free(m_pData);
}

int32_t CSheetRowWriter::Init() {
  if (m_columns > 0) {
    m_pData = static_cast<XLOPER12*>(std::calloc(static_cast<size_t>(m_columns), sizeof(XLOPER12)));
  }
  if (!m_pData) {
    SetErrorText("Could not allocate m_pData memory. %d columns", static_cast<int>(m_columns));
    return -1;
  }
  m_buf = static_cast<XCHAR**>(std::calloc(static_cast<size_t>(m_columns), sizeof(XCHAR*)));
  if (!m_buf) {
    SetErrorText("Could not allocate m_buf memory. %d columns", static_cast<int>(m_columns));
    return -1;
  }
  for (int32_t j = 0; j < m_columns; ++j) {
    m_buf[j] = static_cast<XCHAR*>(std::calloc(static_cast<size_t>(m_maxSize) + 2, sizeof(XCHAR)));
    if (!m_buf[j]) {
      SetErrorText("Could not allocte m_nrcols memory. %d maxsize", static_cast<int>(m_maxSize));
      return -1;
    }
  }

  if (m_ref.Select(m_sheet, true) != 1) return -1;
  m_ref.SetColumns(m_firstColumn, m_firstColumn + m_columns - 1);
  m_row.xltype = xltypeMulti;
  m_row.val.array.lparray = m_pData;
  m_row.val.array.rows = 1;
  m_row.val.array.columns = m_columns;
  m_ready = true;
  return 1;
}

int32_t CSheetRowWriter::SkipRows(int32_t n) {
  int64_t row = int64_t{m_currentRow} + n;
  m_currentRow = row > INT32_MAX ? INT32_MAX : row < INT32_MIN ? INT32_MIN : static_cast<int32_t>(row);
  return 1;
}

int32_t CSheetRowWriter::WriteRow(const wchar_t* const* texts) {
  if (!m_ready) {
    SetErrorText("Couldn't write row: %d.", static_cast<int>(m_currentRow) + 1);
    return -1;
  }
  for (int32_t j = 0; j < m_columns; ++j) {
    const wchar_t* text = texts ? texts[j] : nullptr;
    XLOPER12& cell = m_pData[j];
    std::memset(&cell, 0, sizeof cell);
    if (IsNumberCellText(text)) {
      cell.xltype = xltypeNum;
      cell.val.num = NumberCellValue(text);
    } else {
      SetCountedText(m_buf[j], m_maxSize, text);
      cell.xltype = xltypeStr;
      cell.val.str = m_buf[j];
    }
  }
  return SendRow();
}

void CSheetRowWriter::PutField(int32_t column, const wchar_t* field, size_t fieldSize) {
  XCHAR* counted = m_buf[column];
  size_t most = static_cast<size_t>(m_maxSize < kXlMaxText ? m_maxSize : kXlMaxText);
  size_t n = 0;
  while (n + 1 < fieldSize && n < most && field[n]) {
    counted[n + 1] = field[n];
    ++n;
  }
  counted[0] = static_cast<XCHAR>(n);
  XLOPER12& cell = m_pData[column];
  cell.xltype = xltypeStr;
  cell.val.str = counted;
}

void CSheetRowWriter::PutLatin1(int32_t column, const char* text, size_t length) {
  XCHAR* counted = m_buf[column];
  size_t most = static_cast<size_t>(m_maxSize < kXlMaxText ? m_maxSize : kXlMaxText);
  size_t n = length < most ? length : most;
  for (size_t i = 0; i < n; ++i) counted[i + 1] = static_cast<XCHAR>(static_cast<unsigned char>(text[i]));
  counted[0] = static_cast<XCHAR>(n);
  XLOPER12& cell = m_pData[column];
  cell.xltype = xltypeStr;
  cell.val.str = counted;
}

int32_t CSheetRowWriter::WriteFilled() {
  if (!m_ready) {
    SetErrorText("Couldn't write row: %d.", static_cast<int>(m_currentRow) + 1);
    return -1;
  }
  return SendRow();
}

int32_t CSheetRowWriter::SendRow() {
  m_ref.SetRows(m_currentRow, m_currentRow);
  if (m_currentRow < INT32_MAX) ++m_currentRow;
  int code = Excel12(xlSet, nullptr, 2, m_ref.Value(), &m_row);
  if (code != xlretSuccess) {
    SetErrorText("Couldn't write row: %d.", static_cast<int>(m_currentRow));
    return -1;
  }
  return 1;
}

int32_t CSheetRowWriter::WriteRowPart(const wchar_t* const* texts, int32_t columns) {
  if (!m_ready || columns >= m_columns) return WriteRow(texts);
  if (columns < 1) columns = 1;
  int32_t all = m_columns;
  m_columns = columns;
  m_ref.SetColumns(m_firstColumn, m_firstColumn + columns - 1);
  m_row.val.array.columns = columns;
  int32_t r = WriteRow(texts);
  m_columns = all;
  m_ref.SetColumns(m_firstColumn, m_firstColumn + all - 1);
  m_row.val.array.columns = all;
  return r;
}
