// CSheetCellReader: single-cell reading (see sheet_cell_reader.h).
#include "workbook/sheet_cell_reader.h"

#include "host/frame.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"

CSheetCellReader::CSheetCellReader(int32_t maxText, const wchar_t* sheet) : m_maxText(maxText), m_sheet(sheet) {}

int32_t CSheetCellReader::Init() { return m_ref.Select(m_sheet, true); }

int32_t CSheetCellReader::ReadCell(int32_t row, int32_t column, wchar_t* text) {
  m_ref.SetCell(row, column);
  int code = m_result.Coerce(m_ref);
  if (code != xlretSuccess) {
    SetErrorText("Couldn't read cell: (%d, %d). Error %d, sheet %s.", static_cast<int>(row),
                 static_cast<int>(column), code, m_sheet.Narrowed().c_str());
    return -1;
  }
  // One cell arrives as a single value; a host that answers with a 1-by-1
  // multi is read through its only element.
  const XLOPER12& result = m_result.Value();
  const XLOPER12* value = &result;
  if (XlType(result.xltype) == xltypeMulti) {
    bool one = result.val.array.lparray && result.val.array.rows >= 1 && result.val.array.columns >= 1;
    value = one ? &result.val.array.lparray[0] : &NilCellValue();
  }
  if (!CellValueText(*value, text, m_maxText)) {
    if (m_pUnreadable) {
      m_pUnreadable->Add(m_sheet.Chars(), row, column, L"%ls", kUnreadableCell);
      return 1;
    }
    CellErrorText(m_sheet.Chars(), row, column, L"%ls", kUnreadableCell);
    return 0;
  }
  return 1;
}
