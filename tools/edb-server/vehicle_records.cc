// Reading and printing the traffic records (see vehicle_records.h).
#include "vehicle_records.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>

#include "line_words.h"
#include "record_fault.h"
#include "reference_lines.h"
#include "reply.h"
#include "request_text.h"

namespace edb {

namespace {

constexpr size_t kNameChars = 19;
constexpr size_t kTypedayChars = 15;
constexpr size_t kMaxSubstances = 252;
constexpr size_t kMaxBlocks = 10;
constexpr int kSpeeds = 11;
constexpr size_t kMaxDimensions = 12;
constexpr int64_t kMaxClasses = 65535;

[[noreturn]] void FailLine(const std::string& what, std::string_view line) { Fail(what + ": " + Shown(line)); }

// The lines of one record: Need for a line that must come, More for one
// that may.
class Lines {
 public:
  explicit Lines(LineReader& reader) : reader_(reader) {}
  std::string_view Need(const std::string& what) {
    std::string_view line;
    if (!reader_.Next(&line) || IsSeparatorLine(line)) Fail("the record ends before its " + what);
    return line;
  }
  bool More(std::string_view* line) { return reader_.Next(line) && !IsSeparatorLine(*line); }

 private:
  LineReader& reader_;
};

int64_t Whole(std::string_view word, int64_t low, int64_t high, const std::string& what) {
  int64_t v = 0;
  if (!ParseWhole(Trimmed(word), low, high, &v)) {
    Fail(what + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ": " +
         Shown(word));
  }
  return v;
}

float Single(std::string_view word, const std::string& what) {
  float v = 0;
  if (!ParseSingle(Trimmed(word), &v)) Fail(what + " needs a number: " + Shown(word));
  return v;
}

// "KEYWORD value": the value after the keyword's blanks.
std::string_view Keyword(Lines& lines, const std::string& keyword) {
  std::string_view line = lines.Need(keyword + " line"), rest;
  if (!TakeKeyword(line, keyword, &rest)) FailLine(keyword + " line expected", line);
  return rest;
}

std::string Quoted(Lines& lines, const std::string& keyword, std::string_view first = std::string_view()) {
  std::string_view line = first.empty() ? lines.Need(keyword + " line") : first, rest;
  if (!TakeKeyword(line, keyword, &rest)) FailLine(keyword + " line expected", line);
  rest = Trimmed(rest);
  if (!rest.empty()) {
    if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"' ||
        rest.substr(1, rest.size() - 2).find('"') != std::string_view::npos) {
      FailLine(keyword + " needs one quoted text", line);
    }
    rest = rest.substr(1, rest.size() - 2);
  }
  if (rest.size() > kNameChars) Fail(keyword + " is longer than " + std::to_string(kNameChars) + " characters");
  return std::string(rest);
}

// The ACTIVITYCODE line: the text after the keyword and one character.
std::string ActivityCode(Lines& lines) {
  std::string_view line = lines.Need("ACTIVITYCODE line");
  if (line.substr(0, 12) != "ACTIVITYCODE" || (line.size() > 12 && !IsBlank(line[12]))) {
    FailLine("ACTIVITYCODE line expected", line);
  }
  return line.size() > 13 ? std::string(line.substr(13)) : std::string();
}

// ---------------------------------------------------------------- vehicles

struct Slot {
  int64_t substance = 0;
  float emission[kSpeeds] = {};
};

ReferenceRecord ReadVehicle(std::string_view first, LineReader& reader) {
  Lines lines(reader);
  std::string name = Quoted(lines, "NAME", first);
  int64_t index = Whole(Keyword(lines, "INDEX"), 0, std::numeric_limits<uint16_t>::max(), "INDEX");
  std::string code = ActivityCode(lines);
  int64_t heavy = Whole(Keyword(lines, "ISHEAVY"), INT32_MIN, INT32_MAX, "ISHEAVY");
  std::vector<Slot> slots;
  std::string_view line;
  while (lines.More(&line)) {
    std::string_view rest;
    if (!TakeKeyword(line, "SUBSTANCE", &rest)) FailLine("SUBSTANCE line expected", line);
    if (slots.size() == kMaxSubstances) Fail("more than " + std::to_string(kMaxSubstances) + " substances");
    Slot slot;
    // Substance 0 would end the library's list of substances.
    slot.substance = Whole(rest, 1, std::numeric_limits<int16_t>::max(), "SUBSTANCE");
    for (const Slot& other : slots) {
      if (other.substance == slot.substance) Fail("substance " + std::to_string(slot.substance) + " comes twice");
    }
    for (int s = 1; s <= kSpeeds; ++s) {
      std::string what = "SPEED " + std::to_string(s) + " line of substance " + std::to_string(slot.substance);
      std::vector<std::string_view> words = Words(lines.Need(what));
      if (words.size() != 4 || words[0] != "SPEED" || words[2] != "EMISSION" ||
          Whole(words[1], 1, kSpeeds, what) != s) {
        Fail(what + " needs SPEED " + std::to_string(s) + " EMISSION and a number");
      }
      slot.emission[s - 1] = Single(words[3], what);
    }
    slots.push_back(slot);
  }
  std::stable_sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) { return a.substance < b.substance; });

  ReferenceRecord record;
  record.index = static_cast<uint32_t>(index);
  AppendLine(&record.text, "NAME \"" + name + "\"");
  AppendLine(&record.text, "INDEX " + std::to_string(index));
  AppendLine(&record.text, "ACTIVITYCODE " + code);
  AppendLine(&record.text, "ISHEAVY " + std::to_string(heavy));
  for (const Slot& slot : slots) {
    AppendLine(&record.text, "SUBSTANCE " + std::to_string(slot.substance));
    for (int s = 1; s <= kSpeeds; ++s) {
      char head[32];
      std::snprintf(head, sizeof head, "    SPEED %3d EMISSION ", s);
      AppendLine(&record.text, head + ShortestSingle(slot.emission[s - 1]));
    }
  }
  return record;
}

