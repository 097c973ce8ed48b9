// On Windows the spreadsheet program exports its C API entry point as
// MdCallBack12 from its own executable; an add-in finds it there when the
// host has not handed it over.
#include "port/excel_entry.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace port {

EXCEL12PROC FindHostExcelEntry() {
  HMODULE host = GetModuleHandleW(nullptr);
  if (!host) return nullptr;
  return reinterpret_cast<EXCEL12PROC>(reinterpret_cast<void*>(GetProcAddress(host, "MdCallBack12")));
}

}  // namespace port
