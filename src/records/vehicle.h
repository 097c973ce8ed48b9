// Vehicles as text records: per substance the emission at the eleven speed
// classes of the EDB's speed table, with the vehicle's activity code beside
// the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/code_string.h"

constexpr size_t VehicleNameSize = 20;
constexpr int VehicleMaxSubstances = 252;
constexpr int VehicleSpeeds = 11;

struct VehicleRec {
  uint16_t index;                                          // vehicle number
  wchar_t name[VehicleNameSize];                           // at most 19 characters
  int16_t substance[VehicleMaxSubstances];                 // ascending; the first 0 ends the list
  float emission[VehicleMaxSubstances][VehicleSpeeds];     // per slot, speeds 1 to 11
  uint32_t slotWord[VehicleMaxSubstances];                 // not in the text; moves with its slot
  int32_t isheavy;                                         // heavy-vehicle flag
};

// Number of filled substance slots of the record (up to the first 0).
int32_t VehicleSubstanceCount(const VehicleRec& record);

// Reads the next vehicle; first != 0 starts the read with flags
// (TransferFlags; names only with bit 2).  code, when given, receives the
// activity code.  The slots come sorted by substance.  1 a record, 0 no
// more, -1 failure (a reply that ends inside a record included).
int32_t IORVehicleGetRec(int32_t first, int32_t flags, VehicleRec* record, CodeString* code);

// Writer operations (RecordOperation): 1, or -1.  code may be null.
int32_t IORVehiclePutRec(int32_t operation, const VehicleRec* record, const CodeString* code);