// ---------------------------------------------------------------- road vehicles

// "substance class... factor factor factor factor", normalised to single blanks.
std::string EmissionLine(std::string_view line, const RoadVehicleDefinition& definition) {
  std::vector<std::string_view> words = Words(line);
  size_t dimensions = definition.classes.size();
  if (words.size() != 1 + dimensions + 4) {
    FailLine("an emission line needs a substance, " + std::to_string(dimensions) + " class texts and four factors",
             line);
  }
  std::string text = std::to_string(Whole(words[0], 1, INT32_MAX, "the substance of an emission line"));
  for (size_t d = 0; d < dimensions; ++d) {
    const std::vector<std::string>& classes = definition.classes[d];
    if (std::find(classes.begin(), classes.end(), words[1 + d]) == classes.end()) {
      FailLine("unknown class text " + Shown(words[1 + d]) + " of dimension " + std::to_string(d + 1), line);
    }
    text += " " + std::string(words[1 + d]);
  }
  for (size_t f = 0; f < 4; ++f) text += " " + ShortestSingle(Single(words[1 + dimensions + f], "an emission factor"));
  return text;
}

ReferenceRecord ReadRoadVehicle(std::string_view first, LineReader& reader, const RoadVehicleDefinition& definition) {
  Lines lines(reader);
  std::string name = Quoted(lines, "NAME", first);
  int64_t index = Whole(Keyword(lines, "INDEX"), 0, UINT32_MAX, "INDEX");
  std::string code = ActivityCode(lines);
  int64_t heavy = Whole(Keyword(lines, "ISHEAVY"), INT32_MIN, INT32_MAX, "ISHEAVY");
  int64_t traffic = Whole(Keyword(lines, "ISTRAFFIC"), INT32_MIN, INT32_MAX, "ISTRAFFIC");
  // The library prints the whole weight as a real number ("1500.000000").
  std::string_view weightText = Trimmed(Keyword(lines, "WEIGHT"));
  std::string weightCopy(weightText);
  char* end = nullptr;
  double weight = std::strtod(weightCopy.c_str(), &end);
  if (weightCopy.empty() || *end != 0 || weight != std::floor(weight) || weight < INT32_MIN || weight > INT32_MAX) {
    Fail("WEIGHT needs a whole number: " + Shown(weightText));
  }
  int64_t model = Whole(Keyword(lines, "EMISSIONMODEL"), INT32_MIN, INT32_MAX, "EMISSIONMODEL");
  float flow = Single(Keyword(lines, "FLOWEQUI"), "FLOWEQUI");
  int64_t dependency = Whole(Keyword(lines, "DEPENDENCY"), 0, UINT32_MAX, "DEPENDENCY");
  std::string info = Quoted(lines, "INFO");

  ReferenceRecord record;
  record.index = static_cast<uint32_t>(index);
  AppendLine(&record.text, "NAME \"" + name + "\"");
  AppendLine(&record.text, "INDEX " + std::to_string(index));
  AppendLine(&record.text, "ACTIVITYCODE " + code);
  AppendLine(&record.text, "ISHEAVY " + std::to_string(heavy));
  AppendLine(&record.text, "ISTRAFFIC " + std::to_string(traffic));
  char weightLine[48];
  std::snprintf(weightLine, sizeof weightLine, "WEIGHT %f", weight);
  AppendLine(&record.text, weightLine);
  AppendLine(&record.text, "EMISSIONMODEL " + std::to_string(model));
  AppendLine(&record.text, "FLOWEQUI " + ShortestSingle(flow));
  AppendLine(&record.text, "DEPENDENCY " + std::to_string(dependency));
  AppendLine(&record.text, "INFO \"" + info + "\"");
  std::string_view line;
  while (lines.More(&line)) AppendLine(&record.text, EmissionLine(line, definition));
  return record;
}

