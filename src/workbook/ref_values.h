// Turning the texts of reference-sheet cells into record fields: record
// indexes, whole and real numbers, and texts that must fit a fixed field.
// A cell is taken only when its whole text is the value: a fraction in a
// whole number, a number beyond the field's range or anything after the
// number refuses the cell rather than truncating, clamping or wrapping it.
#pragma once

#include <cstddef>
#include <cstdint>

// A record index: the whole text (white space around it aside) a base-10
// number from 1 to max.  False otherwise ("9.7", "9x", "0"); *index is then 0.
bool CellIndex(const wchar_t* text, int32_t max, int32_t* index);

// A whole number from min to max making up the whole text (white space
// around it aside); an empty text reads as 0.  False otherwise, *value 0.
bool CellWhole(const wchar_t* text, int32_t min, int32_t max, int32_t* value);

// A real number as the C library's strtod reads it making up the whole text
// (white space around it aside), within the float range and not lost to 0
// when made a float; an empty text reads as 0.  False otherwise, *value 0.
bool CellReal(const wchar_t* text, float* value);

// Copies text into field[size] when it fits (at most size - 1 characters);
// false, and field empty, when it does not.
bool CopyField(wchar_t* field, size_t size, const wchar_t* text);
