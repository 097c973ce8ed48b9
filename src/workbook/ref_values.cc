// Field values from reference-sheet cells (see ref_values.h).
#include "workbook/ref_values.h"

#include <cfloat>
#include <cmath>
#include <cwchar>

#include "workbook/number_text.h"

namespace {

// The whole number making up text (sign, decimal digits); false when there
// is none or something follows it.  Magnitudes beyond 2^40 stay at 2^40, out
// of every field's range.
bool WholeText(const wchar_t* text, int64_t* value) {
  const wchar_t* p = SkipWhiteSpace(text ? text : L"");
  bool negative = *p == L'-';
  if (*p == L'-' || *p == L'+') ++p;
  if (*p < L'0' || *p > L'9') return false;
  constexpr int64_t kCap = int64_t{1} << 40;
  int64_t v = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    v = v * 10 + (*p - L'0');
    if (v > kCap) v = kCap;
  }
  if (*SkipWhiteSpace(p) != 0) return false;
  *value = negative ? -v : v;
  return true;
}

bool IsBlank(const wchar_t* text) { return *SkipWhiteSpace(text ? text : L"") == 0; }

}  // namespace

bool CellIndex(const wchar_t* text, int32_t max, int32_t* index) {
  int64_t value = 0;
  *index = 0;
  if (!WholeText(text, &value) || value < 1 || value > max) return false;
  *index = static_cast<int32_t>(value);
  return true;
}

bool CellWhole(const wchar_t* text, int32_t min, int32_t max, int32_t* value) {
  *value = 0;
  if (IsBlank(text)) return min <= 0 && max >= 0;
  int64_t v = 0;
  if (!WholeText(text, &v) || v < min || v > max) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

bool CellReal(const wchar_t* text, float* value) {
  *value = 0;
  if (IsBlank(text)) return true;
  const wchar_t* start = SkipWhiteSpace(text);
  wchar_t* end = nullptr;
  double v = std::wcstod(start, &end);
  if (end == start || *SkipWhiteSpace(end) != 0 || !std::isfinite(v) || std::fabs(v) > FLT_MAX) return false;
  float f = static_cast<float>(v);
  if (f == 0 && v != 0) return false;
  *value = f;
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
