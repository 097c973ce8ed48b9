// The point and area sources of an upload ("source"): each record read in the
// library's line sequence (fixed fields, building lists, geocode, formula
// macro, attribute lines, then the emission, substance-group and activity
// blocks numbered per kind), every field checked against what the library's
// record holds, and kept in the form the library's writer prints it, so that
// a source loaded and saved again is stored unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reference_upload.h"

namespace edb {

bool IsSourceKind(std::string_view kind);

// Reads the record lines of a source upload into records, in upload order.
// false with the reason ("record 3: ...") for the first malformed record;
// nothing of such an upload is to be stored.
bool ReadSourceRecords(std::string_view lines, std::vector<ReferenceRecord>* records, std::string* reason);

}  // namespace edb
