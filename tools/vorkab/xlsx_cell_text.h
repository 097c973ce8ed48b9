// The texts of cells in sheet parts: cell names ("B7"), row numbers, numbers
// that read back as the same double, booleans, error values and ISO 8601
// dates.
#pragma once

#include <string>

#include "port/xlcall.h"

namespace xlsx {

// "A" for column 0 up to "XFD" for the last column of the grid.
std::string ColumnName(COL column);
// "A1" for row 0, column 0.
std::string CellName(RW row, COL column);

// A cell name such as "B7" (letters in either case) as a 0-based row and
// column; false when malformed or outside the grid.
bool ParseCellName(const std::string& text, RW* row, COL* column);
// A 1-based row number as a row element carries it; false when malformed or
// outside the grid.
bool ParseRowNumber(const std::string& text, RW* row);

// The shortest decimal text that reads back as exactly this (finite) double.
std::string NumberText(double value);
// A finite number; surrounding blanks are allowed, nothing else.
bool ParseNumber(const std::string& text, double* value);

// "#DIV/0!" and the others for the host's error codes; null for other codes.
const char* ErrorName(int code);
bool ParseErrorName(const std::string& text, int* code);

// "1" or "true", "0" or "false".
bool ParseBoolean(const std::string& text, bool* value);

// A date ("2024-03-15"), date and time ("2024-03-15T12:00:00", optionally
// with fractional seconds and a final "Z") or time ("06:30:00") as a serial
// number of the 1900 date system (with its phantom 29 February 1900) or, when
// date1904, of the 1904 system.
bool ParseIsoDate(const std::string& text, bool date1904, double* serial);

}  // namespace xlsx
