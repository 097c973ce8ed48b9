// The administrative records: companies ("company"), keyed by their company
// ID, and facilities ("facility"), keyed by their X and Y numbers.  Each
// upload is read record by record in its kind's line sequence, every text
// checked against the library's record (its length, no double quote), the
// attribute lines taken by their count, and kept in the form the library's
// writer prints it, so that a record loaded and saved again is stored
// unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reference_upload.h"

namespace edb {

// True for "company" and "facility".
bool IsCompanyKind(std::string_view kind);

// Reads the record lines of an upload of such a kind into records, in the
// upload's order, each in its stored form.  false with the reason
// ("record 3: ...") for a malformed record or a key an earlier record has.
bool ReadCompanyKindRecords(std::string_view kind, std::string_view lines, std::vector<ReferenceRecord>* records,
                            std::string* reason);

}  // namespace edb
