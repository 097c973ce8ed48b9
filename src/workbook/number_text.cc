// Whole numbers from cell texts with 32-bit strtol / strtoul semantics (see
// number_text.h).
#include "workbook/number_text.h"

#include <cwctype>

namespace {

// Sign and magnitude of the number at text; the magnitude saturates above
// 2^32.  Returns the end, or text when there are no digits.
const wchar_t* ScanMagnitude(const wchar_t* text, bool* negative, uint64_t* magnitude) {
  *negative = false;
  *magnitude = 0;
  if (!text) return text;
  const wchar_t* p = SkipWhiteSpace(text);
  if (*p == L'+' || *p == L'-') {
    *negative = *p == L'-';
    ++p;
  }
  if (*p < L'0' || *p > L'9') {
    *negative = false;
    return text;
  }
  constexpr uint64_t kCap = (uint64_t{1} << 32) + 1;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    if (*magnitude < kCap) *magnitude = *magnitude * 10 + static_cast<uint64_t>(*p - L'0');
    if (*magnitude > kCap) *magnitude = kCap;
  }
  return p;
}

}  // namespace

const wchar_t* SkipWhiteSpace(const wchar_t* text) {
  if (!text) return text;
  while (*text && std::iswspace(static_cast<wint_t>(*text))) ++text;
  return text;
}

const wchar_t* ScanInt32(const wchar_t* text, int32_t* value) {
  bool negative;
  uint64_t magnitude;
  const wchar_t* end = ScanMagnitude(text, &negative, &magnitude);
  int64_t v;
  if (negative) {
    v = magnitude > uint64_t{INT32_MAX} + 1 ? int64_t{INT32_MIN} : -static_cast<int64_t>(magnitude);
  } else {
    v = magnitude > uint64_t{INT32_MAX} ? int64_t{INT32_MAX} : static_cast<int64_t>(magnitude);
  }
  if (value) *value = static_cast<int32_t>(v);
  return end;
}

const wchar_t* ScanUInt32(const wchar_t* text, uint32_t* value) {
  bool negative;
  uint64_t magnitude;
  const wchar_t* end = ScanMagnitude(text, &negative, &magnitude);
  uint32_t v;
  if (magnitude > UINT32_MAX) {
    v = UINT32_MAX;
  } else {
    v = static_cast<uint32_t>(magnitude);
    if (negative) v = 0u - v;
  }
  if (value) *value = v;
  return end;
}
