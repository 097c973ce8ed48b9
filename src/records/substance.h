// Substances and searchkeys as text records: one line per record, the index
// and the quoted name.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t SubNameSize = 256;

struct SubRec {
  uint16_t index;             // substance or searchkey number
  wchar_t name[SubNameSize];  // at most 255 characters
};

// Reads the next record of substance list `list` (0 substances, 1 to 5
// searchkey lists); first != 0 starts the read.  1 a record, 0 no more, -1.
int32_t IORSubGetRec(int32_t first, int32_t list, SubRec* record);

// Writer operations (RecordOperation, only 0, 4, 1, 2 and 3): 1 done, -1
// failure; finishing with an empty reply gives 0.  List 0 cannot be saved.
int32_t IORSubPutRec(int32_t operation, int32_t list, const SubRec* record);
