// The index-update steps: each rebuilds one catalogue list from the name and
// index columns of its workbook sheet, so that the names the user typed (new
// ones included) resolve before rows referring to them are verified or
// saved.  The readers add what they find wrong in a sheet to the ErrorList
// and the WarningList.
//
// Every step answers 1 when its sheet was read (whatever issues it added) and
// -1 when the sheet could not be opened or read (ErrorText set); a list is
// only cleared once its sheet is open, so a failed open leaves it as it was.
#pragma once

#include <cstdint>

// Substance list 0 from "Substance", searchkey lists 1-5 from "Searchkey".
int32_t SubUpdateIdx(int32_t list);
// Source (kind 0) or road (any other kind) time variations.
int32_t TimevarUpdateIdx(int32_t kind);
int32_t SubgrpUpdateIdx();
int32_t EmfacUpdateIdx();
int32_t VehicleUpdateIdx();
// The road-vehicle definition: dimension names and one class list per
// dimension, each list sorted.
int32_t RoadVehicleDefUpdateIdx();
// Road vehicles, read with the definition's dimension count (so the
// definition is rebuilt first).
int32_t RoadVehicleUpdateIdx();
int32_t RoadtypeUpdateIdx();
int32_t CompanyUpdateIdx();
int32_t FacilityUpdateIdx();

// Runs every step in order: the resource lists, substances and searchkeys 1-5,
// source and road time variations, substance groups, emission factors,
// vehicles, the road-vehicle definition, road vehicles, roadtypes, companies,
// facilities.  Stops after a step that fails and as soon as the ErrorList is
// full.  The result of the last step run: 1 or -1.
int32_t UpdateAllIdx();
