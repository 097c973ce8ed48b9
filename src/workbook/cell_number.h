// Strict reading of the numbers the Save's sheet readers put into records: a
// cell's whole text must be the number (white space around it allowed), and
// a value outside the field's range is refused, never clamped or wrapped.
#pragma once

#include <cstdint>

// A base-10 whole number from low to high ("12.0" and "9.7" are not).
bool CellWhole(const wchar_t* text, int64_t low, int64_t high, int64_t* value);

// A real number that a 32-bit float holds as a finite value.
bool CellReal(const wchar_t* text, float* value);
