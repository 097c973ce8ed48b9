// The kind table of the command-line host (see kinds.h).
#include "kinds.h"

#include <algorithm>

#include "grid_kinds.h"
#include "terminal.h"
#include "sheethost/host.h"
#include "templates.h"
#include "vorkabcom.h"

namespace {

int32_t RsrcLoad(int32_t, wchar_t*, int32_t) { return VKEdbRsrcLoad(); }
int32_t RsrcSave(int32_t, wchar_t*, int32_t) { return VKEdbRsrcSave(); }
int32_t SubLoad(int32_t mode, wchar_t* count, int32_t list) { return VKSubLoad(mode, list, count); }
int32_t SubSave(int32_t mode, wchar_t* count, int32_t list) { return VKSubSave(mode, list, count); }
int32_t TimevarLoad(int32_t mode, wchar_t* count, int32_t kind) { return VKTimevarsLoad(kind, mode, count); }
int32_t TimevarSave(int32_t mode, wchar_t* count, int32_t kind) { return VKTimevarsSave(kind, mode, count); }
int32_t SubgrpLoad(int32_t mode, wchar_t* count, int32_t) { return VKSubgrpsLoad(mode, count); }
int32_t SubgrpSave(int32_t mode, wchar_t* count, int32_t) { return VKSubgrpsSave(mode, count); }
int32_t EmfacLoad(int32_t mode, wchar_t* count, int32_t) { return VKEmfacsLoad(mode, count); }
int32_t EmfacSave(int32_t mode, wchar_t* count, int32_t) { return VKEmfacsSave(mode, count); }
int32_t VehicleLoad(int32_t mode, wchar_t* count, int32_t) { return VKVehiclesLoad(mode, count); }
int32_t VehicleSave(int32_t mode, wchar_t* count, int32_t) { return VKVehiclesSave(mode, count); }
// An EDB without a road-vehicle definition (0) has no dimensions: that is no failure.
int32_t RoadVehicleDefLoad(int32_t, wchar_t* count, int32_t) {
  int32_t r = VKRoadVehiclesDefLoad(0, count);
  return r == 0 ? 1 : r;
}
int32_t RoadVehicleLoad(int32_t mode, wchar_t* count, int32_t) { return VKRoadVehiclesLoad(mode, count); }
int32_t RoadVehicleSave(int32_t mode, wchar_t* count, int32_t) { return VKRoadVehiclesSave(mode, count); }
int32_t RoadtypeLoad(int32_t mode, wchar_t* count, int32_t) { return VKRoadtypesLoad(mode, count); }
int32_t RoadtypeSave(int32_t mode, wchar_t* count, int32_t) { return VKRoadtypesSave(mode, count); }
int32_t CompanyLoad(int32_t mode, wchar_t* count, int32_t) { return VKCompaniesLoad(mode, count); }
int32_t CompanySave(int32_t mode, wchar_t* count, int32_t) { return VKCompaniesSave(mode, count); }
int32_t FacilityLoad(int32_t mode, wchar_t* count, int32_t) { return VKFacilitiesLoad(mode, count); }
int32_t FacilitySave(int32_t mode, wchar_t* count, int32_t) { return VKFacilitiesSave(mode, count); }
int32_t SourceLoad(int32_t mode, wchar_t* count, int32_t) { return VKSourcesLoad(mode, count); }
int32_t SourceSave(int32_t mode, wchar_t* count, int32_t) { return VKSourcesSave(mode, count); }

// Roads fill "Road" and, when a sheet is full (the Load answers 2), the
// further sheets "Road (2)", "Road (3)" ..., which the Load adds as the
// macros do.  A Save sends "Road" and then adds each further sheet's roads
// (mode 1 + 4).
std::wstring RoadSheet(int n) { return n == 1 ? std::wstring(L"Road") : L"Road (" + std::to_wstring(n) + L")"; }
int g_roadLoadSheet = 1;
bool g_roadNewSheet = false;
int g_roadSaveSheet = 1;

int32_t RoadLoad(int32_t mode, wchar_t* count, int32_t) {
  if (mode == 1) {
    g_roadLoadSheet = 1;
    g_roadNewSheet = false;
  }
  if (mode == 0 && g_roadNewSheet) {
    g_roadNewSheet = false;
    mode = 8;
  }
  int32_t r = VKRoadsLoad(RoadSheet(g_roadLoadSheet).c_str(), mode, count);
  if (r != 2) return r;
  ++g_roadLoadSheet;
  sheethost::Host* host = sheethost::Host::Current();
  if (!host || !ResetTemplateSheet(host->Book(), RoadSheet(g_roadLoadSheet))) {
    VKRoadsLoad(RoadSheet(g_roadLoadSheet).c_str(), -1, count);
    return -1;
  }
  g_roadNewSheet = true;
  return 1;
}

int32_t RoadSave(int32_t mode, wchar_t* count, int32_t) {
  if (mode == 1) g_roadSaveSheet = 1;
  int32_t r = VKRoadsSave(RoadSheet(g_roadSaveSheet).c_str(), mode, count);
  sheethost::Host* host = sheethost::Host::Current();
  while (r == 0 && (mode == 0 || mode == 1) && host && host->Book().FindSheet(RoadSheet(g_roadSaveSheet + 1))) {
    ++g_roadSaveSheet;
    r = VKRoadsSave(RoadSheet(g_roadSaveSheet).c_str(), 1 + 4, count);
  }
  return r;
}

// Records with a name in column A and an index in column B, from row 1.
RecordLayout Named(const wchar_t* sheet) { return {sheet, 0, 1, 1, {}}; }
// Time variations: four rows a record, one per type day.
RecordLayout Timevars(const wchar_t* sheet) { return {sheet, 0, 1, 4, {L"Mon-Thu", L"Fri", L"Sat", L"Sun"}}; }
// A name list: the names of one column, each indexed by its row.
RecordLayout NameList(const wchar_t* sheet, int32_t column) { return {sheet, column, -1, 1, {}}; }

std::vector<RecordKind> MakeKinds() {
  std::vector<RecordKind> kinds;
  kinds.push_back({"resources", "speeds, temperatures, scenarios, units and free settings",
                   {L"Speed-Temp-Scen", L"Units", L"Rsrc"},
                   {{"resources", RsrcLoad, RsrcSave, 0, true, {}}}});
  // The server keeps the substances themselves: they are loaded, never saved.
  kinds.push_back({"substances", "substances (loaded only)", {L"Substance"},
                   {{"substances", SubLoad, nullptr, 0, false, NameList(L"Substance", 1)}}});
  RecordKind searchkeys{"searchkeys", "the five searchkey lists", {L"Searchkey"}, {}};
  for (int32_t list = 1; list <= 5; ++list) {
    searchkeys.parts.push_back(
        {"searchkey list " + std::to_string(list), SubLoad, SubSave, list, false, NameList(L"Searchkey", list)});
  }
  kinds.push_back(searchkeys);
  kinds.push_back({"timevars", "time variations of sources and roads", {L"Source timevar", L"Road timevar"},
                   {{"source time variations", TimevarLoad, TimevarSave, 0, false, Timevars(L"Source timevar")},
                    {"road time variations", TimevarLoad, TimevarSave, 1, false, Timevars(L"Road timevar")}}});
  kinds.push_back({"subgrps", "substance groups", {L"Emission factor"},
                   {{"substance groups", SubgrpLoad, SubgrpSave, 0, false, Named(L"Emission factor")}}});
  kinds.push_back({"emfacs", "emission factors", {L"Emission function"},
                   {{"emission factors", EmfacLoad, EmfacSave, 0, false, Named(L"Emission function")}}});
  // Vehicles before roadtypes (which name them); the road-vehicle definition,
  // which the server keeps, before the road vehicles.  Their records span
  // several rows each, so diff compares their sheets whole.
  kinds.push_back({"vehicles", "vehicles with emission factors per speed", {L"Vehicle"},
                   {{"vehicles", VehicleLoad, VehicleSave, 0, false, {}}}});
  kinds.push_back({"roadvehicles", "the road-vehicle definition (loaded only) and road vehicles",
                   {L"Road Vehicle Def.", L"Road Vehicle"},
                   {{"road-vehicle definition", RoadVehicleDefLoad, nullptr, 0, true, {}},
                    {"road vehicles", RoadVehicleLoad, RoadVehicleSave, 0, false, {}}}});
  kinds.push_back({"roadtypes", "roadtypes with their vehicles' profiles and speeds", {L"Roadtype"},
                   {{"roadtypes", RoadtypeLoad, RoadtypeSave, 0, false, {}}}});
  // Companies before facilities, which name them.  Both are keyed by text
  // (a company ID, a facility's X and Y), so diff compares their sheets whole.
  kinds.push_back({"companies", "companies with their attribute texts", {L"Company"},
                   {{"companies", CompanyLoad, CompanySave, 0, false, {}}}});
  kinds.push_back({"facilities", "facilities by coordinates, naming their companies", {L"Facility"},
                   {{"facilities", FacilityLoad, FacilitySave, 0, false, {}}}});
  // Sources after the facilities and the reference kinds they name; their
  // block columns follow the listing, so diff compares the sheet whole.
  kinds.push_back({"sources", "point and area sources with their emission blocks", {L"Source"},
                   {{"sources", SourceLoad, SourceSave, 0, false, {}}}});
  // Roads name roadtypes, road vehicles, their classes and time variations.
  kinds.push_back({"roads", "roads with traffic, canyons and polylines, over as many sheets as they need", {L"Road"},
                   {{"roads", RoadLoad, RoadSave, 0, false, {}}}});
  // Grids last: "grid NAME..." or "grids" (every grid); "all" leaves them
  // out, as a grid may fill several sheets.  Their sheets are the grids'.
  kinds.push_back({"grids", "grids: grid NAME... or grids for all of them", {},
                   {{"grids", GridsLoad, GridsSave, 0, false, {}}}});
  return kinds;
}

}  // namespace

