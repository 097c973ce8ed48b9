// The shared pieces of the server's record readers (see record_fault.h).
#include "record_fault.h"

#include "line_words.h"
#include "reference_lines.h"
#include "reply.h"

namespace edb {

void NoControlChars(const std::string& what, std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) Fail(what + " holds a control character");
  }
}

std::string_view QuotedText(const std::string& keyword, std::string_view quoted, size_t chars) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"' ||
      quoted.substr(1, quoted.size() - 2).find('"') != std::string_view::npos) {
    Fail(keyword + " needs one quoted text: " + Shown(quoted));
  }
  std::string_view text = quoted.substr(1, quoted.size() - 2);
  if (text.size() > chars) Fail(keyword + " is longer than " + std::to_string(chars) + " characters");
  NoControlChars(keyword, text);
  return text;
}

bool ReadEachRecord(LineReader& reader, std::vector<ReferenceRecord>* records, std::string* reason,
                    const std::function<ReferenceRecord(std::string_view first, size_t number)>& read) {
  records->clear();
  std::string_view line;
  while (reader.Next(&line)) {
    if (IsSeparatorLine(line)) continue;
    size_t number = records->size() + 1;
    try {
      records->push_back(read(line, number));
    } catch (const RecordFault& bad) {
      *reason = "record " + std::to_string(number) + ": " + bad.what;
      return false;
    }
    records->back().number = number;
  }
  return true;
}

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
