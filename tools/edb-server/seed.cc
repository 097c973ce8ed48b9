// The demonstration seed (see seed.h).
#include "seed.h"

#include <string>

#include "password.h"
#include "seed_records.h"

namespace edb {

namespace {

// The resource file of Gothenburg2025: speeds 1-11, scenarios 1-10, gas
// temperatures 1-30, unit tables and free settings, groups apart by empty
// lines.  "\xF6" is o with diaeresis in ISO 8859-1.
std::string GothenburgResourceFile() {
  std::string text;
  for (int n = 1; n <= 11; ++n) text += "speed " + std::to_string(n) + ": " + std::to_string(10 + 10 * n) + " km/h\n";
  text += "\n";
  static const char* const scenarios[] = {"Base year 2025",
                                          "Low emission zone",
                                          "Congestion charge extended",
                                          "30 km/h in the city centre",
                                          "Electric city buses",
                                          "District heating expansion",
                                          "Shore power in the port",
                                          "Winter peak",
                                          "Summer minimum",
                                          "Forecast 2030"};
  for (int n = 1; n <= 10; ++n) text += "scenario " + std::to_string(n) + ": " + scenarios[n - 1] + "\n";
  text += "\n";
  for (int n = 1; n <= 30; ++n) text += "temperature " + std::to_string(n) + ": " + std::to_string(20 * n) + " C\n";
  text += "\n";
  text +=
      "Search 1: 1000 mg/s\n"
      "Search 2: 3600 g/h\n"
      "Sub 1: 1000 kg/year\n"
      "Sub 2: 1000000 g/year\n"
      "Sub 3: 0.0317098 g/s\n"
      "SubGrp 1: 1 m3/year\n"
      "SubGrp 2: 1 MWh/year\n"
      "SubGrp 3: 1 ton/year\n"
      "SubGrpEm 1: 1000 kg/year\n"
      "\n"
      "NAME 0: G\xF6teborg 2025\n"
      "PROJECTION 0: SWEREF99 TM\n"
      "YEAR 0: 2025\n"
      "CONTACT 0: Environmental Administration, City of Gothenburg\n";
  return text;
}

std::string MalmoResourceFile() {
  std::string text;
  for (int n = 1; n <= 11; ++n) text += "speed " + std::to_string(n) + ": " + std::to_string(10 + 10 * n) + " km/h\n";
  text += "scenario 1: Base year 2024\n";
  text += "Sub 1: 1000 kg/year\n";
  text += "NAME 0: Malm\xF6 2024\n";
  return text;
}

}  // namespace

bool SeedDemo(Store& store) {
  if (store.HasData()) return false;
  LoginUser demo = MakeLoginUser("demo", "demo");
  store.InTransaction([&] {
    int64_t ref = store.AddDatabase("REF");
    store.AddDatabase("TEST");
    store.AddDatabase("ARCHIVE");

    int64_t global = store.AddEdbUser(ref, kGlobalEdbUser, "Shared reference data");
    int64_t demoUser = store.AddEdbUser(ref, "demo", "Demonstration user");
    int64_t anna = store.AddEdbUser(ref, "anna", "Anna Lindqvist, City of Stockholm");

    int64_t sharedEdb = store.AddEdb(global, kGlobalEdbName);
    int64_t gothenburg = store.AddEdb(demoUser, "Gothenburg2025");
    int64_t malmo = store.AddEdb(demoUser, "Malmo2024");
    int64_t stockholm = store.AddEdb(anna, "Stockholm2023");

    store.PutResourceFile(gothenburg, GothenburgResourceFile());
    store.PutResourceFile(malmo, MalmoResourceFile());

    // Gothenburg2025 is the full demonstration EDB; its resource file names
    // the scenarios and units that its reference data refer to.
    SeedEdbRecords(store, sharedEdb, DemoContent::kShared);
    SeedEdbRecords(store, gothenburg, DemoContent::kReference);
    SeedEdbRecords(store, malmo, DemoContent::kCatalogue);
    SeedEdbRecords(store, stockholm, DemoContent::kCatalogue);
    store.PutLoginUser(demo);
  });
  return true;
}

}  // namespace edb
