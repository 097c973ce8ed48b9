// Roadtypes as text records: per vehicle of the roadtype its hourly, monthly
// and scenario profiles and its speed range.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/timevar.h"

constexpr size_t RoadtypeNameSize = 20;
constexpr int RoadtypeMaxVehicles = 10;

struct RoadtypeBlock {
  float scenario[TimevarScenarios];                                    // scenarios 1 to 10
  wchar_t typeday[TimevarDayTypes][TimevarHours][TimevarValueSize];   // [day type][hour - 1], as text
  int16_t minspeed;                                                    // speed numbers of the EDB
  int16_t maxspeed;
  int16_t month[TimevarMonths];                                        // January to December
};

struct RoadtypeRec {
  uint16_t index;                                // roadtype number
  wchar_t name[RoadtypeNameSize];                // at most 19 characters
  uint16_t vehicle[RoadtypeMaxVehicles];         // vehicle of each block; 0 an unused block
  RoadtypeBlock block[RoadtypeMaxVehicles];
};

// Number of used blocks (up to the first vehicle 0).
int32_t RoadtypeVehicleCount(const RoadtypeRec& record);

// Reads the next roadtype; first != 0 starts the read with flags
// (TransferFlags; names only with bit 2).  1 a record, 0 no more, -1
// failure.
int32_t IORRoadtypeGetRec(int32_t first, int32_t flags, RoadtypeRec* record);

// Writer operations (RecordOperation): 1, or -1.
int32_t IORRoadtypePutRec(int32_t operation, const RoadtypeRec* record);
