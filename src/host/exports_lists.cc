// Exports that hand the catalogue's name lists to the macro, one name per
// call.  A call with first != 0 sorts the list (substances and searchkeys by
// index, every other list by name) and restarts at its first entry.
//
// Each name is cut to the size of the kind's name field, which the macro's
// buffer holds: 19 characters for time variations, substance groups, emission
// factors, vehicles, road vehicles and roadtypes, 47 for companies and
// facilities, 255 for substances, searchkeys and road-vehicle classes.
#include <cstddef>
#include <cstdint>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

constexpr size_t kShortName = 20;
constexpr size_t kLongName = 256;
constexpr size_t kCompanyName = 48;

template <class List>
int32_t ListNames(const char* name, List* list, uint32_t sortKey, int32_t first, wchar_t* buffer,
                  size_t size) {
  int32_t result = 0;
  if (list) {
    if (first) list->Sort(sortKey);
    result = list->List(first, buffer, size);
  }
  if (DebugLevel > 0) {
    DebugPrint("<-- %s = %d [%s]\n", name, static_cast<int>(result),
               result == 1 ? Narrow(buffer).c_str() : "");
  }
  return result;
}

void LogEntry(const char* name, int32_t first) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s)\n", name, first ? "first" : "next");
}

void LogEntry(const char* name, int32_t first, int32_t number) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s, %d)\n", name, first ? "first" : "next", static_cast<int>(number));
}

}  // namespace

int32_t VKAPI VKSubList(int32_t first, int32_t list, wchar_t* buffer) {
  LogEntry("VKSubList", first, list);
  CRecordList* names = (list >= 0 && list < kSubListCount) ? &SubLists[list] : nullptr;
  return ListNames("VKSubList", names, CRecordList::kByIndex, first, buffer, kLongName);
}

int32_t VKAPI VKEmfacsList(int32_t first, wchar_t* buffer) {
  LogEntry("VKEmfacsList", first);
  return ListNames("VKEmfacsList", &EmfacList, CRecordList::kByName, first, buffer, kShortName);
}

int32_t VKAPI VKTimevarsList(int32_t kind, int32_t first, wchar_t* buffer) {
  LogEntry("VKTimevarsList", first, kind);
  return ListNames("VKTimevarsList", &TimevarList(kind), CRecordList::kByName, first, buffer, kShortName);
}

int32_t VKAPI VKSubgrpsList(int32_t first, wchar_t* buffer) {
  LogEntry("VKSubgrpsList", first);
  return ListNames("VKSubgrpsList", &SubgrpList, CRecordList::kByName, first, buffer, kShortName);
}

int32_t VKAPI VKVehiclesList(int32_t first, wchar_t* buffer) {
  LogEntry("VKVehiclesList", first);
  return ListNames("VKVehiclesList", &VehicleList, CRecordList::kByName, first, buffer, kShortName);
}

int32_t VKAPI VKRoadVehiclesList(int32_t first, wchar_t* buffer) {
  LogEntry("VKRoadVehiclesList", first);
  return ListNames("VKRoadVehiclesList", &RoadVehicleList, CRecordList::kByName, first, buffer,
                   kShortName);
}

int32_t VKAPI VKRoadtypesList(int32_t first, wchar_t* buffer) {
  LogEntry("VKRoadtypesList", first);
  return ListNames("VKRoadtypesList", &RoadtypeList, CRecordList::kByName, first, buffer, kShortName);
}

int32_t VKAPI VKCompaniesList(int32_t first, wchar_t* buffer) {
  LogEntry("VKCompaniesList", first);
  return ListNames("VKCompaniesList", &CompanyList, CRecordListKey::kByName, first, buffer, kCompanyName);
}

int32_t VKAPI VKFacilitiesList(int32_t first, wchar_t* buffer) {
  LogEntry("VKFacilitiesList", first);
  return ListNames("VKFacilitiesList", &FacilityList, CRecordListKey::kByName, first, buffer,
                   kCompanyName);
}

int32_t VKAPI VKRoadVehiclesDefList(int32_t first, int32_t dimension, wchar_t* buffer) {
  LogEntry("VKRoadVehiclesDefList", first, dimension);
  return ListNames("VKRoadVehiclesDefList", RoadVehicleDef.List(dimension), CRecordList::kByName, first,
                   buffer, kLongName);
}
