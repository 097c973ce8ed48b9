// Small text helpers shared by the record lists and the issue lists: owned
// copies of wide texts, ordinal comparison, bounded copies and bounded wide
// formatting that always leaves a terminated text.
#pragma once

#include <charconv>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace listtext {

// A malloc'ed copy of text (null stays null); null when memory runs out.
inline wchar_t* Duplicate(const wchar_t* text) {
  if (!text) return nullptr;
  size_t n = wcslen(text) + 1;
  wchar_t* copy = static_cast<wchar_t*>(malloc(n * sizeof(wchar_t)));
  if (copy) memcpy(copy, text, n * sizeof(wchar_t));
  return copy;
}

// Ordinal, case-sensitive comparison by character code; a missing text sorts
// before every text, the empty one included.
inline int Compare(const wchar_t* a, const wchar_t* b) {
  if (a == b) return 0;
  if (!a) return -1;
  if (!b) return 1;
  for (;; ++a, ++b) {
    uint32_t ca = static_cast<uint32_t>(*a);
    uint32_t cb = static_cast<uint32_t>(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

// Copies at most size - 1 characters of text (null copies as empty) and
// terminates; nothing is written when size is 0 or out is null.
inline void CopyCut(wchar_t* out, size_t size, const wchar_t* text) {
  if (!out || size == 0) return;
  size_t n = 0;
  if (text) {
    while (n + 1 < size && text[n] != 0) ++n;
    memcpy(out, text, n * sizeof(wchar_t));
  }
  out[n] = 0;
}

// A fixed text field (at most fieldSize - 1 characters up to its
// terminator) cut to size - 1 characters into out and terminated; nothing is
// written when size is 0 or out is null.
inline void CopyFieldCut(wchar_t* out, size_t size, const wchar_t* field, size_t fieldSize) {
  if (!out || size == 0) return;
  size_t n = 0;
  if (field) {
    while (n + 1 < fieldSize && n + 1 < size && field[n] != 0) ++n;
    memcpy(out, field, n * sizeof(wchar_t));
  }
  out[n] = 0;
}

// The decimal text of value ("%d" / "%lu" / "%hd" print the same), cut to
// size - 1 characters and terminated.  REQUIRES: size >= 1.
inline void IntegerText(int64_t value, wchar_t* out, size_t size) {
  char digits[24];
  std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
  size_t n = static_cast<size_t>(r.ptr - digits);
  if (n > size - 1) n = size - 1;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(digits[i]);
  out[n] = 0;
}

// vswprintf into out[size], cut to size - 1 characters and always terminated,
// also when the run-time reports truncation or an encoding error.
inline void FormatCutV(wchar_t* out, size_t size, const wchar_t* format, va_list args) {
  if (!out || size == 0) return;
  wmemset(out, 0, size);
  if (format) vswprintf(out, size, format, args);
  out[size - 1] = 0;
}

inline void FormatCut(wchar_t* out, size_t size, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  FormatCutV(out, size, format, args);
  va_end(args);
}

}  // namespace listtext
