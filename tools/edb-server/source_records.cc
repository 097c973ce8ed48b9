// Reading the source records of an upload (see source_records.h).
#include "source_records.h"

#include <cstdio>

#include "line_words.h"
#include "record_fault.h"
#include "reference_lines.h"
#include "reply.h"
#include "request_text.h"

namespace edb {

namespace {

constexpr size_t kNameChars = 47;
constexpr size_t kInfo2Chars = 63;
constexpr size_t kMacroChars = 19;
constexpr size_t kUnitChars = 63;
constexpr size_t kBlockMacroChars = 31;
constexpr size_t kMaxLineChars = 8095;
constexpr int64_t kMaxCoordinate = 2147483647;
constexpr int64_t kMaxSegments = 36;
constexpr int64_t kMaxVariables = 45;

class Lines {
 public:
  explicit Lines(LineReader& reader) : reader_(reader) {}

  std::string_view Need(const std::string& what) {
    std::string_view line;
    if (!reader_.Next(&line)) Fail("the upload ends before the " + what);
    if (line.size() > kMaxLineChars) Fail(what + " is longer than " + std::to_string(kMaxLineChars) + " characters");
    return line;
  }

  // The rest after the keyword and its blanks.
  std::string_view Keyword(const std::string& keyword) {
    std::string_view line = Need(keyword + " line");
    std::string_view rest;
    if (!TakeKeyword(line, keyword, &rest)) Fail(keyword + " line expected: " + Shown(line));
    return rest;
  }

  // The text after the keyword and exactly one separator (the keyword alone:
  // empty), at most chars characters (0: any), without control characters.
  std::string Rest(const std::string& keyword, size_t chars, std::string_view line = {}) {
    if (line.data() == nullptr) line = Need(keyword + " line");
    if (line.compare(0, keyword.size(), keyword) != 0 ||
        (line.size() > keyword.size() && !IsBlank(line[keyword.size()]))) {
      Fail(keyword + " line expected: " + Shown(line));
    }
    std::string_view rest = line.size() > keyword.size() ? line.substr(keyword.size() + 1) : std::string_view();
    if (chars > 0 && rest.size() > chars) Fail(keyword + " is longer than " + std::to_string(chars) + " characters");
    NoControlChars(keyword, rest);
    return std::string(rest);
  }

  std::string Quoted(const std::string& keyword, size_t chars) {
    return std::string(QuotedText(keyword, Trimmed(Keyword(keyword)), chars));
  }

  int64_t Whole(const std::string& keyword, int64_t low, int64_t high, std::string_view line = {}) {
    std::string_view word;
    if (line.data() == nullptr) {
      word = Trimmed(Keyword(keyword));
    } else if (!TakeKeyword(line, keyword, &word)) {
      Fail(keyword + " line expected: " + Shown(line));
    }
    word = Trimmed(word);
    int64_t v = 0;
    if (!ParseWhole(word, low, high, &v)) {
      Fail(keyword + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ": " +
           Shown(word));
    }
    return v;
  }

  float Single(const std::string& keyword) {
    std::string_view word = Trimmed(Keyword(keyword));
    float v = 0;
    if (!ParseSingle(word, &v)) Fail(keyword + " needs a single-precision number: " + Shown(word));
    return v;
  }

  // "<prefix>ALOB n" and the n attribute lines.
  void Alob(const std::string& prefix, std::string* text) {
    int64_t n = Whole(prefix + "ALOB", 0, kMaxAlobLines);
    AppendAlob(reader_, prefix, n, text);
  }

