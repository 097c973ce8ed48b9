// Round-tripping real-number texts (see float_text.h).
#include "records/float_text.h"

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

void DoubleText(double value, wchar_t* out, size_t size) {
  ShortestText<double>(value, 15, 17, std::wcstod, out, size);
}