// ---------------------------------------------------------------- roadtypes

// A value line of a group: the first with its keyword, the others opening
// with a blank or tab.
std::vector<std::string_view> Values(std::string_view line, const char* keyword, bool first, size_t count,
                                     const std::string& what) {
  std::string_view rest;
  if (first ? !TakeKeyword(line, keyword, &rest) : (line.empty() || !IsBlank(line[0]))) {
    FailLine(what + " expected", line);
  }
  std::vector<std::string_view> words = Words(first ? rest : line);
  if (words.size() != count) FailLine(what + " needs " + std::to_string(count) + " values", line);
  return words;
}

std::string RoadtypeBlock(Lines& lines, std::string_view vehicleLine) {
  std::string text;
  AppendLine(&text, "VEHICLE " + std::to_string(Whole(vehicleLine, 1, UINT16_MAX, "VEHICLE")));
  for (int hour = 1; hour <= 24; ++hour) {
    std::string what = "TYPEDAY line for hour " + std::to_string(hour);
    std::vector<std::string_view> v = Values(lines.Need(what), "TYPEDAY", hour == 1, 4, what);
    for (std::string_view value : v) {
      if (value.size() > kTypedayChars) Fail("a TYPEDAY value is longer than 15 characters: " + Shown(value));
    }
    AppendLine(&text, std::string(hour == 1 ? "TYPEDAY" : "") + "\t " + std::string(v[0]) + " " + std::string(v[1]) + " " +
                    std::string(v[2]) + " " + std::string(v[3]));
  }
  for (int part = 0; part < 2; ++part) {
    std::string what = "MONTH line " + std::to_string(part + 1);
    std::vector<std::string_view> v = Values(lines.Need(what), "MONTH", part == 0, 6, what);
    std::string line = part == 0 ? "MONTH\t" : "\t";
    for (std::string_view value : v) {
      char cell[16];
      std::snprintf(cell, sizeof cell, " %4d", static_cast<int>(Whole(value, INT16_MIN, INT16_MAX, what)));
      line += cell;
    }
    AppendLine(&text, line);
  }
  for (int part = 0; part < 2; ++part) {
    std::string what = "SCENARIO line " + std::to_string(part + 1);
    std::vector<std::string_view> v = Values(lines.Need(what), "SCENARIO", part == 0, 5, what);
    std::string line = part == 0 ? "SCENARIO\t" : "\t";
    for (std::string_view value : v) line += " " + ShortestSingle(Single(value, what));
    AppendLine(&text, line);
  }
  std::string_view line = lines.Need("MINSPEED/MAXSPEED line");
  std::vector<std::string_view> w = Words(line);
  if (w.size() != 4 || w[0] != "MINSPEED" || w[2] != "MAXSPEED") FailLine("MINSPEED and MAXSPEED expected", line);
  AppendLine(&text, "MINSPEED " + std::to_string(Whole(w[1], INT16_MIN, INT16_MAX, "MINSPEED")) + " MAXSPEED " +
                  std::to_string(Whole(w[3], INT16_MIN, INT16_MAX, "MAXSPEED")));
  return text;
}

