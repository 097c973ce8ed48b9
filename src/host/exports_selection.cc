// The selection exports: the lists of databases, EDB users and EDB names from
// the server, the current choice of each, and creating an empty EDB.
#include <cwchar>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "records/lists.h"
#include "transport/connection.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

// Names handed to a caller's buffer hold at most 1023 characters.
constexpr size_t NameBufferSize = 1024;

// Refills `list` from a list reply; `failure` is the result for a broken read.
int32_t LoadList(const char* name, CRecordList& list, int32_t (*next)(int32_t, wchar_t*), int32_t failure) {
  if (DebugLevel > 0) DebugPrint("--> %s()\n", name);
  list.Clear();
  static wchar_t entry[LineBufferSize];
  int32_t r = next(1, entry);
  while (r == 1) {
    list.AddName(entry);
    r = next(0, entry);
  }
  int32_t result = failure;
  if (r == 0) {
    list.Sort();
    result = 1;
  }
  if (DebugLevel > 0) DebugPrint("<-- %s = %d\n", name, static_cast<int>(result));
  return result;
}

int32_t ListNames(const char* name, CRecordList& list, int32_t first, wchar_t* buffer) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s)\n", name, first ? "first" : "next");
  int32_t r = list.List(first, buffer, buffer ? NameBufferSize : 0);
  if (DebugLevel > 0) DebugPrint("<-- %s = %d [%s]\n", name, static_cast<int>(r), r == 1 ? Narrow(buffer).c_str() : "");
  return r;
}

void SetName(const char* name, void (*set)(const wchar_t*), const wchar_t* value) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s)\n", name, Narrow(value).c_str());
  set(value ? value : L"");
  if (DebugLevel > 0) DebugPrint("<-- %s\n", name);
}

void GetName(const char* name, void (*get)(wchar_t*), wchar_t* buffer) {
  if (DebugLevel > 0) DebugPrint("--> %s()\n", name);
  if (!buffer) return;
  wchar_t value[ConnFieldSize];
  get(value);
  wcsncpy(buffer, value, NameBufferSize - 1);
  buffer[NameBufferSize - 1] = L'\0';
  if (DebugLevel > 0) DebugPrint("<-- %s = \"%s\"\n", name, Narrow(buffer).c_str());
}

}  // namespace

extern "C" {

VKEXPORT int32_t VKAPI VKDatabasesLoad(void) { return LoadList("VKDatabasesLoad", DatabaseList, IORDatabasesList, -1); }
VKEXPORT int32_t VKAPI VKDatabasesList(int32_t first, wchar_t* buffer) {
  return ListNames("VKDatabasesList", DatabaseList, first, buffer);
}
VKEXPORT void VKAPI VKDatabaseSet(const wchar_t* name) { SetName("VKDatabaseSet", IORDatabaseSet, name); }
VKEXPORT void VKAPI VKDatabaseGet(wchar_t* buffer) { GetName("VKDatabaseGet", IORDatabaseGet, buffer); }

VKEXPORT int32_t VKAPI VKEdbUsersLoad(void) { return LoadList("VKEdbUsersLoad", EdbUserList, IOREdbUsersList, 0); }
VKEXPORT int32_t VKAPI VKEdbUsersList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbUsersList", EdbUserList, first, buffer);
}
VKEXPORT void VKAPI VKEdbUserSet(const wchar_t* name) { SetName("VKEdbUserSet", IOREdbUserSet, name); }
VKEXPORT void VKAPI VKEdbUserGet(wchar_t* buffer) { GetName("VKEdbUserGet", IOREdbUserGet, buffer); }

VKEXPORT int32_t VKAPI VKEdbNamesLoad(void) { return LoadList("VKEdbNamesLoad", EdbNameList, IOREdbNamesList, 0); }
VKEXPORT int32_t VKAPI VKEdbNamesList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbNamesList", EdbNameList, first, buffer);
}
VKEXPORT void VKAPI VKEdbNameSet(const wchar_t* name) { SetName("VKEdbNameSet", IOREdbNameSet, name); }
VKEXPORT void VKAPI VKEdbNameGet(wchar_t* buffer) { GetName("VKEdbNameGet", IOREdbNameGet, buffer); }

VKEXPORT int32_t VKAPI VKEdbCreate(const wchar_t* name) {
  if (DebugLevel > 0) DebugPrint("--> VKEdbCreate(%s)\n", Narrow(name).c_str());
  int32_t r = IOREdbCreate(name ? name : L"");
  if (DebugLevel > 0) DebugPrint("<-- VKEdbCreate = %d\n", static_cast<int>(r));
  return r;
}

}  // extern "C"
