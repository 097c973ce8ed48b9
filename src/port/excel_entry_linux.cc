// On Linux no spreadsheet program hosts the library: the entry point comes
// only from SetExcel12EntryPt.
#include "port/excel_entry.h"

namespace port {

EXCEL12PROC FindHostExcelEntry() { return nullptr; }

}  // namespace port
