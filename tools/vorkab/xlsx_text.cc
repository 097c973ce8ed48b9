// Wide text to UTF-8 with "_xHHHH_" escapes and back (see xlsx_text.h).
#include "xlsx_text.h"

#include <cstdint>
#include <vector>

namespace xlsx {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The code unit of an "_xHHHH_" escape starting at text[i], or -1.
template <typename Units>
int32_t EscapeAt(const Units& text, size_t i) {
  if (i + 7 > text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_') return -1;
  int32_t unit = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    uint32_t c = static_cast<uint32_t>(text[k]);
    int digit = c < 0x80 ? HexValue(static_cast<char>(c)) : -1;
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

// The wide text as UTF-16 code units; false for values beyond U+10FFFF.
bool ToUnits(const std::wstring& text, std::vector<uint16_t>* units) {
  units->clear();
  units->reserve(text.size());
  for (wchar_t wc : text) {
    uint32_t u = sizeof(wchar_t) == 2 ? static_cast<uint16_t>(wc) : static_cast<uint32_t>(wc);
    if (u > 0x10FFFF) return false;
    if (u >= 0x10000) {
      u -= 0x10000;
      units->push_back(static_cast<uint16_t>(0xD800 + (u >> 10)));
      units->push_back(static_cast<uint16_t>(0xDC00 + (u & 0x3FF)));
    } else {
      units->push_back(static_cast<uint16_t>(u));
    }
  }
  return true;
}

// UTF-16 code units as wide text: pairs join on Linux, unpaired surrogates
// stay as they are.
std::wstring FromUnits(const std::vector<uint16_t>& units) {
  std::wstring text;
  text.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t u = units[i];
    if (sizeof(wchar_t) == 4 && IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
      ++i;
    }
    text.push_back(static_cast<wchar_t>(u));
  }
  return text;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendEscape(uint32_t unit, std::string* out) {
  static const char kHex[] = "0123456789ABCDEF";
  out->append("_x");
  for (int shift = 12; shift >= 0; shift -= 4) out->push_back(kHex[(unit >> shift) & 0xF]);
  out->push_back('_');
}

bool NeedsEscape(uint32_t unit, XmlPlace place) {
  if (unit == '\t' || unit == '\n') return place == XmlPlace::Attribute;
  return unit < 0x20 || unit == 0xFFFE || unit == 0xFFFF;
}

// Strict UTF-8 to code points: no overlong forms, no surrogates, nothing
// beyond U+10FFFF, no cut sequences.
bool ToCodePoints(const char* utf8, size_t size, std::vector<uint32_t>* out) {
  out->clear();
  out->reserve(size);
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  for (size_t i = 0; i < size;) {
    uint32_t c = p[i];
    size_t extra;
    uint32_t minimum;
    if (c < 0x80) {
      out->push_back(c);
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, minimum = 0x80, c &= 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, minimum = 0x800, c &= 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, minimum = 0x10000, c &= 0x07;
    } else {
      return false;
    }
    if (size - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      c = (c << 6) | (p[i + k] & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out->push_back(c);
    i += extra + 1;
  }
  return true;
}

}  // namespace

bool EncodeText(const std::wstring& text, XmlPlace place, std::string* utf8) {
  std::vector<uint16_t> units;
  if (!ToUnits(text, &units)) return false;
  utf8->clear();
  utf8->reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t u = units[i];
    if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00u), utf8);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u) || NeedsEscape(u, place)) {
      AppendEscape(u, utf8);
    } else if (u == '_' && EscapeAt(units, i) >= 0) {
      AppendEscape('_', utf8);  // a literal "_xHHHH_" keeps its meaning
    } else {
      AppendUtf8(u, utf8);
    }
  }
  return true;
}

bool DecodeText(const char* utf8, size_t size, std::wstring* text) {
  std::vector<uint32_t> points;
  if (!ToCodePoints(utf8, size, &points)) return false;
  std::vector<uint16_t> units;
  units.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    int32_t escaped = EscapeAt(points, i);
    if (escaped >= 0) {
      units.push_back(static_cast<uint16_t>(escaped));
      i += 6;
    } else if (points[i] >= 0x10000) {
      uint32_t u = points[i] - 0x10000;
      units.push_back(static_cast<uint16_t>(0xD800 + (u >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + (u & 0x3FF)));
    } else {
      units.push_back(static_cast<uint16_t>(points[i]));
    }
  }
  *text = FromUnits(units);
  return true;
}

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t u = sizeof(wchar_t) == 2 ? static_cast<uint16_t>(text[i]) : static_cast<uint32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && IsHighSurrogate(u) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<uint16_t>(text[i + 1]))) {
      u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<uint16_t>(text[i + 1]) - 0xDC00u);
      ++i;
    }
    if (u > 0x10FFFF || IsHighSurrogate(u) || IsLowSurrogate(u)) u = kReplacement;
    AppendUtf8(u, &out);
  }
  return out;
}

}  // namespace xlsx
