// Round-tripping real-number texts (see float_text.h).
#include "records/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>

namespace {

template <class T>
void ShortestText(T value, int fewest, int most, T (*read)(const wchar_t*, wchar_t**), wchar_t* out,
                  size_t size) {
  if (!out || size == 0) return;
  out[0] = 0;
  if (!std::isfinite(value)) {
    swprintf(out, size, L"%g", static_cast<double>(value));
    return;
  }
  for (int digits = fewest; digits <= most; ++digits) {
    swprintf(out, size, L"%.*g", digits, static_cast<double>(value));
    if (read(out, nullptr) == value) return;
  }
}

}  // namespace

void FloatText(float value, wchar_t* out, size_t size) {
  if (!out || size == 0) return;
  char text[32];
  size_t n = FloatChars(value, text);
  if (n >= size) n = size - 1;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
  out[n] = 0;
}

std::wstring FloatText(float value) {
  wchar_t text[32];
  FloatText(value, text, 32);
  return text;
}

namespace {

// The "%.6g" text of a normal float (or zero) whose shortest round-trip form
// has at most 6 significant digits; 0 for any other value.  Such a float
// has a single 6-digit decimal within half a float step of it (the steps
// of a float are finer than those of 6 decimal digits), so that decimal is
// both the shortest form and what "%.6g" rounds to: its digits are printed
// as %g would, fixed for decimal exponents -4 to 5, else d.ddde+XX.
size_t SixDigitText(float value, char* out) {
  // A whole number below 10^6 is its own six digits.
  if (std::fabs(value) < 1e6f && value == std::trunc(value)) {
    char* o = out;
    if (std::signbit(value)) *o++ = '-';
    std::to_chars_result whole = std::to_chars(o, out + 31, static_cast<int32_t>(std::fabs(value)));
    *whole.ptr = '\0';
    return static_cast<size_t>(whole.ptr - out);
  }
  char shortest[32];
  std::to_chars_result r = std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific);
  if (r.ec != std::errc()) return 0;
  const char* p = shortest;
  bool negative = *p == '-';
  if (negative) ++p;
  char digits[16];
  int count = 0;
  for (; p < r.ptr && *p != 'e'; ++p) {
    if (*p == '.') continue;
    if (count == 6) return 0;
    digits[count++] = *p;
  }
  if (p == r.ptr || count == 0) return 0;
  int exponent = 0;
  std::from_chars_result e = std::from_chars(p + 1 + (p[1] == '+'), r.ptr, exponent);
  if (e.ec != std::errc() || e.ptr != r.ptr) return 0;
  if (exponent < -4 || exponent >= 6) {
    size_t n = static_cast<size_t>(r.ptr - shortest);
    std::memcpy(out, shortest, n);
    out[n] = '\0';
    return n;
  }
  char* o = out;
  if (negative) *o++ = '-';
  if (exponent < 0) {
    *o++ = '0';
    *o++ = '.';
    for (int i = -1; i > exponent; --i) *o++ = '0';
    for (int i = 0; i < count; ++i) *o++ = digits[i];
  } else {
    for (int i = 0; i <= exponent; ++i) *o++ = i < count ? digits[i] : '0';
    if (count > exponent + 1) {
      *o++ = '.';
      for (int i = exponent + 1; i < count; ++i) *o++ = digits[i];
    }
  }
  *o = '\0';
  return static_cast<size_t>(o - out);
}

}  // namespace

size_t FloatChars(float value, char* out) {
  if (std::isnormal(value) || value == 0) {
    size_t n = SixDigitText(value, out);
    if (n > 0) return n;
    // "%.*g" as the C library prints it, read back as the nearest float.
    for (int digits = 6; digits <= 9; ++digits) {
      std::to_chars_result r = std::to_chars(out, out + 31, value, std::chars_format::general, digits);
      float back = 0;
      std::from_chars_result b = std::from_chars(out, r.ptr, back);
      if (digits == 9 || (b.ec == std::errc() && back == value)) {
        *r.ptr = '\0';
        return static_cast<size_t>(r.ptr - out);
      }
    }
  }
  wchar_t text[32];
  ShortestText<float>(value, 6, 9, std::wcstof, text, 32);
  size_t n = 0;
  for (; text[n]; ++n) out[n] = static_cast<char>(text[n]);
  out[n] = '\0';
  return n;
}

bool FitsFloat(double value) { return std::isfinite(value) && std::fabs(value) < 0x1.ffffffp+127; }

void DoubleText(double value, wchar_t* out, size_t size) {
  ShortestText<double>(value, 15, 17, std::wcstod, out, size);
}
