// The demonstration seed (see seed.h).
#include "seed.h"

#include <string>

#include "password.h"
#include "seed_records.h"

namespace edb {

namespace {

// Resource files are kept in the form in which the workbook writes them
// back: the speeds, scenarios and temperatures, the searchkey, substance,
// substance-group and substance-group emission units (each table numbered
// from 1 without gaps), then the free settings as "TAG: value", one line
// each and no empty lines.  A file loaded into a workbook and saved again is
// then the same file.  "\xF6" is o with diaeresis in ISO 8859-1.

// Speeds 1-11: 20 to 120 km/h.
std::string Speeds() {
  std::string text;
  for (int n = 1; n <= 11; ++n) {
    text += "speed " + std::to_string(n) + ": " + std::to_string(10 + 10 * n) + " km/h\n";
  }
  return text;
}

std::string Scenarios(const char* const (&names)[10]) {
  std::string text;
  for (int n = 1; n <= 10; ++n) text += "scenario " + std::to_string(n) + ": " + names[n - 1] + "\n";
  return text;
}

// Gas temperatures 1-30: 20 to 600 C.
std::string Temperatures() {
  std::string text;
  for (int n = 1; n <= 30; ++n) text += "temperature " + std::to_string(n) + ": " + std::to_string(20 * n) + " C\n";
  return text;
}

// Gothenburg2025: the full demonstration EDB.
std::string GothenburgResourceFile() {
  static const char* const scenarios[10] = {"Base year 2025",
                                            "Low emission zone",
                                            "Congestion charge extended",
                                            "30 km/h in the city centre",
                                            "Electric city buses",
                                            "District heating expansion",
                                            "Shore power in the port",
                                            "Winter peak",
                                            "Summer minimum",
                                            "Forecast 2030"};
  return Speeds() + Scenarios(scenarios) + Temperatures() +
         "Search 1: 1000 mg/s\n"
         "Search 2: 3600 g/h\n"
         "Sub 1: 1000 kg/year\n"
         "Sub 2: 1000000 g/year\n"
         "Sub 3: 0.0317098 g/s\n"
         "SubGrp 1: 1 m3/year\n"
         "SubGrp 2: 1 MWh/year\n"
         "SubGrp 3: 1 ton/year\n"
         "SubGrpEm 1: 1000 kg/year\n"
         "NAME: G\xF6teborg 2025\n"
         "PROJECTION: SWEREF99 TM\n"
         "YEAR: 2025\n"
         "CONTACT: Environmental Administration, City of Gothenburg\n";
}

// Malmo2024: a smaller EDB with substances and searchkeys only.
std::string MalmoResourceFile() {
  static const char* const scenarios[10] = {"Base year 2024",       "Low emission zone",  "Congestion charge",
                                            "New city tunnel",      "Electric city buses", "Port expansion",
                                            "Bridge traffic +10%", "Winter peak",        "Summer minimum",
                                            "Forecast 2030"};
  return Speeds() + Scenarios(scenarios) + Temperatures() +
         "Sub 1: 1000 kg/year\n"
         "SubGrp 1: 1 MWh/year\n"
         "NAME: Malm\xF6 2024\n"
         "YEAR: 2024\n";
}

}  // namespace

bool SeedDemo(Store& store) {
  if (store.HasData()) return false;
  // The demonstration login may touch every EDB user's EDBs, as the demo and
  // the tests that share its seed do.
  LoginUser demo = MakeLoginUser("demo", "demo", true);
  store.InTransaction([&] {
    int64_t ref = store.AddDatabase("REF");
    store.AddDatabase("TEST");
    store.AddDatabase("ARCHIVE");

    int64_t global = store.AddEdbUser(ref, kGlobalEdbUser, "Shared reference data", true);
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
    SeedDemoGrids(store, gothenburg);
    store.PutLoginUser(demo);
  });
  return true;
}

}  // namespace edb
