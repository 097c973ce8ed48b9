// Exports that hand the error and warning lists to the macro: one formatted
// line at a time, or one entry with its sheet and 1-based row and column.
#include <cstdint>

#include "host/frame.h"
#include "host/issue_list.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

int32_t ListLine(const char* name, IssueList& list, int32_t first, wchar_t* buffer, int32_t size) {
  if (DebugLevel > 0) DebugPrint("--> %s(%d, %d)\n", name, static_cast<int>(first), static_cast<int>(size));
  int32_t result = list.Next(first, buffer, size);
  if (DebugLevel > 0) {
    if (result == 1)
      DebugPrint("<-- %s = %d [%s]\n", name, static_cast<int>(result), Narrow(buffer).c_str());
    else
      DebugPrint("<-- %s = %d\n", name, static_cast<int>(result));
  }
  return result;
}

// 0-based stored position to the 1-based one the macro sees; none gives 0.
int32_t OneBased(int32_t position) {
  if (position < 0) return 0;
  return position == INT32_MAX ? INT32_MAX : position + 1;
}

int32_t EntryInfo(const char* name, const IssueList& list, int32_t index, int32_t* row,
                  int32_t* column, wchar_t* sheet) {
  if (DebugLevel > 0) DebugPrint("--> %s(%d)\n", name, static_cast<int>(index));
  int32_t r = -1;
  int32_t c = -1;
  int32_t result = list.GetInfo(index, sheet, kIssueSheetSize, &r, &c, nullptr, 0);
  if (result == 1) {
    if (row) *row = OneBased(r);
    if (column) *column = OneBased(c);
  }
  if (DebugLevel > 0) DebugPrint("<-- %s = %d\n", name, static_cast<int>(result));
  return result;
}

}  // namespace

int32_t VKAPI VKListError(int32_t first, wchar_t* buffer, int32_t size) {
  return ListLine("VKListError", ErrorList, first, buffer, size);
}

int32_t VKAPI VKListWarning(int32_t first, wchar_t* buffer, int32_t size) {
  return ListLine("VKListWarning", WarningList, first, buffer, size);
}

int32_t VKAPI VKGetErrorInfo(int32_t index, int32_t* row, int32_t* column, wchar_t* sheet) {
  return EntryInfo("VKGetErrorInfo", ErrorList, index, row, column, sheet);
}

int32_t VKAPI VKGetWarningInfo(int32_t index, int32_t* row, int32_t* column, wchar_t* sheet) {
  return EntryInfo("VKGetWarningInfo", WarningList, index, row, column, sheet);
}
