// The record kinds' shared steps (see record_steps.h).
#include "records/record_steps.h"

#include <cwchar>

#include "host/frame.h"
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
