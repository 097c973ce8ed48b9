// CExcelReadRoadVehicleDefIdx: the road-vehicle definition on
// "Road Vehicle Def.": from row 3 on, one row per classification dimension
// (its name in column A, its class texts from column B to the first empty
// cell).  Each text's index is its 0-based position.
#pragma once

#include <cstdint>

#include "catalogue/road_vehicle_def.h"
#include "workbook/read_idx.h"

class CExcelReadRoadVehicleDefIdx : public CExcelReadIdx {
 public:
  static constexpr int32_t kFirstRow = 3;

  CExcelReadRoadVehicleDefIdx() : CExcelReadIdx(L"Road Vehicle Def.") {}

  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  // Replaces the definition (the earlier one is dropped first); 1 or -1.
  int32_t Update(CRoadVehicleDef& def);
};