std::vector<std::wstring> KindSheets(const RecordKind& kind, const sheethost::Workbook& book) {
  std::vector<std::wstring> sheets = kind.sheets;
  if (kind.name == "roads") {
    for (int n = 2; book.FindSheet(RoadSheet(n)); ++n) sheets.push_back(RoadSheet(n));
  }
  return sheets;
}

const std::vector<RecordKind>& RecordKinds() {
  static const std::vector<RecordKind> kinds = MakeKinds();
  return kinds;
}

bool SelectKinds(const std::vector<std::string>& words, std::vector<const RecordKind*>* kinds, std::string* unknown) {
  std::vector<bool> wanted(RecordKinds().size(), false);
  bool allGrids = false;
  bool gridNames = false;  // the words after "grid" name grids
  std::vector<std::wstring> grids;
  for (const std::string& word : words) {
    bool found = false;
    if (word == "grid") {
      gridNames = true;
      wanted.back() = true;
      continue;
    }
    if (gridNames && word != "all" && word != "grids") {
      bool kindName = false;
      for (const RecordKind& kind : RecordKinds()) kindName = kindName || word == kind.name;
      if (!kindName) {
        grids.push_back(FromTerminal(word));
        continue;
      }
    }
    gridNames = false;
    if (word == "grids") allGrids = true;
    for (size_t i = 0; i < RecordKinds().size(); ++i) {
      if ((word == "all" && RecordKinds()[i].name != "grids") || word == RecordKinds()[i].name) {
        wanted[i] = true;
        found = true;
      }
    }
    if (!found) {
      *unknown = word;
      return false;
    }
  }
  SelectGrids(allGrids || grids.empty(), grids);
  kinds->clear();
  for (size_t i = 0; i < RecordKinds().size(); ++i) {
    if (wanted[i]) kinds->push_back(&RecordKinds()[i]);
  }
  return true;
}

std::string KnownKindNames() {
  std::string names;
  for (const RecordKind& kind : RecordKinds()) names += kind.name + ", ";
  return names + "grid NAME..., all";
}
