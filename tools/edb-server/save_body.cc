// Save body parsing (see save_body.h).
#include "save_body.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "request_text.h"

namespace edb {

namespace {

bool ParseInteger(std::string_view text, int64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  std::string copy(text);
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(copy.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || copy[0] == ' ' || copy[0] == '\t') return false;
  *value = v;
  return true;
}

bool ParseFlag(std::string_view text, bool* flag) {
  if (text == "0" || text == "1") {
    *flag = text == "1";
    return true;
  }
  return false;
}

}  // namespace

bool ReadSaveHeader(std::string_view body, SaveHeader* header, std::string* reason) {
  LineReader lines(body);
  std::string_view* fields[] = {&header->database, &header->command, &header->edbUser, &header->edbName};
  static const char* const names[] = {"database", "command", "EDB user", "EDB name"};
  for (int i = 0; i < 4; ++i) {
    if (!lines.Next(fields[i])) {
      *reason = std::string("missing ") + names[i] + " line";
      return false;
    }
  }
  header->rest = body.substr(lines.offset());
  return true;
}

bool ReadRecordSaveHeader(std::string_view rest, RecordSaveHeader* header, std::string* reason) {
  LineReader lines(rest);
  std::string_view count, flag7, flag8;
  if (!lines.Next(&header->kind)) {
    *reason = "missing kind line";
    return false;
  }
  if (!lines.Next(&count) || !lines.Next(&flag7) || !lines.Next(&flag8)) {
    *reason = "missing count or flag lines";
    return false;
  }
  if (!ParseInteger(count, &header->count)) {
    *reason = "the count line is not a number";
    return false;
  }
  if (!ParseFlag(flag7, &header->flag7) || !ParseFlag(flag8, &header->flag8)) {
    *reason = "the flag lines must be 0 or 1";
    return false;
  }
  std::string_view records = rest.substr(lines.offset());
  // Drop trailing line ends, then the last line must be EOF.
  size_t end = records.size();
  while (end > 0 && (records[end - 1] == '\n' || records[end - 1] == '\r')) --end;
  size_t lineStart = records.rfind('\n', end == 0 ? 0 : end - 1);
  lineStart = (lineStart == std::string_view::npos || end == 0) ? 0 : lineStart + 1;
  if (end == 0 || records.substr(lineStart, end - lineStart) != "EOF") {
    *reason = "the upload is incomplete (no EOF line)";
    return false;
  }
  header->records = records.substr(0, lineStart);
  return true;
}

std::string NormalizedLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 1);
  LineReader lines(text);
  std::string_view line;
  while (lines.Next(&line)) {
    out.append(line.data(), line.size());
    out.push_back('\n');
  }
  return out;
}

RecordSplitter::RecordSplitter(std::string_view lines, bool oneLinePerRecord)
    : text_(lines), oneLinePerRecord_(oneLinePerRecord) {
  if (text_.find('\r') != std::string_view::npos) {
    cleaned_ = NormalizedLines(text_);
    text_ = cleaned_;
  } else if (!text_.empty() && text_.back() != '\n') {
    cleaned_ = std::string(text_) + "\n";
    text_ = cleaned_;
  }
}

bool RecordSplitter::Next(std::string_view* record) {
  // Skip empty lines before the record.
  while (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  if (pos_ >= text_.size()) return false;
  size_t start = pos_;
  for (;;) {
    size_t end = text_.find('\n', pos_);  // every line ends in '\n'
    pos_ = end + 1;
    if (oneLinePerRecord_ || pos_ >= text_.size() || text_[pos_] == '\n') break;
  }
  *record = text_.substr(start, pos_ - start);
  return true;
}

}  // namespace edb
