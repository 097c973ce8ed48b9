// Turning the texts of reference-sheet cells into record fields: record
// indexes and texts that must fit a fixed field (numbers: cell_number.h).
// An index is taken only when its whole text is the index: a fraction or
// anything after the digits refuses the cell rather than truncating it.
#pragma once

#include <cstddef>
#include <cstdint>

// A record index: the whole text (white space around it aside) a base-10
// number from 1 to max.  False otherwise ("9.7", "9x", "0"); *index is then 0.
bool CellIndex(const wchar_t* text, int32_t max, int32_t* index);

// Copies text into field[size] when it fits (at most size - 1 characters);
// false, and field empty, when it does not.
bool CopyField(wchar_t* field, size_t size, const wchar_t* text);
