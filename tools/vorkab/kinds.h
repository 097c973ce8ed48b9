// The kinds of record the command line moves, each as the export calls that
// load it into its sheets and save it back, in the order the macros use, and
// where each part's records stand in its sheet (for counting and comparing
// them).  Further kinds slot in as rows of the table in kinds.cc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sheethost/workbook.h"

// Where a part's records stand in its sheet.
struct RecordLayout {
  std::wstring sheet;         // empty: the part is compared as whole sheets
  int32_t nameColumn = 0;     // the record's name
  int32_t indexColumn = 1;    // its index; -1: the row is the index (name lists)
  int32_t rowsPerRecord = 1;  // records start on rows 1, 1 + rowsPerRecord ...
  std::vector<std::wstring> rowLabels;  // names of a record's rows, for messages
};

// One incremental transfer (or, for the resources, one single call).
struct TransferPart {
  std::string label;                // for progress lines: "searchkey list 2"
  int32_t (*load)(int32_t mode, wchar_t* count, int32_t arg);  // start 1, continue 0, other aborts
  int32_t (*save)(int32_t mode, wchar_t* count, int32_t arg);  // null: the server does not take it
  int32_t arg;                      // list number or time-variation kind
  bool single;                      // one call, result 1 = done (the resources)
  RecordLayout layout;
};

struct RecordKind {
  std::string name;                    // as on the command line
  std::string summary;                 // for --help
  std::vector<std::wstring> sheets;    // the sheets it fills
  std::vector<TransferPart> parts;
};

// Every kind in load order (resources first: the other sheets use their names).
const std::vector<RecordKind>& RecordKinds();

// The kinds a list of command-line words names ("all" names every kind), in
// load order without repeats; false with the unknown word.
bool SelectKinds(const std::vector<std::string>& words, std::vector<const RecordKind*>* kinds,
                 std::string* unknown);

// "substances, searchkeys, ..." for messages.
std::string KnownKindNames();

// The sheets of a kind in the workbook: its own sheets, and for roads the
// further sheets a Load filled ("Road (2)", "Road (3)" ...).
std::vector<std::wstring> KindSheets(const RecordKind& kind, const sheethost::Workbook& book);
