// Grids on the command line: "grid NAME..." and "grids" (every grid) name
// one kind, "grids", whose one transfer runs the library's grid Load or Save
// over each chosen grid in turn.  A Load adds the continuation sheets the
// library asks for ("Grid.NAME (2)" ...) and empties those a larger earlier
// load left, so that a save never reads stale cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sheethost/workbook.h"

// Chooses the grids of the next transfers: every grid (from the server for
// a Load, from the workbook for a Save), or the named ones.
void SelectGrids(bool all, const std::vector<std::wstring>& names);

// The transfer callbacks of the grids kind (as TransferPart wants them).
int32_t GridsLoad(int32_t mode, wchar_t* count, int32_t);
int32_t GridsSave(int32_t mode, wchar_t* count, int32_t);

// The sheets the Loads since the last SelectGrids wrote or emptied.
const std::vector<std::wstring>& GridSheetsWritten();

// The workbook's grid sheets ("Grid." + name), without continuation sheets.
std::vector<std::wstring> WorkbookGrids(const sheethost::Workbook& book);

// The server's grid list printed one grid a line: 1 listed, -1 failure.
int32_t ListGridsLoad();
int32_t ListGrids(int32_t first, wchar_t* buffer);
