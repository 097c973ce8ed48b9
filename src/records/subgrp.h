// Substance groups as text records: per slot a substance with a linear
// factor (slope and constant term) and a unit.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t SubgrpNameSize = 20;
constexpr int SubgrpSlots = 250;
constexpr size_t SubgrpUnitSize = 64;

struct SubgrpRec {
  wchar_t name[SubgrpNameSize];               // at most 19 characters
  uint32_t index;                             // substance-group number
  float slope[SubgrpSlots];                   // per slot: the factor
  float m[SubgrpSlots];                       // per slot: the constant term
  int16_t substance[SubgrpSlots];             // per slot: substance index; 0 marks an unused slot
  wchar_t unit[SubgrpSlots][SubgrpUnitSize];  // per slot: unit name, one word of at most 63 characters
};

// Reads the next substance group; first != 0 starts the read with flags
// (TransferFlags; names only with bit 2).  1 a record, 0 no more, -1.
int32_t IORSubgrpGetRec(int32_t first, int32_t flags, SubgrpRec* record);

// Writer operations (RecordOperation): 1, or -1.
int32_t IORSubgrpPutRec(int32_t operation, const SubgrpRec* record);
