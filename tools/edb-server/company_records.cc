// Reading the company and facility records (see company_records.h).
#include "company_records.h"

#include <map>

#include "line_words.h"
#include "record_fault.h"
#include "reference_lines.h"
#include "reply.h"
#include "request_text.h"

namespace edb {

namespace {

constexpr size_t kIdChars = 31;
constexpr size_t kTextChars = 47;
constexpr size_t kInfo2Chars = 63;
// The sheet's X and Y cells take 1 to 2147483647.
constexpr int64_t kMaxCoordinate = 2147483647;

std::string_view Keyword(LineReader& reader, const std::string& keyword, std::string_view line = {}) {
  if (line.data() == nullptr) line = NeedLine(reader, keyword + " line");
  std::string_view rest;
  if (!TakeKeyword(line, keyword, &rest)) Fail(keyword + " line expected: " + Shown(line));
  return rest;
}

// KEYWORD "text": the text, at most chars characters, no double quote.
std::string Quoted(LineReader& reader, const std::string& keyword, size_t chars, std::string_view line = {}) {
  return std::string(QuotedText(keyword, Trimmed(Keyword(reader, keyword, line)), chars));
}

void QuotedLine(std::string* text, const std::string& keyword, const std::string& value) {
  AppendLine(text, keyword + " \"" + value + "\"");
}

int64_t Coordinate(LineReader& reader, const std::string& keyword, std::string_view line = {}) {
  int64_t v = 0;
  std::string_view word = Trimmed(Keyword(reader, keyword, line));
  if (word.empty() || word[0] == '+' || word[0] == '-' || !ParseWhole(word, 1, kMaxCoordinate, &v)) {
    Fail(keyword + " needs a whole number from 1 to " + std::to_string(kMaxCoordinate) + ": " + Shown(word));
  }
  return v;
}

// The six descriptive texts from INFO to MISC.
void Texts(LineReader& reader, std::string* text) {
  QuotedLine(text, "INFO", Quoted(reader, "INFO", kTextChars));
  QuotedLine(text, "INFO2", Quoted(reader, "INFO2", kInfo2Chars));
  for (const char* keyword : {"ADDRESS", "POSTADDRESS", "INFOSUPPLIER", "MISC"}) {
    QuotedLine(text, keyword, Quoted(reader, keyword, kTextChars));
  }
}

// "ALOB n", the n attribute lines as they stand, and the separator.
void AlobTail(LineReader& reader, std::string* text) {
  int64_t n = 0;
  if (!ParseWhole(Trimmed(Keyword(reader, "ALOB")), 0, kMaxAlobLines, &n)) Fail("ALOB needs a count of lines");
  AppendAlob(reader, "", n, text);
  std::string_view line;
  if (reader.Next(&line) && !IsSeparatorLine(line)) Fail("an empty line must end the record: " + Shown(line));
}

ReferenceRecord ReadCompany(std::string_view first, LineReader& reader, std::string* key) {
  ReferenceRecord record;
  *key = Quoted(reader, "ID", kIdChars, first);
  if (key->empty()) Fail("the company ID is empty");
  QuotedLine(&record.text, "ID", *key);
  QuotedLine(&record.text, "NAME", Quoted(reader, "NAME", kTextChars));
  Texts(reader, &record.text);
  AlobTail(reader, &record.text);
  return record;
}

ReferenceRecord ReadFacility(std::string_view first, LineReader& reader, std::string* key) {
  ReferenceRecord record;
  int64_t x = Coordinate(reader, "X", first);
  int64_t y = Coordinate(reader, "Y");
  *key = std::to_string(x) + " " + std::to_string(y);
  AppendLine(&record.text, "X " + std::to_string(x));
  AppendLine(&record.text, "Y " + std::to_string(y));
  QuotedLine(&record.text, "NAME", Quoted(reader, "NAME", kTextChars));
  QuotedLine(&record.text, "COMPANY", Quoted(reader, "COMPANY", kIdChars));
  Texts(reader, &record.text);
  AlobTail(reader, &record.text);
  return record;
}

}  // namespace

bool IsCompanyKind(std::string_view kind) { return kind == "company" || kind == "facility"; }

bool ReadCompanyKindRecords(std::string_view kind, std::string_view lines, std::vector<ReferenceRecord>* records,
                            std::string* reason) {
  LineReader reader(lines);
  std::map<std::string, size_t> numberOfKey;
  return ReadEachRecord(reader, records, reason, [&](std::string_view first, size_t number) {
    std::string key;
    ReferenceRecord record = kind == "company" ? ReadCompany(first, reader, &key) : ReadFacility(first, reader, &key);
    auto known = numberOfKey.emplace(key, number);
    if (!known.second) {
      Fail((kind == "company" ? "company ID " : "facility at ") + key + " is also that of record " +
           std::to_string(known.first->second));
    }
    return record;
  });
}

}  // namespace edb
