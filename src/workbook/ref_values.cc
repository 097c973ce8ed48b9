// Field values from reference-sheet cells (see ref_values.h).
#include "workbook/ref_values.h"

#include <cfloat>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "workbook/number_text.h"

bool CellIndex(const wchar_t* text, int32_t max, int32_t* index) {
  int32_t value = 0;
  const wchar_t* start = text ? text : L"";
  if (ScanInt32(start, &value) == start || value < 1 || value > max) {
    *index = 0;
    return false;
  }
  *index = value;
  return true;
}

int16_t CellShort(const wchar_t* text) {
  int32_t value = 0;
  ScanInt32(text ? text : L"", &value);
  if (value > INT16_MAX) return INT16_MAX;
  if (value < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(value);
}

float CellFloat(const wchar_t* text) {
  if (!text) return 0;
  double value = std::wcstod(text, nullptr);
  if (std::isnan(value)) return 0;
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(value);
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

bool CopyFieldWithoutSpace(wchar_t* field, size_t size, const wchar_t* text) {
  if (size == 0) return false;
  field[0] = 0;
  if (!text) return true;
  size_t n = 0;
  for (; *text; ++text) {
    if (std::iswspace(static_cast<wint_t>(*text))) continue;
    if (n + 1 >= size) {
      field[0] = 0;
      return false;
    }
    field[n++] = *text;
  }
  field[n] = 0;
  return true;
}
