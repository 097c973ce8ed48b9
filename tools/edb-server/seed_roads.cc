// Demonstration roads of the full demonstration EDB: 520 street and road
// segments of a city with polylines of 2 to 50 points, some on roadtypes and
// some with explicit emission factors and class speeds, some with direct
// emissions, street canyons, barriers, noise factors and attribute lines.
// They are printed as the library's writer prints them and stored through
// the same reading as a save, so that the seed is exactly what a Load and
// Save give back.
#include <stdexcept>
#include <string>
#include <vector>

#include "road_records.h"
#include "seed_records.h"

namespace edb {

namespace {

// ISO 8859-1: \xe5 a-ring, \xe4 a-umlaut, \xf6 o-umlaut, \xd6 O-umlaut.
const char* const kStreets[] = {
    "Kungsportsavenyn", "G\xf6tgatan",       "Vasagatan",        "Linn\xe9gatan",      "Sk\xe5negatan",
    "Odinsgatan",       "Friggagatan",       "Eklandagatan",     "\xd6stra Hamngatan", "Norra Hamngatan",
    "Allm\xe4nna v\xe4gen", "Dag Hammarskj\xf6ldsleden", "Oscarsleden", "Lundbyleden", "Hisingsleden",
    "E6 Kungsbackaleden", "E20 Alings\xe5sleden", ("R\xf6" "da v\xe4gen"), "M\xf6lndalsv\xe4gen", "Fr\xf6lundagatan"};

std::string Quoted(const char* keyword, const std::string& value) {
  return std::string(keyword) + " \"" + value + "\"\n";
}

std::string Line(const std::string& keyword, long long value) { return keyword + " " + std::to_string(value) + "\n"; }

std::string RoadLines() {
  std::string text;
  const int kRoads = 520;
  for (int k = 1; k <= kRoads; ++k) {
    const char* street = kStreets[k % 20];
    bool typed = k % 3 != 0;      // on a roadtype, else explicit emission factors
    bool emissions = k % 17 == 0;  // direct emissions instead of traffic
    bool speeds = k % 5 != 1;      // the seven further speeds given
    text += Quoted("NAME", std::string(street) + " " + std::to_string(k));
    text += Quoted("INFO", k % 7 == 0 ? "" : "Segment " + std::to_string(k) + ", " + street);
    text += Quoted("INFO2", k % 4 == 0 ? "Traffic count 2024, Trafikkontoret G\xf6teborg, station " +
                                             std::to_string(100 + k)
                                       : std::string());
    text += Line("VEHICLES", 800 + (k * 137) % 42000);
    text += Quoted("VEHICLEMACRO", k % 6 == 0 ? "URBAN" : "");
    text += std::string("CORRFACTOR ") + (k % 9 == 0 ? "1.05" : k % 11 == 0 ? "0.925" : "1") + "\n";
    text += Line("NOLANES", 1 + k % 4);
    text += Line("SPEED", 1 + k % 11);
    text += Line("ROADTYPE", typed && !emissions ? 1 + k % 17 : 0);
    if (typed || emissions) {
      text += "EMIFAC \n";
    } else {
      text += "EMIFAC " + std::to_string(1 + k % 7) + " " + std::to_string(1 + k % 8) + " " +
              std::to_string(1 + k % 5) + "\n";
    }
    int entries = 1 + k % 4;
    for (int e = 1; e <= entries; ++e) {
      if (emissions) {
        // Substance, road time variation, minus the emission.
        text += "VEH" + std::to_string(e) + " " + std::to_string(e == 1 ? 1 : e == 2 ? 3 : e == 3 ? 4 : 8) + " " +
                std::to_string(1 + (k + e) % 20) + " -" + std::to_string(e * 3) + ".25\n";
      } else {
        static const char* const shares[] = {"0", "62.5", "20", "12.25", "5.25"};
        text += "VEH" + std::to_string(e) + " " + std::to_string(1 + (k * 7 + e * 5) % 32) + " " +
                std::to_string(1 + (k + e) % 20) + " " + shares[e] + "\n";
      }
    }
    // Class speeds (1 to 5) without a roadtype, speed numbers (1 to 11) with one.
    int top = typed && !emissions ? 11 : 5;
    int heavy = speeds ? 1 + (k + 3) % top : 0;
    text += Line("HEAVYSPEED", heavy);
    for (int i = 1; i <= 3; ++i) text += Line("CONGSPEED" + std::to_string(i), speeds ? 1 + (k + i) % top : 0);
    for (int i = 1; i <= 3; ++i) text += Line("HEAVYCONGSPEED" + std::to_string(i), speeds ? 1 + (k + 2 * i) % top : 0);
    text += std::string("PERCHEAVY ") + (k % 10 == 0 ? "12.5" : k % 3 == 0 ? "7" : "4.75") + "\n";
    text += Line("SEARCHKEY1", 5);
    text += Line("SEARCHKEY2", 1 + k % 27);
    text += Line("SEARCHKEY3", k % 2 ? 1 : 0);
    text += Line("SEARCHKEY4", 0);
    text += Line("SEARCHKEY5", k % 3 ? 10 : 0);
    text += std::string("GEOCODE ") + (k % 8 == 0 ? "" : "1480") + "\n";
    bool canyon = k % 4 == 1;
    text += Line("WIDTH", canyon ? 18 + k % 12 : 0);
    text += Line("DISTHOUSES", canyon ? 9 + k % 6 : 0);
    text += Line("SLOPE", (k % 9) - 4);
    text += Line("ELEVATION", 5 + k % 60);
    if (canyon) {
      std::string heights;
      for (int h = 0; h < 12; ++h) heights += (h ? " " : "") + std::to_string(12 + ((k + h) % 7) * 3);
      text += "HEIGHT " + heights + "\n";
    } else {
      text += "HEIGHT 0 0 0 0 0 0 0 0 0 0 0 0\n";
    }
    bool barrier = k % 10 == 3;
    text += std::string("BARRIERHEIGHT ") + (barrier ? "3.5 2.25" : "0 0") + "\n";
    text += std::string("BARRIERANGLE ") + (barrier ? "90 270" : "0 0") + "\n";
    text += std::string("BARRIERDISTANCE ") + (barrier ? "7.5 12" : "0 0") + "\n";
    text += std::string("NOISE ") + (k % 2 ? "1 1.5 2.25 0.75" : "1 1 1 1") + "\n";
    if (k % 5 == 2) {
      text += "ALOB 2\nOWNER=Trafikkontoret\nPAVEMENT=" + std::string(k % 2 ? "asphalt" : "stone setts") + "\n";
    } else {
      text += "ALOB 0\n";
    }
    int points = 2 + (k * 13) % 49;  // 2 to 50
    long long x = 310000 + (k * 733) % 25000, y = 6390000 + (k * 1193) % 30000;
    for (int p = 0; p < points; ++p) {
      text += "X" + std::to_string(p) + " " + std::to_string(x) + " Y" + std::to_string(p) + " " + std::to_string(y) +
              "\n";
      x += 20 + (p * 7 + k) % 60;
      y += ((p + k) % 5) * 9 - 14;
    }
    text += "\n";
  }
  return text;
}

}  // namespace

std::vector<std::string> DemoRoads(bool noInventory) {
  if (noInventory) return {};
  std::vector<ReferenceRecord> records;
  std::string reason;
  if (!ReadRoadRecords(RoadLines(), &records, &reason)) {
    throw std::logic_error("demonstration roads refused: " + reason);
  }
  std::vector<std::string> texts;
  for (ReferenceRecord& r : records) texts.push_back(std::move(r.text));
  return texts;
}

std::string DemoRoadSaveLines() { return RoadLines(); }

}  // namespace edb