ReferenceRecord ReadRoadtype(std::string_view first, LineReader& reader) {
  Lines lines(reader);
  std::string name = Quoted(lines, "NAME", first);
  int64_t index = Whole(Keyword(lines, "INDEX"), 0, UINT16_MAX, "INDEX");
  ReferenceRecord record;
  record.index = static_cast<uint32_t>(index);
  AppendLine(&record.text, "NAME \"" + name + "\"");
  AppendLine(&record.text, "INDEX " + std::to_string(index));
  std::string_view line;
  size_t blocks = 0;
  while (lines.More(&line)) {
    std::string_view rest;
    if (!TakeKeyword(line, "VEHICLE", &rest)) FailLine("VEHICLE line expected", line);
    if (++blocks > kMaxBlocks) Fail("more than " + std::to_string(kMaxBlocks) + " vehicles");
    record.text += RoadtypeBlock(lines, rest);
  }
  return record;
}

}  // namespace

std::string ShortestSingle(float value) {
  char text[32];
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

bool ReadRoadVehicleDefinition(std::string_view text, RoadVehicleDefinition* definition, std::string* problem) {
  LineReader reader(text);
  Lines lines(reader);
  try {
    int64_t dimensions = Whole(Keyword(lines, "DIMENSION"), 0, kMaxDimensions, "DIMENSION");
    std::vector<int64_t> counts;
    for (int64_t d = 1; d <= dimensions; ++d) {
      std::string key = "DIM" + std::to_string(d);
      counts.push_back(Whole(Keyword(lines, key), 0, kMaxClasses, key));
    }
    definition->dimspeed = Whole(Keyword(lines, "DIMSPEED"), INT32_MIN, INT32_MAX, "DIMSPEED");
    definition->usealtspeed = Whole(Keyword(lines, "USEALTSPEED"), INT32_MIN, INT32_MAX, "USEALTSPEED");
    definition->headers.clear();
    definition->classes.assign(static_cast<size_t>(dimensions), {});
    for (int64_t d = 1; d <= dimensions; ++d) {
      std::string key = "HEADER" + std::to_string(d);
      std::string_view line = lines.Need(key + " line");
      if (line.substr(0, key.size()) != key) FailLine(key + " line expected", line);
      definition->headers.emplace_back(line.size() > key.size() ? line.substr(key.size() + 1) : std::string_view());
      for (int64_t t = 1; t <= counts[d - 1]; ++t) {
        std::string textKey = "TEXT" + std::to_string(t);
        line = lines.Need(textKey + " line");
        if (line.substr(0, textKey.size()) != textKey || line.size() <= textKey.size() + 1) {
          FailLine(textKey + " line with a class text expected", line);
        }
        std::string_view value = line.substr(textKey.size() + 1);
        // A class text stands as one word in the road vehicles' emission lines.
        if (Words(value).size() != 1 || Trimmed(value) != value) FailLine("a class text must be one word", line);
        definition->classes[d - 1].emplace_back(value);
      }
    }
    std::string_view extra;
    if (lines.More(&extra)) FailLine("unexpected line after the definition", extra);
  } catch (const RecordFault& bad) {
    *problem = "road-vehicle definition: " + bad.what;
    return false;
  }
  return true;
}

std::string RoadVehicleDefinitionText(const RoadVehicleDefinition& definition) {
  std::string text;
  size_t dimensions = definition.classes.size();
  AppendLine(&text, "DIMENSION " + std::to_string(dimensions));
  for (size_t d = 0; d < dimensions; ++d) {
    AppendLine(&text, "DIM" + std::to_string(d + 1) + " " + std::to_string(definition.classes[d].size()));
  }
  AppendLine(&text, "DIMSPEED " + std::to_string(definition.dimspeed));
  AppendLine(&text, "USEALTSPEED " + std::to_string(definition.usealtspeed));
  for (size_t d = 0; d < dimensions; ++d) {
    AppendLine(&text, "HEADER" + std::to_string(d + 1) + " " + definition.headers[d]);
    for (size_t t = 0; t < definition.classes[d].size(); ++t) {
      AppendLine(&text, "TEXT" + std::to_string(t + 1) + " " + definition.classes[d][t]);
    }
  }
  return text;
}

bool IsVehicleKind(std::string_view kind) { return kind == "veh" || kind == "sveh" || kind == "roadtype"; }

bool ReadVehicleKindRecords(std::string_view kind, std::string_view lines, std::string_view storedDefinition,
                            std::vector<ReferenceRecord>* records, std::string* reason) {
  records->clear();
  LineReader reader(lines);
  RoadVehicleDefinition definition;
  if (kind == "sveh") {
    // The definition block: the lines up to the first separator after it.
    std::string block;
    std::string_view line;
    while (reader.Next(&line)) {
      if (IsSeparatorLine(line)) {
        if (block.empty()) continue;
        break;
      }
      AppendLine(&block, std::string(line));
    }
    // An EDB without a definition gets back what a workbook shows for it: no
    // dimensions and empty DIMSPEED and USEALTSPEED cells.
    bool noDefinition = storedDefinition.empty() && block == "DIMENSION 0\nDIMSPEED \nUSEALTSPEED \n";
    if (!noDefinition && !ReadRoadVehicleDefinition(block, &definition, reason)) return false;
    RoadVehicleDefinition stored;
    std::string problem;
    if (!storedDefinition.empty() && !ReadRoadVehicleDefinition(storedDefinition, &stored, &problem)) {
      *reason = "the EDB's " + problem;
      return false;
    }
    if (RoadVehicleDefinitionText(definition) != RoadVehicleDefinitionText(stored)) {
      *reason = "the road-vehicle definition differs from the EDB's, and it cannot be saved";
      return false;
    }
  }
  std::map<uint32_t, size_t> numberOfIndex;
  bool read = ReadEachRecord(reader, records, reason, [&](std::string_view first, size_t number) {
    ReferenceRecord record = kind == "veh"    ? ReadVehicle(first, reader)
                             : kind == "sveh" ? ReadRoadVehicle(first, reader, definition)
                                              : ReadRoadtype(first, reader);
    auto known = numberOfIndex.emplace(record.index, number);
    if (!known.second) {
      Fail("index " + std::to_string(record.index) + " is also that of record " + std::to_string(known.first->second));
    }
    return record;
  });
  if (!read) return false;
  std::stable_sort(records->begin(), records->end(),
                   [](const ReferenceRecord& a, const ReferenceRecord& b) { return a.index < b.index; });
  return true;
}

}  // namespace edb
