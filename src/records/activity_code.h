// The ACTIVITYCODE line that vehicles and road vehicles carry after their
// NAME and INDEX.
#pragma once

#include <cstdint>

#include "records/code_string.h"

// Reads the next line as the ACTIVITYCODE line of the record named name
// (kind: "VEHICLE", "ROAD VEHICLE").  With a code, the text after the keyword
// and one character becomes the code (the keyword alone empties it);
// without one the line is passed over.  1, or -1 with "<kind> (<name>): Out
// of data scanning ACTIVITYCODE" or "<kind> (<name>): Expecting ACTIVITYCODE
// not <line>".
int32_t IORReadActivityCode(const char* kind, const wchar_t* name, CodeString* code);