 private:
  LineReader& reader_;
};

std::string Key(const char* kind, int n, const char* field) {
  return std::string(kind) + "." + std::to_string(n) + "." + field;
}

void Put(std::string* text, const std::string& keyword, const std::string& value) {
  AppendLine(text, keyword + " " + value);
}

void Emission(Lines& in, int n, std::string_view first, std::string* text) {
  Put(text, Key("EMISSION", n, "SUBSTANCE"),
      std::to_string(in.Whole(Key("EMISSION", n, "SUBSTANCE"), INT32_MIN, INT32_MAX, first)));
  Put(text, Key("EMISSION", n, "EMISSION"), SingleText(in.Single(Key("EMISSION", n, "EMISSION"))));
  Put(text, Key("EMISSION", n, "TIMEVAR"), std::to_string(in.Whole(Key("EMISSION", n, "TIMEVAR"), INT32_MIN, INT32_MAX)));
  Put(text, Key("EMISSION", n, "UNIT"), in.Rest(Key("EMISSION", n, "UNIT"), kUnitChars));
  Put(text, Key("EMISSION", n, "MACRO"), in.Rest(Key("EMISSION", n, "MACRO"), kBlockMacroChars));
  Put(text, Key("EMISSION", n, "ACTCODE"), in.Rest(Key("EMISSION", n, "ACTCODE"), 0));
  in.Alob("EMISSION." + std::to_string(n) + ".", text);
}

void Subgroup(Lines& in, int n, std::string_view first, std::string* text) {
  Put(text, Key("SUBGRP", n, "SUBGRP"), std::to_string(in.Whole(Key("SUBGRP", n, "SUBGRP"), INT32_MIN, INT32_MAX, first)));
  Put(text, Key("SUBGRP", n, "ACTIVITY"), SingleText(in.Single(Key("SUBGRP", n, "ACTIVITY"))));
  Put(text, Key("SUBGRP", n, "TIMEVAR"), std::to_string(in.Whole(Key("SUBGRP", n, "TIMEVAR"), INT32_MIN, INT32_MAX)));
  Put(text, Key("SUBGRP", n, "UNIT"), in.Rest(Key("SUBGRP", n, "UNIT"), kUnitChars));
  Put(text, Key("SUBGRP", n, "ACTCODE"), in.Rest(Key("SUBGRP", n, "ACTCODE"), 0));
  in.Alob("SUBGRP." + std::to_string(n) + ".", text);
}

void Activity(Lines& in, int n, std::string_view first, std::string* text) {
  Put(text, Key("ACTIVITY", n, "EMFAC"), std::to_string(in.Whole(Key("ACTIVITY", n, "EMFAC"), INT32_MIN, INT32_MAX, first)));
  Put(text, Key("ACTIVITY", n, "TIMEVAR"), std::to_string(in.Whole(Key("ACTIVITY", n, "TIMEVAR"), INT32_MIN, INT32_MAX)));
  std::string actcode = Key("ACTIVITY", n, "ACTCODE");
  for (int v = 1;; ++v) {
    std::string_view line = in.Need(actcode + " line");
    std::string var = Key("ACTIVITY", n, "VAR") + "." + std::to_string(v);
    std::string_view rest;
    if (!TakeKeyword(line, var, &rest)) {
      Put(text, actcode, in.Rest(actcode, 0, line));
      break;
    }
    if (v > kMaxVariables) Fail("an activity holds at most " + std::to_string(kMaxVariables) + " variables");
    float value = 0;
    if (!ParseSingle(Trimmed(rest), &value)) Fail(var + " needs a single-precision number: " + Shown(rest));
    Put(text, var, SingleText(value));
  }
  in.Alob("ACTIVITY." + std::to_string(n) + ".", text);
}

std::string ReadSource(std::string_view first, LineReader& reader) {
  Lines in(reader);
  std::string text;
  int64_t x1 = in.Whole("X1", 1, kMaxCoordinate, first);
  int64_t y1 = in.Whole("Y1", 1, kMaxCoordinate);
  int64_t x2 = in.Whole("X2", 0, kMaxCoordinate);
  int64_t y2 = in.Whole("Y2", 0, kMaxCoordinate);
  if ((x2 == 0) != (y2 == 0)) Fail("X2 and Y2 must both be given or both be 0");
  int64_t px = in.Whole("PX", 0, kMaxCoordinate);
  int64_t py = in.Whole("PY", 0, kMaxCoordinate);
  if ((px == 0) != (py == 0)) Fail("PX and PY must both be given or both be 0");
  for (auto [keyword, value] : {std::pair<const char*, int64_t>{"X1", x1}, {"Y1", y1}, {"X2", x2}, {"Y2", y2},
                                {"PX", px}, {"PY", py}}) {
    Put(&text, keyword, std::to_string(value));
  }
  std::string name = in.Quoted("NAME", kNameChars);
  if (name.empty()) Fail("the source has no name");
  Put(&text, "NAME", "\"" + name + "\"");
  Put(&text, "INFO", "\"" + in.Quoted("INFO", kNameChars) + "\"");
  Put(&text, "INFO2", "\"" + in.Quoted("INFO2", kInfo2Chars) + "\"");
  for (const char* keyword : {"DATE", "CHANGED"}) {
    std::string_view word = Trimmed(in.Keyword(keyword));
    int64_t v = 0;
    if (word.size() != 6 || !ParseWhole(word, 0, 999999, &v)) Fail(std::string(keyword) + " needs six digits: " + Shown(word));
    Put(&text, keyword, std::string(word));
  }
  // The chimney and house fields belong to point sources: the workbook
  // shows them empty for an area source, so an area source must carry 0.
  bool area = x2 != 0;
  auto pointOnly = [area](const char* keyword, bool zero) {
    if (area && !zero) Fail(std::string(keyword) + " must be 0 for an area source");
  };
  for (const char* keyword : {"CHIMNEY HEIGHT", "GASTEMPERATURE", "GAS FLOW", "SEARCHKEY1", "SEARCHKEY2",
                              "SEARCHKEY3", "SEARCHKEY4", "SEARCHKEY5"}) {
    int64_t v = in.Whole(keyword, 0, UINT16_MAX);
    if (std::string(keyword).compare(0, 9, "SEARCHKEY") != 0) pointOnly(keyword, v == 0);
    Put(&text, keyword, std::to_string(v));
  }
  for (const char* keyword : {"CHIMNEY OUT", "CHIMNEY IN"}) {
    float v = in.Single(keyword);
    pointOnly(keyword, v == 0);
    Put(&text, keyword, SingleText(v));
  }
  for (const char* keyword : {"HOUSE WIDTH", "HOUSE HEIGHT"}) {
    int64_t v = in.Whole(keyword, 0, UINT16_MAX);
    pointOnly(keyword, v == 0);
    Put(&text, keyword, std::to_string(v));
  }
  int64_t segments = in.Whole("NOSEGMENTS", 0, kMaxSegments);
  Put(&text, "NOSEGMENTS", std::to_string(segments));
  for (const char* keyword : {"BUILD_WIDTHS", "BUILD_HEIGHTS", "BUILD_LENGTHS", "BUILD_DISTFARWALL", "BUILD_CENTER"}) {
    std::vector<std::string_view> words = Words(in.Keyword(keyword));
    if (static_cast<int64_t>(words.size()) != segments) {
      Fail(std::string(keyword) + " needs one value for each of the " + std::to_string(segments) + " segments");
    }
    std::string line = keyword;
    for (std::string_view word : words) {
      int64_t v = 0;
      if (!ParseWhole(word, INT32_MIN, INT32_MAX, &v)) Fail(std::string(keyword) + " holds " + Shown(word));
      line += " " + std::to_string(v);
    }
    AppendLine(&text, line);
  }
  Put(&text, "GEOCODE", in.Rest("GEOCODE", 0));
  Put(&text, "FORMULAMACRO", "\"" + in.Quoted("FORMULAMACRO", kMacroChars) + "\"");
  in.Alob("", &text);
  int emissions = 0, groups = 0, activities = 0;
  std::string_view line;
  while (reader.Next(&line) && !IsSeparatorLine(line)) {
    if (line.compare(0, 9, "EMISSION.") == 0) {
      Emission(in, ++emissions, line, &text);
    } else if (line.compare(0, 7, "SUBGRP.") == 0) {
      Subgroup(in, ++groups, line, &text);
    } else if (line.compare(0, 9, "ACTIVITY.") == 0) {
      Activity(in, ++activities, line, &text);
    } else {
      Fail("EMISSION, SUBGRP or ACTIVITY block expected: " + Shown(line));
    }
  }
  return text;
}

}  // namespace

bool IsSourceKind(std::string_view kind) { return kind == "source"; }

bool ReadSourceRecords(std::string_view lines, std::vector<ReferenceRecord>* records, std::string* reason) {
  LineReader reader(lines);
  return ReadEachRecord(reader, records, reason, [&reader](std::string_view first, size_t) {
    ReferenceRecord record;
    record.text = ReadSource(first, reader);
    return record;
  });
}

}  // namespace edb
