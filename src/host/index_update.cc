// The index-update steps (see index_update.h).
#include "host/index_update.h"

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "workbook/edb_rsrc_update_idx.h"
#include "workbook/read_company_idx.h"
#include "workbook/read_facility_idx.h"
#include "workbook/read_one_row_idx.h"
#include "workbook/read_road_vehicle_def_idx.h"
#include "workbook/read_road_vehicle_idx.h"
#include "workbook/read_roadtype_idx.h"
#include "workbook/read_sub_idx.h"
#include "workbook/read_timevar_idx.h"
#include "workbook/read_vehicle_idx.h"

namespace {

void LogEntry(const char* name) {
  if (DebugLevel > 0) DebugPrint(" --> %s()\n", name);
}

void LogEntry(const char* name, int32_t number) {
  if (DebugLevel > 0) DebugPrint(" --> %s(%d)\n", name, static_cast<int>(number));
}

int32_t Logged(const char* name, int32_t result) {
  if (DebugLevel > 0) DebugPrint(" <-- %s = %d\n", name, static_cast<int>(result));
  return result;
}

// Clears the list once the reader's sheet is open, refills and sorts it.
template <class Reader, class List>
int32_t Refill(Reader& reader, int32_t opened, List& list) {
  if (opened != 1) return -1;
  list.Clear();
  int32_t r = reader.Update(list);
  list.Sort();
  return r;
}

// The resource lists; their rebuild answers 0 when done.
int32_t ResourceUpdateIdx() { return EdbRsrcUpdateIdx() < 0 ? -1 : 1; }

}  // namespace

int32_t SubUpdateIdx(int32_t list) {
  LogEntry("SubUpdateIdx", list);
  int32_t r = -1;
  if (list < 0 || list >= kSubListCount) {
    SetErrorText("Unknown sub column: %d", static_cast<int>(list));
  } else {
    CExcelReadSubIdx reader;
    r = Refill(reader, reader.Init(list, ErrorList, WarningList), SubLists[list]);
  }
  return Logged("SubUpdateIdx", r);
}

int32_t TimevarUpdateIdx(int32_t kind) {
  LogEntry("TimevarUpdateIdx", kind);
  CExcelReadTimevarIdx reader;
  int32_t r = Refill(reader, reader.Init(kind, ErrorList, WarningList), TimevarList(kind));
  return Logged("TimevarUpdateIdx", r);
}

int32_t SubgrpUpdateIdx() {
  LogEntry("SubgrpUpdateIdx");
  CExcelReadSubgrpIdx reader;
  int32_t r = Refill(reader, reader.Init(ErrorList, WarningList), SubgrpList);
  return Logged("SubgrpUpdateIdx", r);
}

int32_t EmfacUpdateIdx() {
  LogEntry("EmfacUpdateIdx");
  CExcelReadEmifacIdx reader;
  int32_t r = Refill(reader, reader.Init(ErrorList, WarningList), EmfacList);
  return Logged("EmfacUpdateIdx", r);
}

int32_t VehicleUpdateIdx() {
  LogEntry("VehicleUpdateIdx");
  CExcelReadVehicleIdx reader;
  int32_t r = Refill(reader, reader.Init(ErrorList, WarningList), VehicleList);
  return Logged("VehicleUpdateIdx", r);
}

int32_t RoadVehicleDefUpdateIdx() {
  LogEntry("RoadVehicleDefUpdateIdx");
  CExcelReadRoadVehicleDefIdx reader;
  int32_t r = -1;
  if (reader.Init(ErrorList, WarningList) == 1) {
    RoadVehicleDef.Free();
    r = reader.Update(RoadVehicleDef);
    for (int32_t d = 0; d < RoadVehicleDef.Dimensions(); ++d) {
      if (CRecordList* classes = RoadVehicleDef.List(d)) classes->Sort();
    }
  }
  return Logged("RoadVehicleDefUpdateIdx", r);
}

int32_t RoadVehicleUpdateIdx() {
  LogEntry("RoadVehicleUpdateIdx");
  CExcelReadRoadVehicleIdx reader;
  int32_t r = -1;
  if (reader.Init(ErrorList, WarningList) == 1) {
    RoadVehicleList.Clear();
    r = reader.Update(RoadVehicleList, RoadVehicleDef.Dimensions());
    RoadVehicleList.Sort();
  }
  return Logged("RoadVehicleUpdateIdx", r);
}

int32_t RoadtypeUpdateIdx() {
  LogEntry("RoadtypeUpdateIdx");
  CExcelReadRoadtypeIdx reader;
  int32_t r = Refill(reader, reader.Init(ErrorList, WarningList), RoadtypeList);
  return Logged("RoadtypeUpdateIdx", r);
}

int32_t CompanyUpdateIdx() {
  LogEntry("CompanyUpdateIdx");
  CExcelReadCompanyIdx reader;
  int32_t r = Refill(reader, reader.Init(ErrorList, WarningList), CompanyList);
  return Logged("CompanyUpdateIdx", r);
}

int32_t FacilityUpdateIdx() {
  LogEntry("FacilityUpdateIdx");
  CExcelReadFacilityIdx reader;
  int32_t r = Refill(reader, reader.Init(ErrorList, WarningList), FacilityList);
  return Logged("FacilityUpdateIdx", r);
}

int32_t UpdateAllIdx() {
  using Step = int32_t (*)();
  static const Step kSteps[] = {
      ResourceUpdateIdx,
      [] { return SubUpdateIdx(0); },
      [] { return SubUpdateIdx(1); },
      [] { return SubUpdateIdx(2); },
      [] { return SubUpdateIdx(3); },
      [] { return SubUpdateIdx(4); },
      [] { return SubUpdateIdx(5); },
      [] { return TimevarUpdateIdx(0); },
      [] { return TimevarUpdateIdx(1); },
      SubgrpUpdateIdx,
      EmfacUpdateIdx,
      VehicleUpdateIdx,
      RoadVehicleDefUpdateIdx,
      RoadVehicleUpdateIdx,
      RoadtypeUpdateIdx,
      CompanyUpdateIdx,
      FacilityUpdateIdx,
  };
  int32_t r = 1;
  for (Step step : kSteps) {
    if (ErrorList.IsFull()) break;
    r = step();
    if (r == -1) break;
  }
  return r;
}
