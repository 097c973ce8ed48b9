// One line of an EDB's resource file ("edb.rsrc"): what it says, and the line
// a save sends for it.
//
// A line is a head, a ':' and a value.  The head is a keyword and a decimal
// number; the value runs to the end of the line, leading white space and the
// line-end characters left out.  "speed", "temperature" and "scenario" name a
// numbered speed, temperature or scenario; "Sub", "SubGrp", "SubGrpEm" and
// "Search" give a numbered unit as its factor and its name (the first two
// words of the value); any other keyword is a free setting whose tag is the
// whole head (the keyword and whatever follows it, "layer 1"), so that the
// line is written back as it was read.  Keywords compare case-sensitively and
// whole.
#pragma once

#include <cstdint>
#include <string>

enum class RsrcKind : int32_t {
  Speed,
  Temperature,
  Scenario,
  UnitSub,       // substance units
  UnitSubGrp,    // substance-group units
  UnitSubGrpEm,  // substance-group emission units
  UnitSearch,    // searchkey units
  Free,          // a free setting: tag and value
  Kept,          // a line that says none of these; kept as text only
};

// The number of kinds, Kept included.
constexpr int32_t RsrcKindCount = 9;

// What a line loses when the tables hold it (kNone: nothing), or why it is
// Kept.
enum class RsrcLineFault : int32_t {
  kNone,
  kNotSetting,  // Kept: no ':', no head, or nothing after the ':'
  kNoNumber,    // Kept: a known keyword without a number from 0 to 65535
  kNoUnit,      // Kept: a unit line without a factor and a unit name
  kExtraWords,  // held: words after the number or after the unit name are not kept
};

struct RsrcLine {
  RsrcKind kind = RsrcKind::Kept;
  uint16_t number = 0;  // speed, temperature, scenario or unit number
  std::wstring name;    // name, unit name, or the free setting's tag
  std::wstring value;   // the unit's factor, or the free setting's value
  RsrcLineFault fault = RsrcLineFault::kNone;
};

// Reads one line (null reads as empty).  Kept for a line without ':', with a
// head that has no keyword, with a known keyword without a number from 0 to
// 65535, for a unit line whose value lacks the factor or the name, and for a
// free setting with nothing after the ':'.  A speed, temperature or scenario
// with nothing after the ':' is that number without a name (the line a save
// sends for an unnamed number).  A free setting needs no number.
RsrcLine ParseRsrcLine(const wchar_t* line);

// The line a save sends: "speed %hu: %ls", "temperature %hu: %ls",
// "scenario %hu: %ls" (number, name); "Sub %hu: %ls %ls", "SubGrp ...",
// "SubGrpEm ...", "Search ..." (number, factor, name); "%ls: %ls" (tag,
// value).  Empty for Kept.
std::wstring FormatRsrcLine(const RsrcLine& line);

// The keyword of a numbered kind; null for Free and Kept.
const wchar_t* RsrcKeyword(RsrcKind kind);

inline bool IsRsrcNameKind(RsrcKind kind) {
  return kind == RsrcKind::Speed || kind == RsrcKind::Temperature || kind == RsrcKind::Scenario;
}
inline bool IsRsrcUnitKind(RsrcKind kind) {
  return kind == RsrcKind::UnitSub || kind == RsrcKind::UnitSubGrp || kind == RsrcKind::UnitSubGrpEm ||
         kind == RsrcKind::UnitSearch;
}
