// SheetName: the counted sheet name and the sheet's selection (see
// sheet_name.h).
#include "workbook/sheet_name.h"

#include <cstring>

#include "transport/latin1.h"

void SheetName::Set(const wchar_t* name) {
  int32_t n = 0;
  if (name) {
    while (n < kMaxChars && name[n]) {
      m_text[n + 1] = name[n];
      ++n;
    }
  }
  m_text[0] = static_cast<XCHAR>(n);
  m_text[n + 1] = 0;
}

std::string SheetName::Narrowed() const { return Narrow(Chars()); }

int SheetName::Select(XLOPER12* ref) const {
  std::memset(ref, 0, sizeof *ref);
  if (Length() == 0) return Excel12(xlSheetId, ref, 0);
  XLOPER12 name;
  std::memset(&name, 0, sizeof name);
  name.xltype = xltypeStr;
  name.val.str = const_cast<XCHAR*>(m_text);
  return Excel12(xlSheetId, ref, 1, &name);
}
