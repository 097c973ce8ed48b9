// Workbook files (.xlsx) for the command-line host: loading one into the
// substitute host's workbook and saving the workbook as one.
//
// Every worksheet comes and goes in workbook order with its name as it is
// (case, non-ASCII letters) and its cells with their types: numbers (doubles
// that read back exactly), texts (shared or inline strings on reading, shared
// strings on writing; up to 32767 characters), booleans, the seven error
// values and, absent from the file, empty cells.  Formula cells load as their
// last computed value; dates are numbers (serial dates), and ISO dates in a
// file load as serial numbers too.  Formatting is not kept.
//
// Errors are one line of UTF-8 that names the file and, where it applies, the
// part and the sheet.
#pragma once

#include <cstddef>
#include <string>

#include "sheethost/workbook.h"

// What a file may hold at most.  The defaults lie far above what a workbook
// of the largest EDB holds (a sheet of 65,535 time variations or roadtypes
// has about 8 million cells) and far below what a small hostile file can ask
// for (a few hundred kilobytes that inflate to tens of millions of cells or
// strings, and gigabytes of memory).
struct XlsxLimits {
  size_t sharedStrings = 4000000;
  size_t cellsPerSheet = 10000000;
  size_t cells = 40000000;
  size_t inflatedBytes = size_t{2} << 30;  // every part read, uncompressed
};

// On success the workbook holds exactly the file's worksheets (its earlier
// sheets are removed) and the first of them is active.  On failure (not a
// zip, a missing workbook or sheet part, broken XML, a cell outside the grid,
// a value the workbook refuses, a file beyond the limits, named in the error)
// the workbook is unchanged.
bool LoadXlsx(const std::string& path, sheethost::Workbook& book, std::string* error,
              const XlsxLimits& limits = XlsxLimits());

// Writes a temporary file beside the target and renames it over the target
// only once the whole file is written; on failure the target is as it was.
// A workbook without sheets cannot be saved (a workbook file needs one).
bool SaveXlsx(const std::string& path, const sheethost::Workbook& book, std::string* error);
