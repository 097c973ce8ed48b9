// Reading one reference record from the lines of an upload, line by line in
// the exact sequence of its kind: a substance line; NAME, INDEX, 24 TYPEDAY,
// 2 MONTH and 2 SCENARIO lines of a time variation; NAME, INDEX, SUBSTANCES
// and the slot lines of a substance group; NAME, INDEX, SUBSTANCE, FORMULA
// and the VAR.n/TYPE.n pairs of an emission factor.  Every value must fit the
// library's record, so that what is stored can be read back unchanged.
#pragma once

#include <string>
#include <string_view>

#include "reference_format.h"
#include "request_text.h"

namespace edb {

// Each reader takes the record's first line (not blank) and reads the rest
// of the record from lines, up to and including the empty separator line
// (or the end of the text).  false with *problem when the record is
// malformed.
bool ReadSubstanceRecord(std::string_view line, SubstanceEntry* entry, std::string* problem);
bool ReadTimevarRecord(std::string_view first, LineReader& lines, TimevarEntry* entry, std::string* problem);
bool ReadSubgrpRecord(std::string_view first, LineReader& lines, SubgrpEntry* entry, std::string* problem);
bool ReadEmfacRecord(std::string_view first, LineReader& lines, EmfacEntry* entry, std::string* problem);

// True for a line that separates records: empty, or blanks and tabs only.
bool IsSeparatorLine(std::string_view line);

}  // namespace edb
