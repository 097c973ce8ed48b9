// Turning the texts of reference-sheet cells into record fields: record
// indexes, whole and real numbers, and texts that must fit a fixed field.
#pragma once

#include <cstddef>
#include <cstdint>

// A record index: a base-10 number from 1 to max at the start of the text
// (as the C library reads one; what follows is ignored).  False otherwise;
// *index is then 0.
bool CellIndex(const wchar_t* text, int32_t max, int32_t* index);

// A whole number as the C library's strtol reads it, clamped to 16 bits; 0
// when the text holds none.
int16_t CellShort(const wchar_t* text);

// A real number as the C library's strtod reads it, as a float: beyond the
// float range clamped to the largest float, not a number read as 0; 0 when
// the text holds none.
float CellFloat(const wchar_t* text);

// Copies text into field[size] when it fits (at most size - 1 characters);
// false, and field empty, when it does not.
bool CopyField(wchar_t* field, size_t size, const wchar_t* text);

// Copies text without its white space into field[size] when that fits;
// false, and field empty, when it does not.
bool CopyFieldWithoutSpace(wchar_t* field, size_t size, const wchar_t* text);
