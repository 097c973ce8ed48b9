// Time variations as text records: hourly values per day type, monthly and
// scenario values.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t TimevarNameSize = 20;
constexpr size_t TimevarValueSize = 16;
constexpr int TimevarDayTypes = 4;  // Monday to Thursday, Friday, Saturday, Sunday
constexpr int TimevarHours = 24;
constexpr int TimevarMonths = 12;
constexpr int TimevarScenarios = 10;

struct TimevarRec {
  uint16_t index;                                                          // time-variation number
  wchar_t name[TimevarNameSize];                                           // at most 19 characters
  wchar_t typeday[TimevarDayTypes][TimevarHours][TimevarValueSize];       // [day type][hour - 1], kept as text
  int16_t month[TimevarMonths];                                            // January to December
  float scenario[TimevarScenarios];                                        // scenarios 1 to 10
};

// Reads the next time variation of kind 0 (sources) or 1 (roads); first != 0
// starts the read with flags (TransferFlags; names only with bit 2).
// 1 a record, 0 no more, -1 failure.
int32_t IORTimevarGetRec(int32_t kind, int32_t first, int32_t flags, TimevarRec* record);

// Writer operations (RecordOperation): 1, or -1.
int32_t IORTimevarPutRec(int32_t kind, int32_t operation, const TimevarRec* record);
