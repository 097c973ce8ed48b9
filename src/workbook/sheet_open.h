// What the writers, readers and verifiers of the single-cell sheets share:
// opening the cell writer or cell reader they work through, and the failure
// of a call made before that succeeded.
#pragma once

#include <cstdint>
#include <memory>

#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

// Makes a cell writer of maxSize characters on sheet and selects the sheet;
// 1, or -1 with the error text set ("Could not allocate memory for buffer"
// when memory runs out).
int32_t OpenCellWriter(std::unique_ptr<CSheetCellWriter>& writer, int32_t maxSize, const wchar_t* sheet);
// Makes a cell reader of maxText characters on sheet and selects the sheet;
// 1, or -1 (a missing sheet included) with the error text set (outOfMemory
// when memory runs out).
int32_t OpenCellReader(std::unique_ptr<CSheetCellReader>& reader, int32_t maxText, const wchar_t* sheet,
                       const char* outOfMemory = "Could not allocate memory for buffer");

// A write or read before the sheet was opened: the cell writer's or cell
// reader's failure text for (row, column); -1.
int32_t WriteBeforeOpen(int32_t row, int32_t column);
int32_t ReadBeforeOpen(int32_t row, int32_t column, const wchar_t* sheet);
