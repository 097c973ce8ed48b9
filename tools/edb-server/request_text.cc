// Query and body splitting (see request_text.h).
#include "request_text.h"

namespace edb {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

std::string_view TargetPath(std::string_view target) { return target.substr(0, target.find('?')); }

std::vector<std::string> QueryFields(std::string_view target) {
  std::vector<std::string> fields;
  size_t q = target.find('?');
  if (q == std::string_view::npos) return fields;
  std::string_view query = target.substr(q + 1);
  size_t start = 0;
  for (;;) {
    size_t amp = query.find('&', start);
    fields.push_back(PercentDecode(query.substr(start, amp == std::string_view::npos ? amp : amp - start)));
    if (amp == std::string_view::npos) break;
    start = amp + 1;
  }
  return fields;
}

bool LineReader::Next(std::string_view* line) {
  if (pos_ >= text_.size()) return false;
  size_t end = text_.find('\n', pos_);
  size_t next = end == std::string_view::npos ? text_.size() : end + 1;
  if (end == std::string_view::npos) end = text_.size();
  size_t stop = end;
  if (stop > pos_ && text_[stop - 1] == '\r') --stop;
  *line = text_.substr(pos_, stop - pos_);
  pos_ = next;
  return true;
}

}  // namespace edb
