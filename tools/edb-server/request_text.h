// Splitting of request texts: the raw query of a request target into its
// percent-decoded '&' fields, and a body into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace edb {

// Decodes %XX sequences into bytes; anything else (a '%' without two hex
// digits, '+') stays as it is.
std::string PercentDecode(std::string_view text);

// The part of a request target before its first '?'.
std::string_view TargetPath(std::string_view target);

// The fields of the query (the part after the first '?'), split at every '&'
// and decoded; empty fields are kept.  No '?' gives no fields.
std::vector<std::string> QueryFields(std::string_view target);

// Hands out the lines of a text one by one: a line ends at LF, a CR right
// before that LF is dropped, and a last line without LF still counts.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool Next(std::string_view* line);
  // Offset of the first byte not yet handed out.
  size_t offset() const { return pos_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace edb
