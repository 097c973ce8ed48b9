// The shared pieces of the server's record readers (see record_fault.h).
#include "record_fault.h"

#include "line_words.h"

namespace edb {

std::string_view NeedLine(LineReader& reader, const std::string& what) {
  std::string_view line;
  if (!reader.Next(&line)) Fail("the upload ends before the " + what);
  return line;
}

void AppendAlob(LineReader& reader, const std::string& prefix, int64_t n, std::string* text,
                const std::function<void(const std::string& what, std::string_view line)>& check) {
  AppendLine(text, prefix + "ALOB " + std::to_string(n));
  for (int64_t i = 1; i <= n; ++i) {
    std::string what = prefix + "ALOB line " + std::to_string(i);
    std::string_view line = NeedLine(reader, what);
    if (line.size() > kAlobLineChars) Fail(what + " is longer than " + std::to_string(kAlobLineChars) + " characters");
    if (check) check(what, line);
    AppendLine(text, line);
  }
}

}  // namespace edb
