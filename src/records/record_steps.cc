// The record kinds' shared steps (see record_steps.h).
#include "records/record_steps.h"

#include <cwchar>
#include <string>

#include "host/frame.h"
#include "records/alob.h"
#include "records/record_io.h"
#include "transport/latin1.h"

int32_t IORLogged(const char* name, int32_t result) {
  if (DebugLevel > 0) DebugPrint(" <-- %s = %d\n", name, static_cast<int>(result));
  return result;
}

int32_t IORRecordEnd(const char* kind, uint32_t index) {
  int32_t r = IORGetLine();
  if (r < 0) return -1;
  if (r == 1 && wcslen(IORLine()) >= 2) {
    SetErrorText("%s %lu: Unexpected end of record: %s", kind, static_cast<unsigned long>(index),
                 Narrow(IORLine()).c_str());
    return -1;
  }
  return 1;
}

int32_t IORRecordAlobTail(const char* kind, const wchar_t* label, Alob* alob) {
  std::string name = Narrow(label);
  int32_t r = IORGetLine();
  if (r != 1) {
    if (r == 0) SetLineErrorText("%s (%s): Out of data scanning ALOB\n", kind, name.c_str());
    return -1;
  }
  int n = -1;
  int end = -1;
  if (swscanf(IORLine(), L"ALOB %d %n", &n, &end) != 1 || end < 0 || IORLine()[end] != 0 || n < 0) {
    SetErrorText("%s (%s): ALOB must start with label ALOB\n", kind, name.c_str());
    return -1;
  }
  if (GetAlob(alob, n, label) != 0) {
    if (!IORLineRefused()) {
      SetErrorText("%s (%s): ALOB error:  %s\n", kind, name.c_str(), Narrow(IORLine()).c_str());
    }
    return -1;
  }
  r = IORGetLine();
  if (r != 1) {
    if (r == 0) SetLineErrorText("%s (%s): Out of data scanning empty line\n", kind, name.c_str());
    return -1;
  }
  return 1;
}

bool IORQuotedFits(const char* kind, const wchar_t* label, const wchar_t* keyword, size_t size) {
  const wchar_t* open = wcschr(IORLine(), L'"');
  if (!open) return true;  // the keyword alone: an empty text
  const wchar_t* close = wcschr(open + 1, L'"');
  size_t length = close ? static_cast<size_t>(close - open - 1) : wcslen(open + 1);
  if (length + 1 <= size) return true;
  SetErrorText("%s (%s): %s is longer than %d characters, which the record cannot hold\n", kind,
               Narrow(label).c_str(), Narrow(keyword).c_str(), static_cast<int>(size - 1));
  return false;
}
