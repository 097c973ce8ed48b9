// Reply helpers (see reply.h).
#include "reply.h"

namespace edb {

std::string Reply::Summary() const {
  if (body) return std::to_string(body->Length()) + " bytes";
  if (text.empty()) return "(empty)";
  size_t end = text.find('\n');
  std::string first = Shown(text.substr(0, end));
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  if (lines > 1) first += " (" + std::to_string(lines) + " lines)";
  return first;
}

std::string Shown(std::string_view value) {
  constexpr size_t kMaxShown = 80;
  std::string out;
  for (size_t i = 0; i < value.size() && i < kMaxShown; ++i) {
    unsigned char c = static_cast<unsigned char>(value[i]);
    out.push_back(c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c));
  }
  if (value.size() > kMaxShown) out += "...";
  return out;
}

}  // namespace edb
