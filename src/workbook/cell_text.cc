// Cell values as texts and texts as cell values (see cell_text.h).
#include "workbook/cell_text.h"

#include <cstring>
#include <cwchar>

#include "records/float_text.h"
#include "workbook/number_text.h"

const XLOPER12& NilCellValue() {
  static const XLOPER12 nil = [] {
    XLOPER12 value;
    std::memset(&value, 0, sizeof value);
    value.xltype = xltypeNil;
    return value;
  }();
  return nil;
}

bool CellValueText(const XLOPER12& value, wchar_t* text, int32_t maxText) {
  if (!text || maxText < 1) return false;
  text[0] = 0;
  size_t size = static_cast<size_t>(maxText);
  switch (XlType(value.xltype)) {
    case xltypeNil:
      return true;
    case xltypeStr: {
      int32_t n = 0;
      if (value.val.str) {
        // The count is 16 bits wide on the host's side.
        uint32_t count = static_cast<uint32_t>(value.val.str[0]) & 0xFFFFu;
        n = count < size - 1 ? static_cast<int32_t>(count) : maxText - 1;
        wmemcpy(text, value.val.str + 1, static_cast<size_t>(n));
      }
      text[n] = 0;
      return true;
    }
    case xltypeNum:
    case xltypeInt: {
      // Printed in full first, then cut to the caller's buffer.
      wchar_t number[64] = {};
      if (XlType(value.xltype) == xltypeNum) {
        DoubleText(value.val.num, number, 64);
      } else {
        swprintf(number, 64, L"%d", value.val.w);
      }
      number[63] = 0;
      size_t n = wcslen(number);
      if (n > size - 1) n = size - 1;
      wmemcpy(text, number, n);
      text[n] = 0;
      return true;
    }
    default:
      return false;
  }
}

bool IsNumberCellText(const wchar_t* text) {
  if (!text || text[0] != NumberCellMark) return false;
  const wchar_t* p = text + 1;
  if (*p == L'-') ++p;
  const wchar_t* digits = p;
  while (*p >= L'0' && *p <= L'9') ++p;
  if (p == digits) return false;
  if (*p == L'.') {
    ++p;
    while (*p >= L'0' && *p <= L'9') ++p;
  }
  return *p == 0;
}

double NumberCellValue(const wchar_t* text) {
  if (!IsNumberCellText(text)) return 0;
  int32_t value = 0;
  ScanInt32(text + 1, &value);
  return value;
}

int32_t SetCountedText(XCHAR* counted, int32_t maxChars, const wchar_t* text) {
  if (maxChars > kXlMaxText) maxChars = kXlMaxText;
  int32_t n = 0;
  if (text) {
    while (n < maxChars && text[n]) {
      counted[n + 1] = text[n];
      ++n;
    }
  }
  counted[0] = static_cast<XCHAR>(n);
  return n;
}
