// Steps that the readers and writers of the record kinds share: the exit
// trace of a record-layer call, the check of the line that ends a record,
// the ALOB tail of a record and the check that a quoted field was read whole.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes " <-- name = result" into the log at DebugLevel above 0; returns
// result.
int32_t IORLogged(const char* name, int32_t result);

// Reads the line after a record: the end of the reply or a line of fewer
// than two characters ends it (1); a longer line sets "<kind> <index>:
// Unexpected end of record: <line>" (-1); a failed read is -1.
int32_t IORRecordEnd(const char* kind, uint32_t index);

struct Alob;

// Reads the tail that closes a company or facility record: "ALOB n", the n
// attribute lines into alob, and the separator line.  kind ("Company",
// "Facility") and label (the record's name) go into the messages.  1, or -1
// with ErrorText set (a reply that ends before the separator included).
int32_t IORRecordAlobTail(const char* kind, const wchar_t* label, Alob* alob);

// After a quoted field was read from the line in IORLine(): true when its
// text fitted the field of size characters (terminator included), so that
// nothing was cut; otherwise false with "<kind> (<label>): <keyword> is
// longer than <size - 1> characters, which the record cannot hold".
bool IORQuotedFits(const char* kind, const wchar_t* label, const wchar_t* keyword, size_t size);
