// Field values from reference-sheet cells (see ref_values.h).
#include "workbook/ref_values.h"

#include <cwchar>

#include "workbook/cell_number.h"

bool CellIndex(const wchar_t* text, int32_t max, int32_t* index) {
  int64_t value = 0;
  *index = 0;
  if (!CellWhole(text, 1, max, &value)) return false;
  *index = static_cast<int32_t>(value);
  return true;
}

bool CopyField(wchar_t* field, size_t size, const wchar_t* text) {
  if (size == 0) return false;
  field[0] = 0;
  if (!text) return true;
  size_t n = wcslen(text);
  if (n > size - 1) return false;
  wmemcpy(field, text, n + 1);
  return true;
}
