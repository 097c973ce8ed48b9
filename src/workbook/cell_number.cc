// Strict cell numbers (see cell_number.h).
#include "workbook/cell_number.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cwchar>

#include "records/float_text.h"
#include "workbook/number_text.h"

namespace {

bool OnlySpaceLeft(const wchar_t* end) { return *SkipWhiteSpace(end) == 0; }

}  // namespace

bool CellWhole(const wchar_t* text, int64_t low, int64_t high, int64_t* value) {
  if (!text) return false;
  const wchar_t* start = SkipWhiteSpace(text);
  if (*start == 0) return false;
  wchar_t* end = nullptr;
  errno = 0;
  long long v = wcstoll(start, &end, 10);
  if (end == start || errno == ERANGE || !OnlySpaceLeft(end) || v < low || v > high) return false;
  *value = v;
  return true;
}

bool CellReal(const wchar_t* text, float* value) {
  if (!text) return false;
  const wchar_t* start = SkipWhiteSpace(text);
  if (*start == 0) return false;
  wchar_t* end = nullptr;
  double v = wcstod(start, &end);
  if (end == start || !OnlySpaceLeft(end) || !FitsFloat(v)) return false;
  *value = static_cast<float>(v);
  return true;
}
