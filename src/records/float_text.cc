// Round-tripping real-number texts (see float_text.h).
#include "records/float_text.h"

#include <charconv>
#include <cmath>
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

void FloatText(float value, wchar_t* out, size_t size) { ShortestText<float>(value, 6, 9, std::wcstof, out, size); }

std::wstring FloatText(float value) {
  wchar_t text[32];
  FloatText(value, text, 32);
  return text;
}

size_t FloatChars(float value, char* out) {
  if (std::isnormal(value) || value == 0) {
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
  FloatText(value, text, 32);
  size_t n = 0;
  for (; text[n]; ++n) out[n] = static_cast<char>(text[n]);
  out[n] = '\0';
  return n;
}

bool FitsFloat(double value) { return std::isfinite(value) && std::fabs(value) < 0x1.ffffffp+127; }

void DoubleText(double value, wchar_t* out, size_t size) {
  ShortestText<double>(value, 15, 17, std::wcstod, out, size);
}
