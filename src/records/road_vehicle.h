// Road vehicles as text records: a classified vehicle with its traffic
// properties, followed in the text by its emission lines, which are read and
// written one at a time.  The activity code travels beside the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/code_string.h"

constexpr size_t RoadVehicleNameSize = 20;
constexpr size_t RoadVehicleInfoSize = 20;

struct RoadVehicleRec {
  uint32_t index;                       // road-vehicle number
  wchar_t name[RoadVehicleNameSize];    // at most 19 characters
  int32_t isheavy;                      // heavy-vehicle flag
  int32_t istraffic;                    // traffic flag
  int32_t weight;                       // weight
  int32_t emissionmodel;                // emission model number
  float flowequi;                       // flow equivalent
  uint32_t dependency;                  // road vehicle this one depends on; 0 none
  wchar_t info[RoadVehicleInfoSize];    // at most 19 characters
};

// Reads the next road vehicle up to its emission lines; first != 0 starts
// the read with flags (TransferFlags; names only with bit 2, where the
// record has no emission lines).  code, when given, receives the activity
// code.  1 a record, 0 no more, -1 failure (a reply that ends inside the
// record included).  After 1 (not names only) the caller reads the emission
// lines with IORRoadVehicleGetEmFac until it answers 0.
int32_t IORRoadVehicleGetRec(int32_t first, int32_t flags, RoadVehicleRec* record, CodeString* code);

// The next emission line of the road vehicle read last: 1 and *line points to
// it (valid until the next read); 0 at the separator or the end of the
// reply; -1 failure.
int32_t IORRoadVehicleGetEmFac(const wchar_t** line);

// Writer operations (RecordOperation): 1, or -1.  Operation 1 writes the
// record's lines without a separator: its emission lines and an empty line
// follow with IORRoadVehiclePutLine.
int32_t IORRoadVehiclePutRec(int32_t operation, const RoadVehicleRec* record, const CodeString* code);

// Writes line into the upload as it stands; 1, or -1 (the request aborted).
int32_t IORRoadVehiclePutLine(int32_t unused, const wchar_t* line);
