// The reference records (substances and searchkeys, time variations,
// substance groups, emission factors) as values, and their text: as the
// library's writer prints them into a save body, and as the server stores
// and returns them.  The two differ only where the writer puts a blank and a
// tab between a keyword and its value: the server keeps one blank.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace edb {

// Field limits of the library's records, in characters.
constexpr size_t kSubstanceNameChars = 255;
constexpr size_t kReferenceNameChars = 19;  // time variations, groups, factors
constexpr size_t kTypedayValueChars = 15;
constexpr size_t kUnitChars = 63;
constexpr size_t kVariableNameChars = 15;
constexpr size_t kMaxGroupSlots = 250;
constexpr size_t kMaxVariables = 46;
// The longest line the library reads.
constexpr size_t kMaxLineChars = 8095;

struct SubstanceEntry {
  uint16_t index = 0;
  std::string name;
};

struct TimevarEntry {
  std::string name;
  uint16_t index = 0;
  // Per hour 1..24 the values of Monday to Thursday, Friday, Saturday, Sunday.
  std::array<std::array<std::string, 4>, 24> typeday;
  std::array<int16_t, 12> month{};
  std::array<float, 10> scenario{};
};

struct GroupSlot {
  int16_t substance = 0;
  float slope = 0;
  float m = 0;
  std::string unit;
};

struct SubgrpEntry {
  std::string name;
  uint32_t index = 0;
  std::vector<GroupSlot> slots;
};

struct EmfacVariable {
  std::string name;
  bool constant = false;
};

struct EmfacEntry {
  std::string name;
  uint32_t index = 0;
  int32_t substance = 0;
  std::string formula;
  std::vector<EmfacVariable> variables;
};

enum class TextForm {
  kWriter,  // as the library's writer prints it
  kStored,  // as the server stores and returns it
};

// The record's lines, each followed by "\n", without the separator line.
std::string RecordText(const SubstanceEntry& entry);
std::string RecordText(const TimevarEntry& entry);
std::string RecordText(const SubgrpEntry& entry);
std::string RecordText(const EmfacEntry& entry, TextForm form);

}  // namespace edb
