// Demonstration point and area sources of the full demonstration EDB: 240
// sources attached to the demonstration facilities (some to none), with
// direct emissions of several substances (a substance twice in some
// sources), substance-group activities, emission-function activities with
// their variables, time variations, building data, searchkeys, codes and
// attribute texts.  They are printed as the library's writer prints them and
// stored through the same reading as a save, so that the seed is exactly
// what a Load and Save give back.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "line_words.h"
#include "seed_records.h"
#include "source_records.h"

namespace edb {

namespace {

constexpr int kSources = 240;

// Texts are ISO 8859-1: \xe5 a-ring, \xe4 a-umlaut, \xf6 o-umlaut.
const char* const kKinds[] = {"Boiler stack", "Kiln stack", "Flare", "Vent", "Dryer", "Storage tank",
                              "Yard", "Quay", "Heating area", "Stockpile", "R\xf6kg\xe5ng", "Sk\xe4rvent"};
const char* const kSubstanceUnits[] = {"ton/year", "kg/year", "g/year", "g/s"};
const char* const kGroupUnits[] = {"%", "m3/year", "MWh/year", "ton/year"};
// Substances of the direct emissions: NOx, SO2, PM10, PM2.5, CO, NMVOC, CO2, Hg.
const int kSubstances[] = {1, 2, 3, 4, 5, 6, 8, 15};
// Single-precision values whose shortest texts need 6 to 9 digits.
const float kValues[] = {12.5f, 0.1f, 1e-07f, 3.40282347e+38f, 123456.789f, 0.333333343f, 2.5e-05f, 7.0f};

std::string Filled(const std::string& text, size_t chars) {
  std::string out = text;
  while (out.size() < chars) out += " " + text;
  return out.substr(0, chars);
}

// The X and Y of every demonstration facility, from their stored records.
std::vector<std::pair<std::string, std::string>> FacilityPlaces() {
  std::vector<std::pair<std::string, std::string>> places;
  for (const std::string& record : DemoFacilities(false)) {
    // The record opens with "X x" and "Y y".
    std::string x = record.substr(2, record.find('\n') - 2);
    std::string y = record.substr(record.find("\nY ") + 3);
    y = y.substr(0, y.find('\n'));
    places.emplace_back(x, y);
  }
  return places;
}

void Line(std::string* text, const std::string& keyword, const std::string& value) {
  *text += keyword + " " + value + "\n";
}

void Alob(std::string* text, const std::string& prefix, const std::vector<std::string>& lines) {
  Line(text, prefix + "ALOB", std::to_string(lines.size()));
  for (const std::string& line : lines) *text += line + "\n";
}

std::string SourceLines() {
  std::vector<std::pair<std::string, std::string>> places = FacilityPlaces();
  std::vector<EmfacEntry> functions = DemoEmissionFactors();
  size_t groups = DemoSubstanceGroups().size();
  size_t timevars = DemoTimevars(false).size();
  std::string text;
  for (int i = 0; i < kSources; ++i) {
    bool area = i % 3 == 2;
    bool attached = i % 7 != 6;
    const auto& place = places[static_cast<size_t>(i) % places.size()];
    uint32_t x = static_cast<uint32_t>(std::stoul(place.first)) + 15 * static_cast<uint32_t>(i % 11) + 1;
    uint32_t y = static_cast<uint32_t>(std::stoul(place.second)) + 9 * static_cast<uint32_t>(i % 13) + 1;
    Line(&text, "X1", std::to_string(x));
    Line(&text, "Y1", std::to_string(y));
    Line(&text, "X2", area ? std::to_string(x + 250) : "0");
    Line(&text, "Y2", area ? std::to_string(y + 180) : "0");
    Line(&text, "PX", attached ? place.first : "0");
    Line(&text, "PY", attached ? place.second : "0");
    std::string name = std::string(kKinds[i % 12]) + " " + std::to_string(i + 1);
    Line(&text, "NAME", "\"" + (i == 17 ? Filled(name, 47) : name) + "\"");
    Line(&text, "INFO", "\"" + (i % 5 == 0 ? Filled("Permit conditions apply", 47) : std::string(area ? "Area" : "Stack")) + "\"");
    Line(&text, "INFO2", "\"" + (i % 9 == 0 ? Filled("Measured yearly by the operator", 63) : std::string()) + "\"");
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d%02d", 20 + i % 6, 1 + i % 12, 1 + i % 28);
    Line(&text, "DATE", date);
    Line(&text, "CHANGED", i % 4 == 0 ? "000000" : "250601");
    Line(&text, "CHIMNEY HEIGHT", area ? "0" : std::to_string(10 + (i * 7) % 190));
    Line(&text, "GASTEMPERATURE", area ? "0" : std::to_string(40 + (i * 37) % 900));
    Line(&text, "GAS FLOW", area ? "0" : std::to_string(1 + (i * 13) % 400));
    Line(&text, "SEARCHKEY1", std::to_string(1 + i % 28));
    Line(&text, "SEARCHKEY2", std::to_string(1 + i % 27));
    Line(&text, "SEARCHKEY3", i % 4 == 3 ? "0" : std::to_string(1 + i % 26));
    Line(&text, "SEARCHKEY4", std::to_string(1 + i % 25));
    Line(&text, "SEARCHKEY5", i % 5 == 4 ? "0" : std::to_string(1 + i % 25));
    Line(&text, "CHIMNEY OUT", area ? "0" : SingleText(0.5f + 0.25f * static_cast<float>(i % 9)));
    Line(&text, "CHIMNEY IN", area ? "0" : SingleText(i % 8 == 0 ? 0.333333343f : 0.3f + 0.2f * static_cast<float>(i % 7)));
    Line(&text, "HOUSE WIDTH", area ? "0" : std::to_string((i * 3) % 120));
    Line(&text, "HOUSE HEIGHT", area ? "0" : std::to_string((i * 5) % 60));
    int segments = area || i % 4 == 0 ? 0 : i % 10 == 1 ? 36 : 1 + i % 5;
    Line(&text, "NOSEGMENTS", std::to_string(segments));
    const int limits[5] = {255, 255, 32000, 32000, 32000};
    const char* lists[5] = {"BUILD_WIDTHS", "BUILD_HEIGHTS", "BUILD_LENGTHS", "BUILD_DISTFARWALL", "BUILD_CENTER"};
    for (int l = 0; l < 5; ++l) {
      std::string line = lists[l];
      for (int s = 0; s < segments; ++s) line += " " + std::to_string((i * 31 + s * 17 + l * 5) % (limits[l] + 1));
      text += line + "\n";
    }
    Line(&text, "GEOCODE", i % 6 == 5 ? "" : "1480-" + std::to_string(100 + i % 40));
    Line(&text, "FORMULAMACRO", "\"" + std::string(i % 10 == 3 ? "WORKDAYS" : "") + "\"");
    if (i % 3 == 0) {
      Alob(&text, "", {"PERMIT=" + std::to_string(2000 + i), "OPERATOR=Milj\xf6 AB"});
    } else {
      Alob(&text, "", i % 3 == 1 ? std::vector<std::string>{"MEASURED=yes"} : std::vector<std::string>{});
    }
    // Blocks: emissions, then groups, then activities (the order the library
    // writes them in); some sources hold a substance twice.  Within a kind
    // the blocks come in index order, the order in which the workbook shows
    // and saves them, so that a round trip keeps the records as they are.
    int emissions = 1 + i % 3;
    int groupBlocks = i % 4 == 1 ? 2 : i % 4 == 2 ? 1 : 0;
    int activities = i % 5 == 0 ? 2 : i % 5 == 3 ? 1 : 0;
      std::vector<int> groupIndexes, substances;
    for (int n = 1; n <= groupBlocks; ++n) groupIndexes.push_back(1 + (i + n * 5) % static_cast<int>(groups));
    for (int n = 1; n <= emissions; ++n) {
      substances.push_back(n == 3 && i % 6 == 2 ? kSubstances[(i + 1) % 8] : kSubstances[(i + n) % 8]);
    }
    std::sort(groupIndexes.begin(), groupIndexes.end());
    std::sort(substances.begin(), substances.end());
    auto group = [&](int n) {
      std::string k = "SUBGRP." + std::to_string(n) + ".";
      Line(&text, k + "SUBGRP", std::to_string(groupIndexes[static_cast<size_t>(n - 1)]));
      Line(&text, k + "ACTIVITY", SingleText(i % 11 == 1 ? 2.5e-05f : 100.0f + static_cast<float>(i) * 1.5f));
      Line(&text, k + "TIMEVAR", std::to_string(1 + (i + n) % static_cast<int>(timevars)));
      Line(&text, k + "UNIT", kGroupUnits[(i + n) % 4]);
      Line(&text, k + "ACTCODE", n == 1 ? "1.A.4.b" : "");
      Alob(&text, k, n == 1 && i % 8 == 1 ? std::vector<std::string>{"SOURCE=questionnaire"} : std::vector<std::string>{});
    };
    int groupsWritten = 0;
    for (int n = 1; n <= emissions; ++n) {
      std::string k = "EMISSION." + std::to_string(n) + ".";
      int substance = substances[static_cast<size_t>(n - 1)];
      bool macro = i % 13 == 4 && n == 1;
      float value = kValues[(i + n) % 8];
      if (macro) value = -value;
      Line(&text, k + "SUBSTANCE", std::to_string(substance));
      Line(&text, k + "EMISSION", SingleText(value));
      Line(&text, k + "TIMEVAR", std::to_string(1 + (i * 3 + n) % static_cast<int>(timevars)));
      Line(&text, k + "UNIT", kSubstanceUnits[(i + n) % 4]);
      Line(&text, k + "MACRO", macro ? "CORRECTION" : "");
      Line(&text, k + "ACTCODE", i % 2 ? "1.A.1.a" : "");
      Alob(&text, k, n == 2 && i % 5 == 2 ? std::vector<std::string>{"METHOD=measured", "YEAR=2024"}
                                          : std::vector<std::string>{});
    }
    while (groupsWritten < groupBlocks) group(++groupsWritten);
    std::vector<size_t> picked;
    // The last function is used by no source: an EDB may hold functions
    // that nothing uses yet.
    for (int n = 1; n <= activities; ++n) picked.push_back(static_cast<size_t>(i * 7 + n * 3) % (functions.size() - 1));
    std::sort(picked.begin(), picked.end());
    for (int n = 1; n <= activities; ++n) {
      const EmfacEntry& f = functions[picked[static_cast<size_t>(n - 1)]];
      int variables = 0;
      for (const EmfacVariable& v : f.variables) variables += v.constant ? 0 : 1;
      if (n == 2 && variables > 0) --variables;  // fewer than the function has
      std::string k = "ACTIVITY." + std::to_string(n) + ".";
      Line(&text, k + "EMFAC", std::to_string(f.index));
      Line(&text, k + "TIMEVAR", std::to_string(1 + (i + 2 * n) % static_cast<int>(timevars)));
      for (int v = 1; v <= variables; ++v) {
        Line(&text, k + "VAR." + std::to_string(v), SingleText(static_cast<float>(i * v) * 0.75f + 0.1f));
      }
      Line(&text, k + "ACTCODE", n == 1 ? "2.D.3" : "");
      Alob(&text, k, {});
    }
    text += "\n";
  }
  return text;
}

}  // namespace

std::vector<std::string> DemoSources(bool noInventory) {
  if (noInventory) return {};
  std::vector<ReferenceRecord> records;
  std::string reason;
  if (!ReadSourceRecords(SourceLines(), &records, &reason)) {
    throw std::logic_error("demonstration source records refused: " + reason);
  }
  std::vector<std::string> texts;
  for (ReferenceRecord& r : records) texts.push_back(std::move(r.text));
  return texts;
}

std::string DemoSourceSaveLines() { return SourceLines(); }

}  // namespace edb
