// Excel12 and Excel12v: the library's calls into the spreadsheet host, and the
// export SetExcel12EntryPt through which a host hands over its entry point.
// Without one, the platform's own lookup (port::FindHostExcelEntry) is tried.
#include <cstdarg>

#include "host/frame.h"
#include "port/excel_entry.h"
#include "port/xlcall.h"
#include "vorkabcom.h"

namespace {

EXCEL12PROC g_entry = nullptr;

EXCEL12PROC EntryPoint() {
  if (!g_entry) g_entry = port::FindHostExcelEntry();
  return g_entry;
}

}  // namespace

extern "C" void VKAPI SetExcel12EntryPt(EXCEL12PROC entry) {
  if (DebugLevel > 0) DebugPrint("--> SetExcel12EntryPt(%s)\n", entry ? "entry" : "null");
  g_entry = entry;
  if (DebugLevel > 0) DebugPrint("<-- SetExcel12EntryPt\n");
}

int Excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* args[]) {
  EXCEL12PROC entry = EntryPoint();
  if (!entry) return xlretFailed;
  if (count < 0 || count > kXlMaxArguments || (count > 0 && !args)) return xlretInvCount;
  return entry(xlfn, count, args, result);
}

int Excel12(int xlfn, XLOPER12* result, int count, ...) {
  EXCEL12PROC entry = EntryPoint();
  if (!entry) return xlretFailed;
  if (count < 0 || count > kXlMaxArguments) return xlretInvCount;
  XLOPER12* args[kXlMaxArguments];
  va_list list;
  va_start(list, count);
  for (int i = 0; i < count; ++i) args[i] = va_arg(list, XLOPER12*);
  va_end(list);
  return entry(xlfn, count, args, result);
}
