// Texts of cells: how a host value reads as text (the cell rule), how a text
// becomes a value to write (a counted string, or a number behind
// NumberCellMark), shared by the sheet readers and writers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/xlcall.h"

// A text handed to a row writer that is this character and a number's digits
// (an optional sign, digits, an optional fraction: what the date cells hold)
// is written as a numeric cell.  Any other text starting with the character
// (a server text holding it) stays a text.
constexpr wchar_t NumberCellMark = L'\x01';

// The cell rule: Nil is the empty text, Str its characters, Num the double
// in the fewest digits that read back as the same double (DoubleText: what
// the user typed, not a 17-digit expansion of it), Int the integer with
// "%d"; each cut to maxText - 1
// characters and terminated in text[maxText].  False (text left empty) for
// any other type.  Nothing is written when maxText is below 1.
bool CellValueText(const XLOPER12& value, wchar_t* text, int32_t maxText);

// What the readers say of a cell that CellValueText cannot read (an error
// value such as #DIV/0!, or a logical value).
constexpr const wchar_t* kUnreadableCell = L"Cell holds an error or logical value, not a text or number";

// An empty cell's value (xltypeNil).
const XLOPER12& NilCellValue();

// True when text is a number for the writers: the mark and a number's digits.
bool IsNumberCellText(const wchar_t* text);
// The number behind the mark: the decimal integer (32-bit, clamped) that
// follows it, 0 when none does.
double NumberCellValue(const wchar_t* text);

// Puts text into counted[0..maxChars] as a counted string (count, then the
// characters), cut to maxChars and to the host's 32767 characters; counted
// must hold maxChars + 1 units.  Returns the count.
int32_t SetCountedText(XCHAR* counted, int32_t maxChars, const wchar_t* text);
