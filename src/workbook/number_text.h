// Reading whole numbers from cell texts the way the C library's strtol and
// strtoul read them with a 32-bit long, on every platform: leading white
// space, an optional sign, base-10 digits; values beyond the range clamp to
// its limits, and a negative text read as unsigned is negated modulo 2^32
// ("-1" reads as 4294967295).
#pragma once

#include <cstdint>

// Both return the position after the number, or text itself when no number
// starts it (the value is then 0).  A null text reads as no number.
const wchar_t* ScanInt32(const wchar_t* text, int32_t* value);
const wchar_t* ScanUInt32(const wchar_t* text, uint32_t* value);

// The first character that is not white space (the C library's wide test).
const wchar_t* SkipWhiteSpace(const wchar_t* text);
