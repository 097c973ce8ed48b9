// The road-vehicle definition of an EDB as a text record: the dimensions by
// which road vehicles are classified, each with its header and class texts,
// and the speed settings.  Read-only: the server takes no save of it.
#pragma once

#include <cstdint>

// Limits of what the record takes: a road names one class per dimension in
// at most 12 slots of 16 bits.
constexpr int32_t RoadVehicleDefMaxDimensions = 12;
constexpr int32_t RoadVehicleDefMaxClasses = 65535;

struct RoadVehicleDefRec {
  int32_t dimensions;  // number of classification dimensions n
  int32_t* classes;    // n class counts (owned)
  wchar_t*** texts;    // per dimension classes[i] + 1 owned texts: the header, then the classes
  int32_t combinations;  // product of the class counts
  int32_t dimspeed;      // DIMSPEED
  int32_t usealtspeed;   // USEALTSPEED
};

// Releases the record's arrays and texts and leaves it empty.  Safe on an
// empty (zeroed) record and more than once.
void RoadVehicleDefFree(RoadVehicleDefRec* record);

// REQUIRES: record is zeroed or was released with RoadVehicleDefFree.
// Starts a read of the definition with flags and reads it: 1, the caller then
// owns the arrays (RoadVehicleDefFree); 0 no definition (no DIMENSION,
// DIMSPEED or USEALTSPEED line; the scanner's message is set); -1 failure.
// On 0 and -1 nothing stays allocated.
int32_t IORRoadVehicleDefGetRec(int32_t flags, RoadVehicleDefRec* record);
