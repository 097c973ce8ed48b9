// Grids as text records: the header reply ("loadgridasc"), the data reply
// ("loadgriddata", one raster cell per line, its fields joined by '@') and
// the save exchange ("savegrid": a header section, a data section, then the
// server's progress lines).  A header item that reads DYNAMIC varies per
// cell and travels in every data line instead of the header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "records/code_string.h"

constexpr size_t GridNameSize = 256;
constexpr size_t GridTextSize = 48;
constexpr size_t GridInfo2Size = 64;
// Most substances a grid header lists.
constexpr int32_t GridMaxSubstances = 252;
// Most fields a data line carries.
constexpr int32_t GridMaxFields = 320;

struct GridRec {
  uint32_t x;
  uint32_t y;
  uint32_t nx;
  uint32_t ny;
  uint32_t dx;
  uint32_t dy;
  int32_t fieldCount;  // fields of a data line (set by the sheet reader)
  wchar_t name[GridNameSize];
  wchar_t info[GridTextSize];
  wchar_t info2[GridInfo2Size];
  wchar_t address[GridTextSize];
  wchar_t postaddress[GridTextSize];
  wchar_t infogiver[GridTextSize];
  int32_t date;     // YYMMDD, -1 dynamic
  int32_t changed;  // YYMMDD, -1 dynamic
  wchar_t misc[GridTextSize];
  int32_t fuel;     // substance-group index; 0 substance values; -1 dynamic
  int32_t formula;  // source time-variation index; -1 dynamic
  int32_t searchkey[5];
};

// The substances whose values a data line carries (only with fuel 0).
struct GridSubstances {
  int32_t count;
  int16_t index[GridMaxSubstances];
};

// The fields of one data line.
using GridFields = std::vector<std::wstring>;

// The grid list: 1 a name in name (LineBufferSize characters), 0 no more,
// -1 failure.
int32_t IORGridGetNames(int32_t first, wchar_t* name);

// first != 0: reads the header and the substance list of grid `name` and
// opens the data reply: 1, or -1 with ErrorText set.  first == 0: the next
// data line into fields: 1; 0 at the end (the reply is closed); -1 (a line
// of more than GridMaxFields fields included).
// REQUIRES: header, substances, fields, activity and geo not null.
int32_t IORGridGet(int32_t first, const wchar_t* name, GridRec* header, GridSubstances* substances,
                   GridFields* fields, CodeString* activity, CodeString* geo);

// Splits a data line at every '@'; false when it has more than GridMaxFields
// fields.
bool SplitGridLine(const wchar_t* line, GridFields* fields);

// Save steps.
enum GridPutStep : int32_t { GridPutStart = 0, GridPutRow = 1, GridPutFinish = 2 };

// Step 0 opens the upload and writes the header section; step 1 sends the
// first header.fieldCount fields joined by '@' (missing ones empty); step 2
// ends the upload and checks the server's answer; any other step aborts.
// 1, or -1 with ErrorText set (the upload is then closed).
// REQUIRES: header (steps 0 and 1), substances (step 0), fields (step 1).
int32_t IORGridPut(int32_t step, const wchar_t* name, const GridRec* header, const GridSubstances* substances,
                   const GridFields* fields, const wchar_t* activity, const wchar_t* geo);
