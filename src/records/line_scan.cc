// A quick reader of record lines (see line_scan.h).
#include "records/line_scan.h"

#include <charconv>
#include <cstdint>

namespace {

// The blanks every C library agrees on.
bool PlainBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Characters whose blankness differs between C libraries (the information
// separators, NEL, the no-break space and everything beyond ASCII): a scan
// that meets one where a blank may stand leaves the line to the C library.
bool DoubtfulBlank(wchar_t c) { return (c < 0x20 && !PlainBlank(c)) || c >= 0x80; }

bool Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool AsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

}  // namespace

bool LineScan::PlainKeyword(const wchar_t* keyword) {
  for (const wchar_t* k = keyword; *k; ++k) {
    if (*k == L'%' || PlainBlank(*k) || DoubtfulBlank(*k)) return false;
  }
  return true;
}

bool LineScan::Keyword(const wchar_t* keyword) {
  const wchar_t* p = p_;
  for (const wchar_t* k = keyword; *k; ++k, ++p) {
    if (*p != *k) return false;
  }
  p_ = p;
  return true;
}

bool LineScan::Blanks() {
  while (PlainBlank(*p_)) ++p_;
  return !DoubtfulBlank(*p_);
}

bool LineScan::Literal(wchar_t c) {
  if (*p_ != c) return false;
  ++p_;
  return true;
}

bool LineScan::Integer(long long* out) {
  if (!Blanks()) return false;
  const wchar_t* p = p_;
  bool negative = *p == L'-';
  if (*p == L'-' || *p == L'+') ++p;
  long long value = 0;
  int digits = 0;
  for (; Digit(*p); ++p, ++digits) {
    if (digits == 18) return false;  // may overflow: the C library's saturation decides
    value = value * 10 + (*p - L'0');
  }
  if (digits == 0) return false;
  *out = negative ? -value : value;
  p_ = p;
  return true;
}

bool LineScan::Int32(int* out) {
  const wchar_t* start = p_;
  long long value = 0;
  if (!Integer(&value)) return false;
  if (value < INT32_MIN || value > INT32_MAX) {
    p_ = start;
    return false;
  }
  *out = static_cast<int>(value);
  return true;
}

bool LineScan::Unsigned(unsigned* out) {
  if (!Blanks()) return false;
  const wchar_t* p = p_;
  unsigned value = 0;
  int digits = 0;
  for (; Digit(*p); ++p, ++digits) {
    if (digits == 9) return false;
    value = value * 10 + static_cast<unsigned>(*p - L'0');
  }
  if (digits == 0) return false;
  *out = value;
  p_ = p;
  return true;
}

bool LineScan::Decimal(double* out) {
  char text[64];
  size_t n = 0;
  const wchar_t* p = nullptr;
  if (!DecimalText(text, &n, &p)) return false;
  double value = 0;
  std::from_chars_result r = std::from_chars(text, text + n, value);
  // Out of range (beyond or below what a double holds) or not taken whole:
  // the C library decides.
  if (r.ec != std::errc() || r.ptr != text + n) return false;
  *out = value;
  p_ = p;
  return true;
}

bool LineScan::Float(float* out) {
  char text[64];
  size_t n = 0;
  const wchar_t* p = nullptr;
  if (!DecimalText(text, &n, &p)) return false;
  float value = 0;
  std::from_chars_result r = std::from_chars(text, text + n, value);
  if (r.ec != std::errc() || r.ptr != text + n) return false;
  *out = value;
  p_ = p;
  return true;
}

bool LineScan::AtEnd() {
  while (PlainBlank(*p_)) ++p_;
  return *p_ == 0;
}

bool LineScan::DecimalText(char* text, size_t* length, const wchar_t** after) {
  if (!Blanks()) return false;
  // sign, digits, an optional point and digits, an optional exponent with
  // digits; then a blank or the end.  Copied narrow, without a '+'.
  size_t n = 0;
  const wchar_t* p = p_;
  auto take = [&](wchar_t c) {
    if (n + 1 >= kDecimalText) return false;
    text[n++] = static_cast<char>(c);
    return true;
  };
  if (*p == L'-' && !take(*p++)) return false;
  if (*p == L'+') ++p;
  int mantissa = 0;
  for (; Digit(*p); ++p, ++mantissa) {
    if (!take(*p)) return false;
  }
  if (*p == L'.') {
    if (!take(*p++)) return false;
    for (; Digit(*p); ++p, ++mantissa) {
      if (!take(*p)) return false;
    }
  }
  if (mantissa == 0) return false;
  if (*p == L'e' || *p == L'E') {
    if (!take(*p++)) return false;
    if (*p == L'-' || *p == L'+') {
      if (!take(*p++)) return false;
    }
    int exponent = 0;
    for (; Digit(*p); ++p, ++exponent) {
      if (!take(*p)) return false;
    }
    if (exponent == 0) return false;
  }
  if (*p && !PlainBlank(*p)) return false;
  *length = n;
  *after = p;
  return true;
}

bool LineScan::Word(const wchar_t** begin, const wchar_t** end) {
  if (!Blanks()) return false;
  const wchar_t* p = p_;
  while (*p && !PlainBlank(*p)) {
    if (DoubtfulBlank(*p)) return false;
    ++p;
  }
  if (p == p_) return false;
  *begin = p_;
  *end = p_ = p;
  return true;
}

bool LineScan::UpToQuote(const wchar_t** begin, const wchar_t** end) {
  const wchar_t* p = p_;
  while (*p && *p != L'"') ++p;
  if (p == p_) return false;
  *begin = p_;
  *end = p_ = p;
  return true;
}

bool LineScan::UpToLetter(const wchar_t** begin, const wchar_t** end) {
  const wchar_t* p = p_;
  while (*p && !AsciiLetter(*p)) ++p;
  if (p == p_) return false;
  *begin = p_;
  *end = p_ = p;
  return true;
}

void CopyRange(wchar_t* out, size_t size, const wchar_t* begin, const wchar_t* end) {
  size_t n = static_cast<size_t>(end - begin);
  if (n > size - 1) n = size - 1;
  for (size_t i = 0; i < n; ++i) out[i] = begin[i];
  out[n] = L'\0';
}
