// The road-vehicle definition record (see road_vehicle_definition.h).
#include "records/road_vehicle_definition.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"

namespace {

constexpr const wchar_t* Kind = L"ROAD VEHICLE DEF";

int32_t ReadTexts(RoadVehicleDefRec* record) {
  static wchar_t text[LineBufferSize];
  for (int32_t i = 0; i < record->dimensions; ++i) {
    int32_t count = record->classes[i] + 1;
    record->texts[i] = static_cast<wchar_t**>(calloc(static_cast<size_t>(count), sizeof(wchar_t*)));
    if (!record->texts[i]) {
      SetErrorText("Could not allocate memory for road vehicle definition texts %d", static_cast<int>(i + 1));
      return -1;
    }
    for (int32_t t = 0; t < count; ++t) {
      std::wstring keyword = (t == 0 ? L"HEADER" + std::to_wstring(i + 1) : L"TEXT" + std::to_wstring(t));
      if (GetKeyText(Kind, true, KeyTextRest, L"", keyword.c_str(), text, LineBufferSize) != 1) return -1;
      record->texts[i][t] = listtext::Duplicate(text);
      if (!record->texts[i][t]) {
        SetErrorText("Could not allocate memory for road vehicle definition %d, %d", static_cast<int>(i + 1),
                     static_cast<int>(t));
        return -1;
      }
    }
  }
  return 1;
}

int32_t ReadRecord(RoadVehicleDefRec* record) {
  int32_t dimensions = 0;
  if (GetKeyLong(Kind, L"", L"DIMENSION", &dimensions) != 1) return 0;
  if (dimensions < 0 || dimensions > RoadVehicleDefMaxDimensions) {
    SetErrorText("ROAD VEHICLE DEF: DIMENSION %d is not from 0 to %d", static_cast<int>(dimensions),
                 static_cast<int>(RoadVehicleDefMaxDimensions));
    return -1;
  }
  if (dimensions > 0) {
    record->classes = static_cast<int32_t*>(calloc(static_cast<size_t>(dimensions), sizeof(int32_t)));
    record->texts = static_cast<wchar_t***>(calloc(static_cast<size_t>(dimensions), sizeof(wchar_t**)));
    if (!record->classes || !record->texts) {
      SetErrorText("Could not allocate memory for road vehicle definition %d", static_cast<int>(dimensions));
      return -1;
    }
  }
  record->dimensions = dimensions;
  long long combinations = 1;
  for (int32_t i = 0; i < dimensions; ++i) {
    std::wstring keyword = L"DIM" + std::to_wstring(i + 1);
    if (GetKeyLong(Kind, L"", keyword.c_str(), &record->classes[i]) != 1) return -1;
    if (record->classes[i] < 0 || record->classes[i] > RoadVehicleDefMaxClasses) {
      SetErrorText("ROAD VEHICLE DEF: %s %d is not from 0 to %d", "DIM", static_cast<int>(record->classes[i]),
                   static_cast<int>(RoadVehicleDefMaxClasses));
      return -1;
    }
    combinations *= record->classes[i];
    if (combinations > INT32_MAX) combinations = INT32_MAX;
  }
  record->combinations = static_cast<int32_t>(combinations);
  if (GetKeyLong(Kind, L"", L"DIMSPEED", &record->dimspeed) != 1) return 0;
  if (GetKeyLong(Kind, L"", L"USEALTSPEED", &record->usealtspeed) != 1) return 0;
  if (dimensions < 1) return 1;
  return ReadTexts(record);
}

}  // namespace

void RoadVehicleDefFree(RoadVehicleDefRec* record) {
  if (!record) return;
  if (record->texts) {
    for (int32_t i = 0; i < record->dimensions; ++i) {
      if (!record->texts[i]) continue;
      int32_t count = record->classes ? record->classes[i] + 1 : 0;
      for (int32_t t = 0; t < count; ++t) free(record->texts[i][t]);
      free(record->texts[i]);
    }
  }
  free(record->texts);
  free(record->classes);
  std::memset(record, 0, sizeof *record);
}

int32_t IORRoadVehicleDefGetRec(int32_t flags, RoadVehicleDefRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORRoadVehicleDefGetRec(0x%02x)\n", static_cast<unsigned>(flags));
  std::memset(record, 0, sizeof *record);
  IORStartRead();
  if (IOLRoadVehicleDefsGetAll(flags) != 1) return IORLogged("IORRoadVehicleDefGetRec", -1);
  int32_t r = ReadRecord(record);
  if (r != 1) RoadVehicleDefFree(record);
  return IORLogged("IORRoadVehicleDefGetRec", r);
}
