// SheetRef: a selected sheet and one area on it (see sheet_ref.h).
#include "workbook/sheet_ref.h"

#include <cstring>

#include "host/frame.h"

SheetRef::SheetRef() {
  std::memset(&m_ref, 0, sizeof m_ref);
  std::memset(&m_mref, 0, sizeof m_mref);
}

int32_t SheetRef::Select(const SheetName& sheet, bool fullStop) {
  int code = sheet.Select(&m_ref);
  if (code != xlretSuccess) {
    if (sheet.Length() > 0) {
      SetErrorText(fullStop ? "Couldn't set sheet %s." : "Couldn't set sheet %s", sheet.Narrowed().c_str());
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
