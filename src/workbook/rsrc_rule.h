// What a cell of the resource sheets ("Speed-Temp-Scen", "Units", "Rsrc")
// may hold: only a text that the line a save writes from it gives back
// unchanged when the next Load reads the file.  On top of the field rule
// (field_rule.h: line breaks, control characters, ISO 8859-1, length):
// - a speed, temperature or scenario name and a value do not begin with
//   white space (the Load skips it); a value is not empty (the Load skips the
//   line);
// - a unit name and its factor are one word each (the Load reads the first
//   two words of the value); the factor is not empty;
// - a tag holds no ':' (the head ends at the first one), does not begin or
//   end with white space, and does not begin with a table keyword ("speed",
//   "Sub" ...), which would read back as a table line.
// A tab is a character like any other inside a name, a tag or a value: the
// line runs to its end.
//
// The verifier reports a fault at its cell, the Save refuses the row with the
// same message, and the Load warns about a line whose texts could not stand
// in their cells.
#pragma once

#include <cstddef>
#include <cstdint>

enum class RsrcCell : int32_t {
  kName,      // a speed, temperature or scenario name (may be empty)
  kUnitName,  // a unit's name
  kFactor,    // a unit's factor
  kTag,       // a free setting's tag
  kValue,     // a free setting's value
};

// REQUIRES: message holds messageSize >= 1 characters; label has at most 64
// characters.
// False when text (null reads as empty) may stand in the cell; otherwise
// true with the fault's message, naming the cell by label.
bool RsrcCellFault(RsrcCell cell, const wchar_t* label, const wchar_t* text, wchar_t* message,
                   size_t messageSize);

// For the Save: true when the text may stand in the cell; otherwise false
// with ErrorText set to the fault's message and the cell's place.
bool RsrcCellFits(const wchar_t* sheet, int32_t row, int32_t column, RsrcCell cell, const wchar_t* label,
                  const wchar_t* text);
