// How the library finds the spreadsheet host's entry point when the host has
// not handed it over with SetExcel12EntryPt: platform code.
#pragma once

#include "port/xlcall.h"

namespace port {

// The entry point the host process itself exposes, or null when it has none.
EXCEL12PROC FindHostExcelEntry();

}  // namespace port
