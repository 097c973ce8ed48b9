// Line-by-line reading of reference records (see reference_lines.h).
#include "reference_lines.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "line_words.h"
#include "reply.h"

namespace edb {

namespace {

// The lines of one record and the problem found in them.
class RecordLines {
 public:
  RecordLines(LineReader& lines, std::string* problem) : lines_(lines), problem_(problem) {}

  // The next line of the record; false at the end of the text or at a
  // separator, where `what` was still expected.
  bool Need(const std::string& what, std::string_view* line) {
    if (lines_.Next(line) && !IsSeparatorLine(*line)) return true;
    return Fail("the record ends before its " + what);
  }

  // The next line when it belongs to the record; false at the end of the
  // text or at the separator, which ends the record.
  bool More(std::string_view* line) { return lines_.Next(line) && !IsSeparatorLine(*line); }

  // The record must end here: the end of the text or a separator follows.
  bool End() {
    std::string_view line;
    if (!More(&line)) return true;
    return Bad("unexpected line after the record", line);
  }

  bool Fail(const std::string& text) {
    *problem_ = text;
    return false;
  }
  bool Bad(const std::string& what, std::string_view line) { return Fail(what + ": " + Shown(line)); }

 private:
  LineReader& lines_;
  std::string* problem_;
};

bool TooLong(std::string_view text, size_t limit, const std::string& what, RecordLines& record) {
  if (text.size() <= limit) return false;
  record.Fail(what + " is longer than " + std::to_string(limit) + " characters");
  return true;
}

// NAME "text": a quoted text without double quotes inside; NAME alone is an
// empty name.
bool ReadName(std::string_view line, size_t limit, std::string* name, RecordLines& record) {
  std::string_view rest;
  if (!TakeKeyword(line, "NAME", &rest)) return record.Bad("NAME line expected", line);
  rest = Trimmed(rest);
  if (!rest.empty()) {
    if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"' ||
        rest.substr(1, rest.size() - 2).find('"') != std::string_view::npos) {
      return record.Bad("NAME needs one quoted text", line);
    }
    rest = rest.substr(1, rest.size() - 2);
  }
  if (TooLong(rest, limit, "the name", record)) return false;
  name->assign(rest);
  return true;
}

// Digits only, from 0 to high.
bool ParseIndex(std::string_view word, int64_t high, int64_t* value) {
  return !word.empty() && word[0] >= '0' && word[0] <= '9' && ParseWhole(word, 0, high, value);
}

bool ReadIndex(RecordLines& record, int64_t high, int64_t* index) {
  std::string_view line, rest;
  if (!record.Need("INDEX line", &line)) return false;
  if (!TakeKeyword(line, "INDEX", &rest) || !ParseIndex(Trimmed(rest), high, index)) {
    return record.Bad("INDEX needs a whole number from 0 to " + std::to_string(high), line);
  }
  return true;
}

// The NAME and INDEX lines that open a time variation, a substance group and
// an emission factor; the index must fit its field.
template <class Entry>
bool ReadHead(std::string_view first, RecordLines& record, Entry* entry) {
  using Index = decltype(entry->index);
  int64_t index = 0;
  if (!ReadName(first, kReferenceNameChars, &entry->name, record) ||
      !ReadIndex(record, std::numeric_limits<Index>::max(), &index)) {
    return false;
  }
  entry->index = static_cast<Index>(index);
  return true;
}

// A line of values: the first of its group opens with the keyword, the
// others with a blank or tab.
bool ValueWords(std::string_view line, const char* keyword, bool first, std::vector<std::string_view>* words) {
  std::string_view rest;
  if (first) {
    if (!TakeKeyword(line, keyword, &rest)) return false;
  } else {
    if (line.empty() || !IsBlank(line[0])) return false;
    rest = line;
  }
  *words = Words(rest);
  return true;
}

bool ReadTypeday(RecordLines& record, TimevarEntry* entry) {
  for (int hour = 1; hour <= 24; ++hour) {
    std::string what = "TYPEDAY line for hour " + std::to_string(hour);
    std::string_view line;
    std::vector<std::string_view> words;
    if (!record.Need(what, &line)) return false;
    if (!ValueWords(line, "TYPEDAY", hour == 1, &words) || words.size() != 4) {
      return record.Bad(what + " needs four values", line);
    }
    for (int day = 0; day < 4; ++day) {
      if (TooLong(words[day], kTypedayValueChars, "a TYPEDAY value of hour " + std::to_string(hour), record)) {
        return false;
      }
      entry->typeday[hour - 1][day].assign(words[day]);
    }
  }
  return true;
}

bool ReadMonths(RecordLines& record, TimevarEntry* entry) {
  for (int part = 0; part < 2; ++part) {
    std::string what = "MONTH line " + std::to_string(part + 1);
    std::string_view line;
    std::vector<std::string_view> words;
    if (!record.Need(what, &line)) return false;
    bool ok = ValueWords(line, "MONTH", part == 0, &words) && words.size() == 6;
    for (size_t i = 0; ok && i < 6; ++i) {
      int64_t v = 0;
      ok = ParseWhole(words[i], std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), &v);
      entry->month[part * 6 + i] = static_cast<int16_t>(v);
    }
    if (!ok) return record.Bad(what + " needs six whole numbers from -32768 to 32767", line);
  }
  return true;
}

bool ReadScenarios(RecordLines& record, TimevarEntry* entry) {
  for (int part = 0; part < 2; ++part) {
    std::string what = "SCENARIO line " + std::to_string(part + 1);
    std::string_view line;
    std::vector<std::string_view> words;
    if (!record.Need(what, &line)) return false;
    bool ok = ValueWords(line, "SCENARIO", part == 0, &words) && words.size() == 5;
    for (size_t i = 0; ok && i < 5; ++i) ok = ParseSingle(words[i], &entry->scenario[part * 5 + i]);
    if (!ok) return record.Bad(what + " needs five numbers", line);
  }
  return true;
}

