// Demonstration traffic records of the full demonstration EDB: vehicles with
// emission factors over the eleven speeds, the road-vehicle definition, road
// vehicles with their emission lines and roadtypes.  Each kind is printed as
// the library's writer prints it and stored through the same reading as a
// save, so that the seed is exactly what a Load and Save give back.
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "seed_records.h"
#include "vehicle_records.h"

namespace edb {

namespace {

// Substance numbers of the demonstration substance list.
enum Substance { kNOx = 1, kPM10 = 3, kPM25 = 4, kCO = 5, kNMVOC = 6, kCO2 = 8, kBenzene = 9, kCH4 = 11, kN2O = 12,
                 kBC = 30 };

// The number rounded to four significant digits, as a person would type it.
double Rounded(double v) {
  if (v <= 0) return 0;
  double scale = std::pow(10.0, 3 - static_cast<int>(std::floor(std::log10(v))));
  return std::round(v * scale) / scale;
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", Rounded(v));
  return text;
}

struct VehicleDefinition {
  const char* name;
  const char* code;  // activity code
  bool heavy;
  double nox, pm, co, hc, co2;  // g/km at 50 km/h
};

const VehicleDefinition kVehicles[] = {
    {"Car petrol Euro4", "7.1.1", false, 0.06, 0.002, 0.9, 0.07, 170},
    {"Car petrol Euro5", "7.1.1", false, 0.05, 0.0015, 0.7, 0.06, 160},
    {"Car petrol Euro6", "7.1.1", false, 0.04, 0.0012, 0.5, 0.05, 150},
    {"Car diesel Euro4", "7.1.2", false, 0.55, 0.03, 0.1, 0.02, 150},
    {"Car diesel Euro5", "7.1.2", false, 0.6, 0.004, 0.07, 0.015, 140},
    {"Car diesel Euro6", "7.1.2", false, 0.25, 0.0015, 0.05, 0.01, 135},
    {"Car hybrid", "7.1.3", false, 0.02, 0.001, 0.3, 0.03, 100},
    {"Car plug-in hybrid", "7.1.3", false, 0.015, 0.001, 0.2, 0.02, 60},
    {"Car E85", "7.1.4", false, 0.04, 0.0015, 0.8, 0.09, 45},
    {"Car CNG", "7.1.5", false, 0.03, 0.001, 0.4, 0.12, 125},
    {"LCV petrol Euro5", "7.2.1", false, 0.08, 0.002, 1.2, 0.1, 220},
    {"LCV diesel Euro5", "7.2.2", false, 1.1, 0.005, 0.1, 0.02, 210},
    {"LCV diesel Euro6", "7.2.2", false, 0.45, 0.002, 0.08, 0.015, 200},
    {"HGV rigid Euro V", "7.3.1", true, 3.5, 0.05, 0.8, 0.05, 650},
    {"HGV rigid Euro VI", "7.3.1", true, 0.4, 0.02, 0.3, 0.02, 630},
    {"HGV artic Euro V", "7.3.2", true, 5.2, 0.07, 1.1, 0.07, 950},
    {"HGV artic Euro VI", "7.3.2", true, 0.6, 0.03, 0.4, 0.03, 920},
    {"Bus diesel Euro V", "7.4.1", true, 6.1, 0.08, 1.5, 0.1, 1100},
    {"Bus diesel Euro VI", "7.4.1", true, 0.7, 0.03, 0.5, 0.04, 1050},
    {"Bus biogas", "7.4.2", true, 1.2, 0.02, 2.5, 0.6, 80},
    {"Bus HVO", "7.4.3", true, 0.65, 0.025, 0.45, 0.035, 150},
    {"Coach Euro VI", "7.4.4", true, 0.5, 0.025, 0.4, 0.03, 900},
    {"Refuse truck", "7.3.3", true, 4.0, 0.06, 1.3, 0.08, 1300},
    {"Moped 2-stroke", "7.5.1", false, 0.15, 0.08, 6.0, 3.5, 50},
    {"Motorcycle 4-stroke", "7.5.2", false, 0.2, 0.01, 5.0, 0.8, 110},
    {"Taxi hybrid", "7.1.6", false, 0.025, 0.001, 0.35, 0.035, 105},
    {"Car electric", "", false, 0, 0.0025, 0, 0, 0},
};

// Speed class s (1..11) is 10 + 10 s km/h; factors follow a U-shaped curve
// with its lowest point near 70 km/h, relative to the value at 50 km/h.
double SpeedFactor(int s, double curve) {
  double v = 10.0 + 10.0 * s;
  auto f = [curve](double speed) { return curve * 30.0 / speed + 1.0 + 0.00008 * (speed - 70) * (speed - 70); };
  return f(v) / f(50);
}

std::string VehicleLines() {
  std::string text;
  unsigned index = 1;
  for (const VehicleDefinition& vehicle : kVehicles) {
    text += "NAME \"" + std::string(vehicle.name) + "\"\nINDEX " + std::to_string(index) + "\nACTIVITYCODE " +
            vehicle.code + "\nISHEAVY " + (vehicle.heavy ? "1" : "0") + "\n";
    struct Emission {
      int substance;
      double value;
      double curve;
    };
    std::vector<Emission> emissions = {{kCO2, vehicle.co2, 1.0},  {kNOx, vehicle.nox, 1.2}, {kPM10, vehicle.pm * 1.1 + 0.012, 0.6},
                                       {kPM25, vehicle.pm + 0.005, 0.6}, {kCO, vehicle.co, 1.5},  {kNMVOC, vehicle.hc, 1.8}};
    if (vehicle.heavy || vehicle.pm > 0.01) emissions.push_back({kBC, vehicle.pm * 0.6, 0.8});
    if (vehicle.hc > 0.05) emissions.push_back({kBenzene, vehicle.hc * 0.05, 1.8});
    if (vehicle.co2 > 0) emissions.push_back({kCH4, vehicle.hc * 0.08 + 0.001, 1.4});
    if (vehicle.co2 > 0) emissions.push_back({kN2O, vehicle.heavy ? 0.03 : 0.005, 0.5});
    // Written in the order the substances come to mind, not by number: the
    // library and the server sort them.
    for (const Emission& e : emissions) {
      if (e.value <= 0) continue;
      text += "SUBSTANCE " + std::to_string(e.substance) + "\n";
      for (int s = 1; s <= 11; ++s) {
        char line[64];
        std::snprintf(line, sizeof line, "    SPEED %3d EMISSION %s\n", s, Number(e.value * SpeedFactor(s, e.curve)).c_str());
        text += line;
      }
    }
    text += "\n";
    ++index;
  }
  return text;
}

// The road-vehicle definition: vehicle category, fuel and speed class.
const char* const kCategories[] = {"Car", "LCV", "HGV", "Bus", "Coach", "Moped", "MC"};
const char* const kFuels[] = {"Petrol", "Diesel", "Hybrid", "E85", "CNG", "Biogas", "HVO", "Electric"};
const char* const kSpeedClasses[] = {"30kmh", "50kmh", "70kmh", "90kmh", "110kmh"};

std::string DefinitionLines() {
  RoadVehicleDefinition definition;
  definition.headers = {"Vehicle category", "Fuel", "Speed class"};
  definition.classes = {std::vector<std::string>(std::begin(kCategories), std::end(kCategories)),
                        std::vector<std::string>(std::begin(kFuels), std::end(kFuels)),
                        std::vector<std::string>(std::begin(kSpeedClasses), std::end(kSpeedClasses))};
  definition.dimspeed = 3;
  definition.usealtspeed = 0;
  return RoadVehicleDefinitionText(definition);
}

struct RoadVehicleDefinitionRow {
  const char* name;
  const char* category;
  const char* fuel;
  bool heavy;
  int weight;           // kg
  double flow;          // passenger-car equivalents
  int dependency;       // road vehicle number, 0 none
  const char* info;
  double nox;           // g/km free flowing at 50 km/h
};

const RoadVehicleDefinitionRow kRoadVehicles[] = {
    {"PC petrol", "Car", "Petrol", false, 1350, 1, 0, "HBEFA 4.2", 0.045},
    {"PC diesel", "Car", "Diesel", false, 1500, 1, 0, "HBEFA 4.2", 0.32},
    {"PC hybrid", "Car", "Hybrid", false, 1550, 1, 0, "HBEFA 4.2", 0.02},
    {"PC E85", "Car", "E85", false, 1400, 1, 0, "HBEFA 4.2", 0.04},
    {"PC CNG", "Car", "CNG", false, 1450, 1, 0, "HBEFA 4.2", 0.03},
    {"PC electric", "Car", "Electric", false, 1800, 1, 0, "Non-exhaust only", 0},
    {"PC petrol cold", "Car", "Petrol", false, 1350, 1, 1, "Cold start extra", 0.02},
    {"PC diesel cold", "Car", "Diesel", false, 1500, 1, 2, "Cold start extra", 0.05},
    {"Taxi hybrid", "Car", "Hybrid", false, 1600, 1, 3, "Taxi fleet 2025", 0.022},
    {"LCV petrol", "LCV", "Petrol", false, 1900, 1.5, 0, "HBEFA 4.2", 0.07},
    {"LCV diesel", "LCV", "Diesel", false, 2400, 1.5, 0, "HBEFA 4.2", 0.6},
    {"LCV electric", "LCV", "Electric", false, 2600, 1.5, 0, "Non-exhaust only", 0},
    {"LCV diesel cold", "LCV", "Diesel", false, 2400, 1.5, 11, "Cold start extra", 0.08},
    {"HGV rigid diesel", "HGV", "Diesel", true, 12000, 2, 0, "HBEFA 4.2", 1.8},
    {"HGV rigid HVO", "HGV", "HVO", true, 12000, 2, 0, "HBEFA 4.2", 1.6},
    {"HGV rigid biogas", "HGV", "Biogas", true, 12500, 2, 0, "Gas trucks", 0.9},
    {"HGV artic diesel", "HGV", "Diesel", true, 32000, 3, 0, "HBEFA 4.2", 2.9},
    {"HGV artic HVO", "HGV", "HVO", true, 32000, 3, 0, "HBEFA 4.2", 2.6},
    {"HGV artic electric", "HGV", "Electric", true, 36000, 3, 0, "Non-exhaust only", 0},
    {"Refuse truck", "HGV", "Diesel", true, 18000, 2.5, 14, "Municipal fleet", 3.4},
    {"Bus diesel", "Bus", "Diesel", true, 14000, 2, 0, "HBEFA 4.2", 3.1},
    {"Bus HVO", "Bus", "HVO", true, 14000, 2, 0, "Vasttrafik", 2.7},
    {"Bus biogas", "Bus", "Biogas", true, 15000, 2, 0, "Vasttrafik", 1.1},
    {"Bus electric", "Bus", "Electric", true, 16000, 2, 0, "Vasttrafik", 0},
    {"Bus articulated", "Bus", "HVO", true, 19000, 2.5, 22, "Trunk lines", 3.2},
    {"Coach diesel", "Coach", "Diesel", true, 17000, 2, 0, "HBEFA 4.2", 2.2},
    {"Coach HVO", "Coach", "HVO", true, 17000, 2, 0, "Airport coaches", 2.0},
    {"Moped petrol", "Moped", "Petrol", false, 90, 0.5, 0, "HBEFA 4.2", 0.15},
    {"MC petrol", "MC", "Petrol", false, 220, 0.5, 0, "HBEFA 4.2", 0.18},
    {"MC electric", "MC", "Electric", false, 200, 0.5, 0, "Non-exhaust only", 0},
    {"PC petrol studded", "Car", "Petrol", false, 1350, 1, 1, "Winter tyres", 0},
    {"PC diesel studded", "Car", "Diesel", false, 1500, 1, 2, "Winter tyres", 0},
};

std::string RoadVehicleLines() {
  std::string text = DefinitionLines() + "\n";
  uint32_t index = 1;
  for (const RoadVehicleDefinitionRow& v : kRoadVehicles) {
    char weight[32];
    std::snprintf(weight, sizeof weight, "%f", static_cast<double>(v.weight));
    text += "NAME \"" + std::string(v.name) + "\"\nINDEX " + std::to_string(index) + "\nACTIVITYCODE 7." +
            std::to_string(index) + "\nISHEAVY " + (v.heavy ? "1" : "0") + "\nISTRAFFIC " +
            (v.dependency ? "0" : "1") + "\nWEIGHT " + weight + "\nEMISSIONMODEL " + (v.heavy ? "2" : "1") +
            "\nFLOWEQUI " + Number(v.flow) + "\nDEPENDENCY " + std::to_string(v.dependency) + "\nINFO \"" + v.info +
            "\"\n";
    // One to four emission lines: NOx at urban and rural speed classes for
    // vehicles with exhaust, road dust (PM10) for the others and the studded.
    const char* speeds[] = {"50kmh", "70kmh", "30kmh", "90kmh"};
    int lines = v.nox > 0 ? 1 + static_cast<int>(index % 4) : 1;
    for (int i = 0; i < lines; ++i) {
      int substance = v.nox > 0 ? (i < 2 ? kNOx : (i == 2 ? kPM25 : kCO2)) : kPM10;
      double base = substance == kNOx ? v.nox : substance == kPM25 ? v.nox * 0.02 + 0.002
                  : substance == kCO2 ? 120.0 * v.flow + v.nox * 40 : 0.02 * v.flow + (v.dependency ? 0.04 : 0.0);
      double speedScale = i == 1 ? 0.85 : 1.0;
      text += std::to_string(substance) + " " + v.category + " " + v.fuel + " " + speeds[i] + " " +
              Number(base * speedScale) + " " + Number(base * speedScale * 1.3) + " " +
              Number(base * speedScale * 1.8) + " " + Number(base * speedScale * 2.6) + "\n";
    }
    text += "\n";
    ++index;
  }
  return text;
}

struct RoadtypeDefinition {
  const char* name;
  int minSpeed, maxSpeed;          // speed numbers (20 to 120 km/h)
  std::vector<int> vehicles;       // vehicle numbers
  double nightShare;               // traffic at night relative to the day
};

const RoadtypeDefinition kRoadtypes[] = {
    {"Motorway 110", 8, 10, {3, 6, 7, 13, 15, 17, 19, 22, 2, 5}, 0.25},
    {"Motorway 90", 6, 8, {3, 6, 7, 13, 15, 17, 22}, 0.25},
    {"Ring road 70", 4, 6, {3, 6, 7, 13, 15, 17, 19}, 0.2},
    {"Rural road 70", 4, 6, {2, 5, 12, 14, 16}, 0.15},
    {"Rural road 90", 5, 8, {2, 5, 12, 14}, 0.15},
    {"Urban main 50", 2, 4, {3, 6, 7, 8, 13, 15, 19, 20}, 0.1},
    {"Urban street 40", 2, 3, {3, 6, 7, 13, 26}, 0.08},
    {"Residential 30", 1, 2, {3, 6, 27}, 0.05},
    {"City centre 30", 1, 2, {3, 7, 8, 26, 19, 20, 21}, 0.08},
    {"Bus lane", 1, 4, {19, 20, 21}, 0.1},
    {"Tunnel 70", 4, 6, {3, 6, 13, 15, 17, 22}, 0.2},
    {"Bridge 70", 4, 6, {3, 6, 13, 15, 17}, 0.2},
    {"Port access 50", 2, 4, {6, 13, 15, 16, 17}, 0.3},
    {"Industrial road", 2, 4, {6, 12, 14, 15, 23}, 0.2},
    {"Arterial 60", 3, 5, {3, 6, 7, 13, 15, 19}, 0.12},
    {"Airport road 80", 5, 7, {3, 6, 22, 26}, 0.3},
    {"Pedestrian street", 1, 1, {23}, 0.02},
};

// Hourly traffic profile of a weekday (per mille of the day's traffic, 24
// values) with a morning and an afternoon peak.
int Hourly(int hour, int day, double night) {
  static const int weekday[24] = {8, 5, 4, 4, 8, 25, 60, 85, 70, 52, 50, 54, 56, 55, 60, 72, 88, 80, 58, 42, 33, 26, 18, 12};
  static const int weekend[24] = {14, 10, 7, 5, 5, 8, 14, 24, 36, 48, 58, 64, 66, 66, 64, 62, 60, 56, 50, 42, 34, 28, 22, 16};
  double v = day < 2 ? weekday[hour] : weekend[hour] * (day == 3 ? 0.85 : 1.0);
  if (hour < 5 || hour > 21) v = v * (0.5 + night * 2);
  if (day == 1 && hour > 15) v *= 1.08;  // Friday afternoon
  return static_cast<int>(std::lround(v * 10));
}

std::string RoadtypeLines() {
  static const int months[12] = {92, 95, 99, 101, 104, 103, 88, 96, 106, 105, 102, 99};
  static const char* const scenarios[10] = {"1", "0.92", "0.85", "0.97", "1", "1", "1", "1.08", "0.9", "1.12"};
  std::string text;
  unsigned index = 1;
  for (const RoadtypeDefinition& roadtype : kRoadtypes) {
    text += "NAME \"" + std::string(roadtype.name) + "\"\nINDEX " + std::to_string(index) + "\n";
    for (size_t k = 0; k < roadtype.vehicles.size(); ++k) {
      int vehicle = roadtype.vehicles[k];
      text += "VEHICLE " + std::to_string(vehicle) + "\n";
      for (int hour = 0; hour < 24; ++hour) {
        text += std::string(hour == 0 ? "TYPEDAY" : "") + "\t";
        for (int day = 0; day < 4; ++day) {
          text += " " + std::to_string(Hourly(hour, day, roadtype.nightShare));
          // Heavy traffic on Sunday nights carries the code 2 (restricted).
          if (day == 3 && hour < 6 && vehicle >= 14 && vehicle <= 23) text += ":2";
        }
        text += "\n";
      }
      for (int part = 0; part < 2; ++part) {
        text += part == 0 ? "MONTH\t" : "\t";
        for (int m = 0; m < 6; ++m) {
          char cell[16];
          std::snprintf(cell, sizeof cell, " %4d", months[part * 6 + m] + static_cast<int>((vehicle * 3 + m) % 5) - 2);
          text += cell;
        }
        text += "\n";
      }
      for (int part = 0; part < 2; ++part) {
        text += part == 0 ? "SCENARIO\t" : "\t";
        for (int s = 0; s < 5; ++s) text += std::string(" ") + scenarios[part * 5 + s];
        text += "\n";
      }
      text += "MINSPEED " + std::to_string(roadtype.minSpeed) + " MAXSPEED " + std::to_string(roadtype.maxSpeed) + "\n";
    }
    text += "\n";
    ++index;
  }
  return text;
}

std::vector<std::string> Stored(const char* kind, const std::string& lines) {
  std::vector<ReferenceRecord> records;
  std::string reason;
  if (!ReadVehicleKindRecords(kind, lines, DefinitionLines(), &records, &reason)) {
    throw std::logic_error(std::string("demonstration ") + kind + " records refused: " + reason);
  }
  std::vector<std::string> texts;
  for (ReferenceRecord& r : records) texts.push_back(std::move(r.text));
  return texts;
}

}  // namespace

std::string DemoVehicleSaveLines(std::string_view kind) {
  if (kind == "veh") return VehicleLines();
  if (kind == "sveh") return RoadVehicleLines();
  if (kind == "roadtype") return RoadtypeLines();
  return std::string();
}

std::vector<std::string> DemoVehicles(bool shared) { return shared ? std::vector<std::string>() : Stored("veh", VehicleLines()); }

std::vector<std::string> DemoRoadVehicleDefinition(bool shared) {
  if (shared) return {};
  RoadVehicleDefinition definition;
  std::string problem;
  if (!ReadRoadVehicleDefinition(DefinitionLines(), &definition, &problem)) throw std::logic_error(problem);
  return {RoadVehicleDefinitionText(definition)};
}

std::vector<std::string> DemoRoadVehicles(bool shared) {
  return shared ? std::vector<std::string>() : Stored("sveh", RoadVehicleLines());
}

std::vector<std::string> DemoRoadtypes(bool shared) {
  return shared ? std::vector<std::string>() : Stored("roadtype", RoadtypeLines());
}

}  // namespace edb
