// CSheetCellWriter: single-cell writing (see sheet_cell_writer.h).
#include "workbook/sheet_cell_writer.h"

#include <cstdlib>
#include <cstring>

#include "host/frame.h"
#include "workbook/cell_text.h"

CSheetCellWriter::CSheetCellWriter(int32_t maxSize, const wchar_t* sheet)
    : m_maxSize(maxSize < 0 ? 0 : maxSize), m_sheet(sheet) {
  std::memset(&m_cell, 0, sizeof m_cell);
  std::memset(&m_value, 0, sizeof m_value);
  if (DebugLevel > 0) {
    std::string name = m_sheet.Narrowed();
    DebugPrint(" Sheetname (char) =  %s\n", name.c_str());
    DebugPrint(" Sheetname (wchar) %s.\n", name.c_str());
  }
}

CSheetCellWriter::~CSheetCellWriter() { std::free(m_text); }

int32_t CSheetCellWriter::Init() {
  m_text = static_cast<XCHAR*>(std::calloc(static_cast<size_t>(m_maxSize) + 1, sizeof(XCHAR)));
  if (!m_text) return -1;
  if (m_ref.Select(m_sheet, true) != 1) return -1;
  m_cell.xltype = xltypeStr;
  m_cell.val.str = m_text;
  m_value.xltype = xltypeMulti;
  m_value.val.array.lparray = &m_cell;
  m_value.val.array.rows = 1;
  m_value.val.array.columns = 1;
  return 1;
}

int32_t CSheetCellWriter::WriteCell(int32_t row, int32_t column, const wchar_t* text) {
  if (!m_text) {
    SetErrorText("Could not write cell: (%d %d).", static_cast<int>(row), static_cast<int>(column));
    return -1;
  }
  SetCountedText(m_text, m_maxSize, text);
  m_ref.SetCell(row, column);
  int code = Excel12(xlSet, nullptr, 2, m_ref.Value(), &m_value);
  if (code != xlretSuccess) {
    SetErrorText("Could not write cell: (%d %d).", static_cast<int>(row), static_cast<int>(column));
    return -1;
  }
  return 1;
}
