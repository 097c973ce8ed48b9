// The catalogue: the process-wide record lists that map the names shown in the
// workbook to the indexes and keys the server uses, the road-vehicle
// definition, and the source sheet's column layout.  All of them are built
// empty at library load without allocating anything and freed at unload.
#pragma once

#include <cstdint>

#include "catalogue/record_list.h"
#include "catalogue/record_list_key.h"
#include "catalogue/road_vehicle_def.h"
#include "catalogue/source_info.h"

// Substances (element 0) and searchkeys 1-5 (elements 1-5).
constexpr int32_t kSubListCount = 6;
extern CRecordList SubLists[kSubListCount];

extern CRecordList EmfacList;          // emission factors (emission functions)
extern CRecordList SourceTimevarList;  // time variations of sources (kind 0)
extern CRecordList RoadTimevarList;    // time variations of roads (other kinds)
extern CRecordList SubgrpList;         // substance groups
extern CRecordList VehicleList;
extern CRecordList RoadVehicleList;
extern CRecordList RoadtypeList;
extern CRoadVehicleDef RoadVehicleDef;  // dimension names and class lists

extern CRecordListKey CompanyList;   // (company name, company ID)
extern CRecordListKey FacilityList;  // (facility name, "X Y")

// Selection lists: names with index 0.
extern CRecordList DatabaseList;
extern CRecordList EdbNameList;
extern CRecordList EdbUserList;
extern CRecordList GridList;  // sheet names "Grid." + grid name

// Resource lists of the current EDB, kept by number (sort key 1).
extern CRecordList SpeedList;
extern CRecordList TemperatureList;
extern CRecordList ScenarioList;
extern CRecordList UnitSubList;
extern CRecordList UnitSubGrpList;
extern CRecordList UnitSubGrpEmList;

extern CSourceInfo SourceInfo;

// The time-variation list of a kind: 0 sources, any other value roads.
inline CRecordList& TimevarList(int32_t kind) { return kind == 0 ? SourceTimevarList : RoadTimevarList; }
