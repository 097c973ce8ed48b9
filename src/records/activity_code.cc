// The ACTIVITYCODE line (see activity_code.h).
#include "records/activity_code.h"

#include <cwchar>

#include "host/frame.h"
#include "records/record_io.h"
#include "records/scanners.h"
#include "transport/latin1.h"

int32_t IORReadActivityCode(const char* kind, const wchar_t* name, CodeString* code) {
  int32_t r = IORGetLine();
  if (r < 0) return -1;
  if (r == 0) {
    SetLineErrorText("%s (%s): Out of data scanning ACTIVITYCODE\n", kind, Narrow(name).c_str());
    return -1;
  }
  if (!code) return 1;
  const wchar_t* line = IORLine();
  if (!keyscan::BeginsWith(line, L"ACTIVITYCODE")) {
    SetErrorText("%s (%s): Expecting %s not %s\n", kind, Narrow(name).c_str(), "ACTIVITYCODE", Narrow(line).c_str());
    return -1;
  }
  const wchar_t* rest = line + wcslen(L"ACTIVITYCODE");
  if (*rest) ++rest;  // the one separating character
  return CopyCode(code, rest) == 0 ? 1 : -1;
}
