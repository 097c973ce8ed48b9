// Reading the road records (see road_records.h).
#include "road_records.h"

#include <cstdint>

#include "line_words.h"
#include "record_fault.h"
#include "reference_lines.h"
#include "reply.h"
#include "request_text.h"

namespace edb {

namespace {

constexpr size_t kNameChars = 47;
constexpr size_t kInfo2Chars = 63;
constexpr size_t kMacroChars = 31;
constexpr size_t kNumbersChars = 63;  // HEIGHT and NOISE texts
constexpr size_t kMaxEmissionFactors = 12;

class RoadReader {
 public:
  explicit RoadReader(LineReader& reader) : reader_(reader) {}

  std::string_view Need(const std::string& what) { return NeedLine(reader_, what); }

  std::string_view Keyword(const std::string& keyword, std::string_view line = {}) {
    if (line.data() == nullptr) line = Need(keyword + " line");
    std::string_view rest;
    if (!TakeKeyword(line, keyword, &rest)) Fail(keyword + " line expected: " + Shown(line));
    return rest;
  }

  void Quoted(const std::string& keyword, size_t chars, std::string_view line = {}) {
    std::string_view rest = QuotedText(keyword, Trimmed(Keyword(keyword, line)), chars);
    AppendLine(&text_, keyword + " \"" + std::string(rest) + "\"");
  }

  int64_t Whole(const std::string& keyword, int64_t low, int64_t high) {
    int64_t v = 0;
    std::string_view word = Trimmed(Keyword(keyword));
    if (!ParseWhole(word, low, high, &v)) {
      Fail(keyword + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ": " +
           Shown(word));
    }
    AppendLine(&text_, keyword + " " + std::to_string(v));
    return v;
  }
  void Long(const std::string& keyword) { Whole(keyword, INT32_MIN, INT32_MAX); }

  void Real(const std::string& keyword) {
    float v = 0;
    std::string_view word = Trimmed(Keyword(keyword));
    if (!ParseSingle(word, &v)) Fail(keyword + " needs a number: " + Shown(word));
    AppendLine(&text_, keyword + " " + SingleText(v));
  }

  void EmissionFactors() {
    std::vector<std::string_view> words = Words(Keyword("EMIFAC"));
    if (words.size() > kMaxEmissionFactors) Fail("EMIFAC holds more than 12 emission factors");
    std::string line = "EMIFAC ";
    for (size_t i = 0; i < words.size(); ++i) {
      int64_t v = 0;
      if (!ParseWhole(words[i], 1, UINT16_MAX, &v)) Fail("EMIFAC needs class numbers from 1 to 65535");
      if (i > 0) line += " ";
      line += std::to_string(v);
    }
    AppendLine(&text_, line);
  }

  // VEH1, VEH2 ... lines; returns the first line after them.
  std::string_view Traffic() {
    for (int n = 1;; ++n) {
      std::string keyword = "VEH" + std::to_string(n);
      std::string_view line = Need("HEAVYSPEED line");
      std::string_view rest;
      if (!TakeKeyword(line, keyword, &rest)) return line;
      std::vector<std::string_view> words = Words(rest);
      int64_t index = 0, timevar = 0;
      float value = 0;
      if (words.size() != 3 || !ParseWhole(words[0], INT32_MIN, INT32_MAX, &index) ||
          !ParseWhole(words[1], INT32_MIN, INT32_MAX, &timevar) || !ParseSingle(words[2], &value)) {
        Fail(keyword + " needs an index, a time variation and a value: " + Shown(rest));
      }
      AppendLine(&text_, keyword + " " + std::to_string(index) + " " + std::to_string(timevar) + " " +
                             SingleText(value));
    }
  }

  // The text of HEIGHT or NOISE: numbers and blanks, no letter.
  void Numbers(const std::string& keyword, std::string_view line = {}) {
    std::string_view rest = Keyword(keyword, line);
    if (rest.size() > kNumbersChars) Fail(keyword + " is longer than " + std::to_string(kNumbersChars) + " characters");
    for (char c : rest) {
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) Fail(keyword + " holds a letter: " + Shown(rest));
    }
    NoControlChars(keyword, rest);
    AppendLine(&text_, keyword + " " + std::string(rest));
  }

