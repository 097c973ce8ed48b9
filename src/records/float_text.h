// Real numbers as text that reads back as the same number: the record
// writers and the sheet writers print 32-bit floats with as few significant
// digits as give the same float again (6 where they suffice, up to 9), and
// the cell rule prints doubles the same way (15 digits where they suffice,
// up to 17).  What %g prints for a value that 6 digits hold is unchanged.
#pragma once

#include <cstddef>
#include <string>

// REQUIRES: out holds size >= 32 characters (room for any float or double).
// The text of value in "%g" form with the fewest digits from 6 to 9 that
// read back (wcstof) as value; nan and infinities as "%g" prints them.
void FloatText(float value, wchar_t* out, size_t size);
std::wstring FloatText(float value);

// The same text, narrow, for the record writers: its length.
// REQUIRES: out holds 32 bytes.
size_t FloatChars(float value, char* out);

// True when value is finite and rounds to a finite float: below the midpoint
// between FLT_MAX and the next power of two, so that FLT_MAX's own text
// ("3.40282347e+38", a double just above FLT_MAX) is taken back.
bool FitsFloat(double value);

// The same for a double, with 15 to 17 digits (wcstod).
void DoubleText(double value, wchar_t* out, size_t size);
