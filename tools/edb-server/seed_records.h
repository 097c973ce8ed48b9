// The records that the demonstration seed stores in an EDB: realistic
// reference data (substances, searchkeys in all five lists, source and road
// time variations, substance groups and emission factors), printed as the
// library's writer prints them and stored through the same reading as a
// save.  Kinds without demonstration records yet give none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reference_format.h"
#include "store.h"

namespace edb {

enum class DemoContent {
  kShared,     // the database's shared EDB: substances and searchkeys
  kCatalogue,  // substances and searchkeys
  kReference,  // all reference data: also time variations, groups and factors
};

// Stores the demonstration records into the EDB (inside the seed's
// transaction).  Throws std::logic_error should a demonstration record not
// be one that a save would take.
void SeedEdbRecords(Store& store, int64_t edbId, DemoContent content);

// The demonstration reference records.
std::vector<SubstanceEntry> DemoSubstances();
std::vector<SubstanceEntry> DemoSearchkeys(int list);  // lists 1 to 5
std::vector<TimevarEntry> DemoTimevars(bool roads);
std::vector<SubgrpEntry> DemoSubstanceGroups();
std::vector<EmfacEntry> DemoEmissionFactors();

// The record lines of a save of the demonstration records of kind ("sub"
// with list 0 to 5, "timevarp", "timevarr", "subgrp", "emfac") as the
// library's writer sends them, separator lines included; empty for other
// kinds.
std::string DemoSaveLines(std::string_view kind, int list);

// The traffic records of the full demonstration EDB (none for the shared
// EDB), each record its stored lines (seed_vehicles.cc).
std::vector<std::string> DemoVehicles(bool shared);
std::vector<std::string> DemoRoadVehicleDefinition(bool shared);
std::vector<std::string> DemoRoadVehicles(bool shared);
std::vector<std::string> DemoRoadtypes(bool shared);
// The record lines of a save of them ("veh", "sveh" with its definition
// block, "roadtype") as the library's writer sends them.
std::string DemoVehicleSaveLines(std::string_view kind);

// The companies and facilities of the full demonstration EDB (none for the
// other EDBs), each record its stored lines (seed_companies.cc), and the
// record lines of a save of them ("company", "facility").
std::vector<std::string> DemoCompanies(bool noInventory);
std::vector<std::string> DemoFacilities(bool noInventory);
std::string DemoCompanySaveLines(std::string_view kind);

// The point and area sources of the full demonstration EDB (none for the
// other EDBs), each record its stored lines (seed_sources.cc), and the record
// lines of a save of them.
std::vector<std::string> DemoSources(bool noInventory);
std::string DemoSourceSaveLines();

// The roads of the full demonstration EDB (none for the other EDBs), each
// record its stored lines (seed_roads.cc), and the record lines of a save of
// them.
std::vector<std::string> DemoRoads(bool noInventory);
std::string DemoRoadSaveLines();

// The demonstration grids of the full demonstration EDB (seed_grids.cc).
void SeedDemoGrids(Store& store, int64_t edbId);

}  // namespace edb
