// The roads ("road"): each upload is read road by road in the line sequence
// the library's writer prints, every value checked against the library's
// road record (text lengths, number ranges, at most twelve emission factors,
// numbered traffic and coordinate lines, attribute lines a road sheet can
// show), and kept in the writer's form, so that a road loaded and saved
// again is stored unchanged.  A malformed road refuses the whole upload.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reference_upload.h"

namespace edb {

// The most coordinate pairs a road may have: what one row of the road sheet
// holds.
constexpr size_t kMaxRoadCoordinates = 2000;

// Reads the record lines of a road upload into records, in the upload's
// order, each in its stored form.  false with the reason ("record 3: ...").
bool ReadRoadRecords(std::string_view lines, std::vector<ReferenceRecord>* records, std::string* reason);

}  // namespace edb
