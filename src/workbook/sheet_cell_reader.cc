// CSheetCellReader: single-cell reading (see sheet_cell_reader.h).
#include "workbook/sheet_cell_reader.h"

#include <cstring>

#include "host/frame.h"
#include "workbook/cell_text.h"

CSheetCellReader::CSheetCellReader(int32_t maxText, const wchar_t* sheet)
    : m_maxText(maxText), m_sheet(sheet) {
  std::memset(&m_result, 0, sizeof m_result);
  std::memset(&m_ref, 0, sizeof m_ref);
  std::memset(&m_mref, 0, sizeof m_mref);
}

CSheetCellReader::~CSheetCellReader() { ReleaseResult(); }

int32_t CSheetCellReader::Init() {
  int code = m_sheet.Select(&m_ref);
  if (code != xlretSuccess) {
    if (m_sheet.Length() > 0) {
      SetErrorText("Couldn't set sheet %s.", m_sheet.Narrowed().c_str());
      return 0;
    }
    SetErrorText("Couldn't set active sheet.");
    return -1;
  }
  IDSHEET id = m_ref.val.mref.idSheet;
  std::memset(&m_ref, 0, sizeof m_ref);
  m_mref.count = 1;
  m_ref.xltype = xltypeRef;
  m_ref.val.mref.idSheet = id;
  m_ref.val.mref.lpmref = &m_mref;
  return 1;
}

void CSheetCellReader::ReleaseResult() {
  if (!m_haveResult) return;
  Excel12(xlFree, nullptr, 1, &m_result);
  m_haveResult = false;
  std::memset(&m_result, 0, sizeof m_result);
}

int32_t CSheetCellReader::ReadCell(int32_t row, int32_t column, wchar_t* text) {
  ReleaseResult();
  m_mref.reftbl[0].rwFirst = row;
  m_mref.reftbl[0].rwLast = row;
  m_mref.reftbl[0].colFirst = column;
  m_mref.reftbl[0].colLast = column;
  int code = Excel12(xlCoerce, &m_result, 1, &m_ref);
  if (code != xlretSuccess) {
    std::memset(&m_result, 0, sizeof m_result);
    SetErrorText("Couldn't read cell: (%d, %d). Error %d, sheet %s.", static_cast<int>(row),
                 static_cast<int>(column), code, m_sheet.Narrowed().c_str());
    return -1;
  }
  m_haveResult = true;
  // One cell arrives as a single value; a host that answers with a 1-by-1
  // multi is read through its only element.
  const XLOPER12* value = &m_result;
  if (XlType(m_result.xltype) == xltypeMulti) {
    bool one = m_result.val.array.lparray && m_result.val.array.rows >= 1 &&
               m_result.val.array.columns >= 1;
    value = one ? &m_result.val.array.lparray[0] : &NilCellValue();
  }
  if (!CellValueText(*value, text, m_maxText)) {
    SetErrorText("Unknown data type at cell: (%d, %d), sheet %s.", static_cast<int>(row),
                 static_cast<int>(column), m_sheet.Narrowed().c_str());
    return -1;
  }
  return 1;
}