// "\tsubstance \tslope \tm \tunit": a substance index other than 0, two
// numbers and a one-word unit.
bool ReadSlot(std::string_view line, size_t slot, GroupSlot* out, RecordLines& record) {
  std::string what = "SUBSTANCES line " + std::to_string(slot);
  std::vector<std::string_view> words = Words(line);
  int64_t substance = 0;
  if (words.size() != 4 ||
      !ParseWhole(words[0], std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), &substance) ||
      !ParseSingle(words[1], &out->slope) || !ParseSingle(words[2], &out->m)) {
    return record.Bad(what + " needs a substance, slope, m and unit", line);
  }
  // The library takes substance 0 for an unused slot and would drop the rest.
  if (substance == 0) return record.Bad(what + " names substance 0", line);
  if (TooLong(words[3], kUnitChars, "the unit of " + what, record)) return false;
  out->substance = static_cast<int16_t>(substance);
  out->unit.assign(words[3]);
  return true;
}

// The value of "KEYWORD value", where keyword and value may be apart by any
// run of blanks and tabs.
bool KeywordValue(RecordLines& record, const std::string& keyword, std::string_view* value) {
  std::string_view line;
  if (!record.Need(keyword + " line", &line)) return false;
  if (!TakeKeyword(line, keyword, value)) return record.Bad(keyword + " line expected", line);
  return true;
}

bool ReadVariables(RecordLines& record, EmfacEntry* entry) {
  std::string_view line, value;
  for (size_t n = 1; record.More(&line); ++n) {
    std::string var = "VAR." + std::to_string(n);
    if (n > kMaxVariables) return record.Bad("more than " + std::to_string(kMaxVariables) + " variables", line);
    if (!TakeKeyword(line, var, &value)) return record.Bad(var + " line expected", line);
    // An empty name would end the library's list of variables early.
    if (value.empty()) return record.Fail(var + " has no name");
    if (TooLong(value, kVariableNameChars, "the name of " + var, record)) return false;
    EmfacVariable variable;
    variable.name.assign(value);
    std::string type = "TYPE." + std::to_string(n);
    if (!KeywordValue(record, type, &value)) return false;
    value = Trimmed(value);
    if (value != "VAR" && value != "CONST") return record.Fail(type + " must be VAR or CONST: " + Shown(value));
    variable.constant = value == "CONST";
    entry->variables.push_back(std::move(variable));
  }
  return true;
}

}  // namespace

bool IsSeparatorLine(std::string_view line) { return Trimmed(line).empty(); }

bool ReadSubstanceRecord(std::string_view line, SubstanceEntry* entry, std::string* problem) {
  std::string_view text = Trimmed(line);
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  int64_t index = 0;
  std::string_view name = Trimmed(text.substr(end));
  if (!ParseIndex(text.substr(0, end), std::numeric_limits<uint16_t>::max(), &index) || name.size() < 2 ||
      name.front() != '"' || name.back() != '"' ||
      name.substr(1, name.size() - 2).find('"') != std::string_view::npos) {
    *problem = "a whole number from 0 to 65535 and a quoted name expected: " + Shown(line);
    return false;
  }
  name = name.substr(1, name.size() - 2);
  if (name.size() > kSubstanceNameChars) {
    *problem = "the name is longer than " + std::to_string(kSubstanceNameChars) + " characters";
    return false;
  }
  entry->index = static_cast<uint16_t>(index);
  entry->name.assign(name);
  return true;
}

bool ReadTimevarRecord(std::string_view first, LineReader& lines, TimevarEntry* entry, std::string* problem) {
  RecordLines record(lines, problem);
  if (!ReadHead(first, record, entry)) return false;
  return ReadTypeday(record, entry) && ReadMonths(record, entry) && ReadScenarios(record, entry) && record.End();
}

bool ReadSubgrpRecord(std::string_view first, LineReader& lines, SubgrpEntry* entry, std::string* problem) {
  RecordLines record(lines, problem);
  if (!ReadHead(first, record, entry)) return false;
  std::string_view line;
  if (!record.Need("SUBSTANCES line", &line)) return false;
  if (Trimmed(line) != "SUBSTANCES") return record.Bad("SUBSTANCES line expected", line);
  while (record.More(&line)) {
    if (entry->slots.size() == kMaxGroupSlots) {
      return record.Bad("more than " + std::to_string(kMaxGroupSlots) + " SUBSTANCES lines", line);
    }
    GroupSlot slot;
    if (!ReadSlot(line, entry->slots.size() + 1, &slot, record)) return false;
    entry->slots.push_back(std::move(slot));
  }
  return true;
}

bool ReadEmfacRecord(std::string_view first, LineReader& lines, EmfacEntry* entry, std::string* problem) {
  RecordLines record(lines, problem);
  if (!ReadHead(first, record, entry)) return false;
  std::string_view value;
  int64_t substance = 0;
  if (!KeywordValue(record, "SUBSTANCE", &value)) return false;
  if (!ParseWhole(Trimmed(value), std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                  &substance)) {
    return record.Fail("SUBSTANCE needs a whole number: " + Shown(value));
  }
  entry->substance = static_cast<int32_t>(substance);
  if (!KeywordValue(record, "FORMULA", &value)) return false;
  entry->formula.assign(value);
  return ReadVariables(record, entry);
}

}  // namespace edb
