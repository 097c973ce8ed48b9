// Records as a sheet shows them, and what a save would change: the records of
// one transfer part read from its sheet by its layout (kinds.h), counted, and
// compared index by index with the records the server holds (loaded into a
// scratch workbook).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kinds.h"
#include "sheethost/workbook.h"

struct SheetRecord {
  int32_t index = 0;  // -1 when the index cell is not a whole number above 0
  std::wstring name;
  RW row = 0;         // the record's first row
  std::map<std::wstring, sheethost::Cell> fields;  // by column heading (and row within the record)
};

// A cell as the comparisons see it: text as it stands, a number as its
// shortest text, "TRUE"/"FALSE", "#ERROR"; empty for an empty cell.
std::wstring FieldText(const sheethost::Cell& cell);

// The records the sheet holds as the library's readers see them: named
// records up to the first record row without a name, name lists every
// non-empty name but "-".  A missing sheet holds none.
std::vector<SheetRecord> ReadRecords(const sheethost::Workbook& book, const RecordLayout& layout);

struct RecordChange {
  enum What { Add, Change, Delete } what;
  int32_t index;
  std::wstring name;                 // the workbook's (the server's for a deletion)
  std::wstring serverName;           // for a change
  std::vector<std::wstring> fields;  // for a change: the fields that differ
};

// What saving the workbook's records would do to the server's, in index order.
std::vector<RecordChange> DiffRecords(const std::vector<SheetRecord>& server, const std::vector<SheetRecord>& workbook);

// For parts compared as whole sheets: the cells of the sheets that differ
// ("Units!B4"), at most limit of them; *count gets how many differ.
std::vector<std::wstring> DiffSheets(const sheethost::Workbook& server, const sheethost::Workbook& workbook,
                                     const std::vector<std::wstring>& sheets, size_t limit, size_t* count);
