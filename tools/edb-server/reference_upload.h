// The records of an upload of a reference kind (substances and searchkeys,
// time variations, substance groups, emission factors): each read in its
// kind's line sequence, keyed by its index, and handed to the store in index
// order in the form the server returns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record_kinds.h"
#include "store.h"

namespace edb {

struct ReferenceRecord {
  uint32_t index = 0;
  size_t number = 0;  // 1 for the upload's first record
  std::string text;   // its lines as stored, each followed by "\n"
  bool unnamed = false;  // a substance or searchkey line with an empty name
};

// Reads every record of the record lines of an upload.  false with the
// reason ("record 3: ...") for the first malformed record, a line the library
// could not read back, or an index that an earlier record already has.  On
// success the records are in index order.
bool ReadReferenceRecords(ReferenceKind kind, std::string_view lines, std::vector<ReferenceRecord>* records,
                          std::string* reason);

// Drops the substance and searchkey lines with an empty name: a workbook
// sends every row of its list, and an empty row names no searchkey.
void DropUnnamed(std::vector<ReferenceRecord>* records);

// Hands records to the store one by one.
class ReferenceRecordSource : public RecordSource {
 public:
  explicit ReferenceRecordSource(const std::vector<ReferenceRecord>& records) : records_(records) {}
  bool Next(std::string_view* record) override;

 private:
  const std::vector<ReferenceRecord>& records_;
  size_t next_ = 0;
};

}  // namespace edb
