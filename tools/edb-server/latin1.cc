// UTF-8 to ISO 8859-1 (see latin1.h).
#include "latin1.h"

namespace edb {

std::string Utf8ToLatin1(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    // Only two-byte sequences C2 xx and C3 xx encode U+0080..U+00FF.
    if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
      unsigned char d = static_cast<unsigned char>(text[i + 1]);
      if ((d & 0xC0) == 0x80) {
        out.push_back(static_cast<char>(((c & 0x1F) << 6) | (d & 0x3F)));
        ++i;
        continue;
      }
    }
    return std::string(text);
  }
  return out;
}

}  // namespace edb
