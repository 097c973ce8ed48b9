// List replies, the resource file and selection forwarders (see lists.h).
#include "records/lists.h"

#include <cwchar>

#include "host/frame.h"
#include "records/record_steps.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"

namespace {

wchar_t g_line[LineBufferSize];

// Reads the next entry of a list reply: 1 entry, 0 end (an empty line ends
// the list), -1 failure.
int32_t NextEntry(const char* name, int32_t first, int32_t (*request)()) {
  if (DebugLevel > 0) DebugPrint(" --> %s(%s)\n", name, first ? "first" : "next");
  if (first) {
    HTTPAbortCommand();
    request();  // a failed request leaves no reply: the read below answers 0
  }
  int32_t r = IOLGetLine(g_line);
  if (r != 1) return IORLogged(name, r);
  if (g_line[0] == L'\0') {
    HTTPAbortCommand();
    return IORLogged(name, 0);
  }
  return IORLogged(name, 1);
}

}  // namespace

int32_t IORDatabasesList(int32_t first, wchar_t* out) {
  out[0] = L'\0';
  int32_t r = NextEntry("IORDatabasesList", first, IOLDatabasesList);
  if (r == 1) wcscpy(out, g_line);
  return r;
}

int32_t IOREdbUsersList(int32_t first, wchar_t* out) {
  out[0] = L'\0';
  int32_t r = NextEntry("IOREdbUsersList", first, IOLEdbUsersList);
  if (r != 1) return r;
  // The user name is the first ';'-separated token; a description may follow.
  const wchar_t* start = g_line;
  while (*start == L';') ++start;
  size_t n = 0;
  while (start[n] && start[n] != L';') {
    out[n] = start[n];
    ++n;
  }
  out[n] = L'\0';
  return 1;
}

int32_t IOREdbNamesList(int32_t first, wchar_t* out) {
  int32_t r = NextEntry("IOREdbNamesList", first, IOLEdbNamesList);
  if (r == 1) wcscpy(out, g_line);
  return r;
}

int32_t IOREdbRsrcLoad(int32_t first, wchar_t* out) {
  if (DebugLevel > 0) DebugPrint(" --> IOREdbRsrcLoad(%s)\n", first ? "first" : "next");
  if (first) {
    HTTPAbortCommand();
    // A file that could not be requested is a failure, not an empty file.
    if (IOLEdbRsrcLoad() != 1) return IORLogged("IOREdbRsrcLoad", -1);
  }
  int32_t r = IOLGetLine(g_line);
  if (r == 1) wcscpy(out, g_line);
  return IORLogged("IOREdbRsrcLoad", r);
}

int32_t IOREdbRsrcSave(int32_t operation, const wchar_t* line) {
  switch (operation) {
    case RsrcSaveStart:
      if (DebugLevel > 0) DebugPrint(" --> IOREdbRsrcSave(start)\n");
      HTTPAbortCommand();
      return IORLogged("IOREdbRsrcSave", IOLEdbRsrcSave());
    case RsrcSaveLine:
      return IOLSendLine(L"%ls", line ? line : L"");
    case RsrcSaveFinish: {
      if (DebugLevel > 0) DebugPrint(" --> IOREdbRsrcSave(finish)\n");
      int32_t r = IOLPutDone();
      if (r != 1) return IORLogged("IOREdbRsrcSave", r);
      r = IOLGetLine(g_line);
      if (r == 0) {
        HTTPAbortCommand();
        return IORLogged("IOREdbRsrcSave", 1);
      }
      if (r == 1) SetErrorText("Error writing edb.rsrc file: %s", Narrow(g_line).c_str());
      HTTPAbortCommand();
      return IORLogged("IOREdbRsrcSave", -1);
    }
    case RsrcSaveAbort:
      HTTPAbortCommand();
      return 1;
    default:
      return 1;
  }
}

void IORDatabaseSet(const wchar_t* name) { IOLDatabaseSet(name); }
void IORDatabaseGet(wchar_t* out) { IOLDatabaseGet(out); }
void IOREdbUserSet(const wchar_t* name) { IOLEdbUserSet(name); }
void IOREdbUserGet(wchar_t* out) { IOLEdbUserGet(out); }
void IOREdbNameSet(const wchar_t* name) { IOLEdbNameSet(name); }
void IOREdbNameGet(wchar_t* out) { IOLEdbNameGet(out); }
int32_t IOREdbCreate(const wchar_t* name) { return IOLEdbCreate(name); }
