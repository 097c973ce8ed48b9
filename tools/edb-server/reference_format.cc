// Text of the reference records (see reference_format.h).
#include "reference_format.h"

#include <type_traits>

#include "line_words.h"

namespace edb {

namespace {

std::string NameLine(const std::string& name) { return "NAME \"" + name + "\""; }

template <typename T, size_t N>
std::string Joined(const std::array<T, N>& values, size_t from, size_t count) {
  std::string text;
  for (size_t i = from; i < from + count; ++i) {
    if (i > from) text.push_back(' ');
    if constexpr (std::is_same<T, float>::value) {
      text += SingleText(values[i]);
    } else {
      text += std::to_string(values[i]);
    }
  }
  return text;
}

}  // namespace

std::string RecordText(const SubstanceEntry& entry) {
  return std::to_string(entry.index) + " \"" + entry.name + "\"\n";
}

std::string RecordText(const TimevarEntry& entry) {
  std::string text;
  AppendLine(&text, NameLine(entry.name));
  AppendLine(&text, "INDEX " + std::to_string(entry.index));
  for (size_t hour = 0; hour < entry.typeday.size(); ++hour) {
    const auto& v = entry.typeday[hour];
    AppendLine(&text, std::string(hour == 0 ? "TYPEDAY" : "") + "\t" + v[0] + " " + v[1] + " " + v[2] + " " + v[3]);
  }
  AppendLine(&text, "MONTH\t" + Joined(entry.month, 0, 6));
  AppendLine(&text, "\t" + Joined(entry.month, 6, 6));
  AppendLine(&text, "SCENARIO\t" + Joined(entry.scenario, 0, 5));
  AppendLine(&text, "\t" + Joined(entry.scenario, 5, 5));
  return text;
}

std::string RecordText(const SubgrpEntry& entry) {
  std::string text;
  AppendLine(&text, NameLine(entry.name));
  AppendLine(&text, "INDEX " + std::to_string(entry.index));
  AppendLine(&text, "SUBSTANCES");
  for (const GroupSlot& slot : entry.slots) {
    if (slot.substance == 0) continue;  // an unused slot
    AppendLine(&text, "\t" + std::to_string(slot.substance) + " \t" + SingleText(slot.slope) + " \t" + SingleText(slot.m) +
                    " \t" + slot.unit);
  }
  return text;
}

std::string RecordText(const EmfacEntry& entry, TextForm form) {
  const char* gap = form == TextForm::kWriter ? " \t" : " ";
  std::string text;
  AppendLine(&text, NameLine(entry.name));
  AppendLine(&text, "INDEX " + std::to_string(entry.index));
  AppendLine(&text, "SUBSTANCE " + std::to_string(entry.substance));
  AppendLine(&text, "FORMULA " + entry.formula);
  for (size_t n = 1; n <= entry.variables.size(); ++n) {
    const EmfacVariable& variable = entry.variables[n - 1];
    AppendLine(&text, "VAR." + std::to_string(n) + gap + variable.name);
    AppendLine(&text, "TYPE." + std::to_string(n) + gap + (variable.constant ? "CONST" : "VAR"));
  }
  return text;
}

}  // namespace edb
