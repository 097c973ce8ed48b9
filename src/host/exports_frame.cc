// The frame exports: login (VKInit), releasing the transport (VKFree), the
// latest error text (VKError), the banner (VKAbout) and VKTest.
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "port/port.h"
#include "records/session.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

constexpr const char* Version = "v5.01.25";
constexpr size_t LogPathSize = 1024;
constexpr size_t IdentificationSize = 256;

bool g_transportReady = false;
bool g_loggedIn = false;

bool IsSeparator(wchar_t c) { return c == L',' || c == L';'; }

// Reads the optional ",level[,path]" suffix of the user text and cuts it off.
void ReadDiagnosticSuffix(wchar_t* user, char* logPath) {
  wchar_t* first = user;
  while (*first && !IsSeparator(*first)) ++first;
  if (!*first) return;
  wchar_t* second = first + 1;
  while (*second && !IsSeparator(*second)) ++second;
  if (*second) {
    WideToLatin1(second + 1, logPath, LogPathSize);
    *second = L'\0';
  }
  long level = wcstol(first + 1, nullptr, 10);
  if (level > INT32_MAX) level = INT32_MAX;
  if (level < INT32_MIN) level = INT32_MIN;
  DebugLevel = static_cast<int32_t>(level);
  *first = L'\0';
}

int32_t InitResult(int32_t result) {
  if (DebugLevel > 0) DebugPrint("<-- VKInit = %d\n", static_cast<int>(result));
  return result;
}

}  // namespace

extern "C" {

VKEXPORT int32_t VKAPI VKInit(wchar_t* user, const wchar_t* password, const wchar_t*, const wchar_t* server,
                              const wchar_t*, const wchar_t*, int32_t) {
  if (!password) {
    SetErrorText("Must enter password.");
    return -1;
  }
  if (!user) {
    SetErrorText("Must enter user name.");
    return -1;
  }
  char logPath[LogPathSize];
  snprintf(logPath, sizeof logPath, "%s", port::DefaultLogPath());
  ReadDiagnosticSuffix(user, logPath);

  if (DebugLevel > 0 && !DebugLogIsOpen() && !OpenDebugLog(logPath)) {
    DebugLevel = 0;
    return -1;
  }
  DebugPrint("User = %s\n", Narrow(user).c_str());
  if (DebugLevel > 0) DebugPrint("--> VKInit(%s, ****)\n", Narrow(user).c_str());

  if (!g_transportReady) {
    if (!IORInit()) return InitResult(-1);
    g_transportReady = true;
  }
  // A refused login (unusable parameters, or the server says no) leaves the
  // earlier session exactly as it was.
  static SessionLogin before;
  before = IORCurrentLogin();
  if (!IORSetConnPar(user, password, server) || IORVerifyAuthenticator() != 1) {
    IORRestoreLogin(before);
    return InitResult(-1);
  }
  if (g_loggedIn) return InitResult(0);
  g_loggedIn = true;
  return InitResult(1);
}

VKEXPORT int32_t VKAPI VKFree(void) {
  if (DebugLevel > 0) DebugPrint("--> WFree()\n");
  IORFree();
  // The session handle is gone: the next VKInit starts the transport again.
  g_transportReady = false;
  if (DebugLevel > 0) DebugPrint("<-- WFree\n");
  return 1;
}

VKEXPORT int32_t VKAPI VKError(char* buffer, int32_t size) {
  const char* text = GetErrorText();
  if (buffer && size > 0) {
    size_t n = strlen(text);
    size_t room = static_cast<size_t>(size);
    if (n < room) {
      memcpy(buffer, text, n + 1);
    } else if (room >= 5) {
      memcpy(buffer, text, room - 5);
      memcpy(buffer + room - 5, "...", 4);
    } else {
      // Too small for any text: as many dots as fit.
      memset(buffer, '.', room - 1);
      buffer[room - 1] = '\0';
    }
    if (DebugLevel > 0) DebugPrint("VKError \"%s\"\n", buffer);
  }
  ClearErrorText();
  return 1;
}

VKEXPORT int32_t VKAPI VKAbout(wchar_t* text, int32_t* flag, wchar_t* server) {
  char identification[IdentificationSize];
  snprintf(identification, sizeof identification, "%s", port::TransportIdentification());
  if (text) {
    wchar_t* end = text + swprintf(text, 64, L"Vorkab %ls\n", Widen(Version).c_str());
    Latin1ToWide(identification, end, IdentificationSize);
  }
  if (flag) *flag = 1;
  if (server) swprintf(server, ServerNameSize, L"%ls", IORServerName());
  return static_cast<int32_t>(strlen(identification) + 1);
}

VKEXPORT void VKAPI VKTest(void) {}

}  // extern "C"