  template <bool kReal>
  void Pair(const std::string& keyword) {
    std::vector<std::string_view> words = Words(Keyword(keyword));
    if (words.size() > 2) Fail(keyword + " holds more than two values");
    std::string line = keyword;
    for (size_t i = 0; i < 2; ++i) {
      std::string_view word = i < words.size() ? words[i] : std::string_view("0");
      if (kReal) {
        float v = 0;
        if (!ParseSingle(word, &v)) Fail(keyword + " needs numbers: " + Shown(word));
        line += " " + SingleText(v);
      } else {
        int64_t v = 0;
        if (!ParseWhole(word, INT32_MIN, INT32_MAX, &v)) Fail(keyword + " needs whole numbers: " + Shown(word));
        line += " " + std::to_string(v);
      }
    }
    AppendLine(&text_, line);
  }

  void Alob(std::string_view line) {
    int64_t n = 0;
    if (!ParseWhole(Trimmed(Keyword("ALOB", line)), 0, kMaxAlobLines, &n)) Fail("ALOB needs a count of lines");
    AppendAlob(reader_, "", n, &text_, [](const std::string& what, std::string_view alob) {
      if (IsSeparatorLine(alob)) Fail(what + " is empty, which a road sheet cannot show");
      NoControlChars(what, alob);
    });
  }

  void Coordinates() {
    for (size_t n = 0;; ++n) {
      std::string_view line;
      if (!reader_.Next(&line) || IsSeparatorLine(line)) return;
      if (n == kMaxRoadCoordinates) Fail("more than " + std::to_string(kMaxRoadCoordinates) + " coordinate pairs");
      std::string x = "X" + std::to_string(n), y = "Y" + std::to_string(n);
      std::vector<std::string_view> words = Words(line);
      int64_t vx = 0, vy = 0;
      if (words.size() != 4 || words[0] != x || words[2] != y || !ParseWhole(words[1], 0, INT32_MAX, &vx) ||
          !ParseWhole(words[3], 0, INT32_MAX, &vy)) {
        Fail("coordinate pair " + std::to_string(n + 1) + " must be " + x + " x " + y + " y: " + Shown(line));
      }
      AppendLine(&text_, x + " " + std::to_string(vx) + " " + y + " " + std::to_string(vy));
    }
  }

  ReferenceRecord Road(std::string_view first) {
    Quoted("NAME", kNameChars, first);
    Quoted("INFO", kNameChars);
    Quoted("INFO2", kInfo2Chars);
    Long("VEHICLES");
    Quoted("VEHICLEMACRO", kMacroChars);
    Real("CORRFACTOR");
    Long("NOLANES");
    Long("SPEED");
    Whole("ROADTYPE", 0, UINT16_MAX);
    EmissionFactors();
    std::string_view heavy = Traffic();
    int64_t v = 0;
    std::string_view word = Trimmed(Keyword("HEAVYSPEED", heavy));
    if (!ParseWhole(word, INT32_MIN, INT32_MAX, &v)) Fail("HEAVYSPEED needs a whole number: " + Shown(word));
    AppendLine(&text_, "HEAVYSPEED " + std::to_string(v));
    for (const char* k : {"CONGSPEED1", "CONGSPEED2", "CONGSPEED3", "HEAVYCONGSPEED1", "HEAVYCONGSPEED2",
                          "HEAVYCONGSPEED3"}) {
      Long(k);
    }
    Real("PERCHEAVY");
    for (int k = 1; k <= 5; ++k) Whole("SEARCHKEY" + std::to_string(k), 0, UINT16_MAX);
    std::string_view line = Need("GEOCODE line");
    if (line.compare(0, 7, "GEOCODE") != 0 || (line.size() > 7 && !IsBlank(line[7]))) {
      Fail("GEOCODE line expected: " + Shown(line));
    }
    std::string_view code = line.size() > 8 ? line.substr(8) : std::string_view();
    NoControlChars("GEOCODE", code);
    AppendLine(&text_, "GEOCODE " + std::string(code));
    for (const char* k : {"WIDTH", "DISTHOUSES", "SLOPE", "ELEVATION"}) Long(k);
    Numbers("HEIGHT");
    Pair<true>("BARRIERHEIGHT");
    Pair<false>("BARRIERANGLE");
    Pair<true>("BARRIERDISTANCE");
    line = Need("ALOB line");
    std::string_view rest;
    if (TakeKeyword(line, "NOISE", &rest)) {
      Numbers("NOISE", line);
      line = Need("ALOB line");
    }
    Alob(line);
    Coordinates();
    ReferenceRecord record;
    record.text = std::move(text_);
    return record;
  }

 private:
  LineReader& reader_;
  std::string text_;
};

}  // namespace

bool ReadRoadRecords(std::string_view lines, std::vector<ReferenceRecord>* records, std::string* reason) {
  LineReader reader(lines);
  return ReadEachRecord(reader, records, reason, [&reader](std::string_view first, size_t) {
    RoadReader road(reader);
    return road.Road(first);
  });
}

}  // namespace edb
