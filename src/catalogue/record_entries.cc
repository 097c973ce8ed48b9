// The sort trace of the record lists (see record_entries.h).
#include "catalogue/record_entries.h"

#include "host/frame.h"

namespace recordlist {

void TraceSort(const char* owner, bool entering, bool sorted) {
  if (DebugLevel <= 0) return;
  if (entering) {
    DebugPrint(" --> %s::Sort, m_sorted = %d\n", owner, sorted ? 1 : 0);
  } else {
    DebugPrint(" <-- %s::Sort\n", owner);
  }
}

}  // namespace recordlist
