// Connection state, request URLs, the login check and reply lines of the
// command layer (see connection.h).
#include "transport/connection.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "transport/authenticator.h"
#include "transport/http.h"
#include "transport/latin1.h"

namespace {

constexpr size_t LoginTextSize = 2048;

ConnPar g_conn = {{L'R', L'E', L'F', 0}, {0}, {0}, {0}};
wchar_t g_lineBuffer[LineBufferSize];
char g_narrowLine[NarrowLineBufferSize];

void CopyField(wchar_t* field, const wchar_t* value) {
  size_t n = 0;
  if (value) {
    for (; value[n] && n + 1 < ConnFieldSize; ++n) field[n] = value[n];
  }
  field[n] = L'\0';
}

void CopyOut(wchar_t* out, const wchar_t* value) {
  if (!out) return;
  wcscpy(out, value);  // value holds at most ConnFieldSize - 1 characters
}

}  // namespace

const ConnPar& CurrentConnPar() { return g_conn; }

bool IOLInit() {
  if (DebugLevel > 0) DebugPrint("  --> IOLInit()\n");
  bool ok = HTTPInit();
  if (ok) {
    CopyField(g_conn.database, L"REF");
    CopyField(g_conn.edbUser, L"");
    CopyField(g_conn.edbName, L"");
  }
  if (DebugLevel > 0) DebugPrint("  <-- IOLInit = %d\n", ok ? 1 : 0);
  return ok;
}

bool IOLFree() {
  if (DebugLevel > 0) DebugPrint("  --> IOLFree()\n");
  bool ok = HTTPFree();
  if (DebugLevel > 0) DebugPrint("  <-- IOLFree = %d\n", ok ? 1 : 0);
  return ok;
}

bool IOLSetConnPar(const wchar_t* user, const wchar_t* password, const wchar_t* server) {
  if (DebugLevel > 0) DebugPrint("  --> IOLSetConnPar(%s, ****, %s)\n", Narrow(user).c_str(), Narrow(server).c_str());
  auto done = [](bool ok) {
    if (DebugLevel > 0) DebugPrint("  <-- IOLSetConnPar = %d\n", ok ? 1 : 0);
    return ok;
  };
  if (!IsLatin1(user) || !IsLatin1(password) || !IsLatin1(server)) {
    SetErrorText("User name, password and server address must use ISO 8859-1 characters only.");
    return done(false);
  }
  char address[LoginTextSize];
  char userText[LoginTextSize];
  char passwordText[LoginTextSize];
  WideToLatin1(server, address, sizeof address);
  WideToLatin1(user, userText, sizeof userText);
  WideToLatin1(password, passwordText, sizeof passwordText);

  char authenticator[AuthenticatorBufferSize];
  bool ok = CreateAuthenticator(userText, passwordText, DebugLevel, authenticator);
  memset(passwordText, 0, sizeof passwordText);
  if (!ok) return done(false);

  // The transport checks the rest; only when it takes the login does the
  // authenticator change with it.
  const char* colon = strchr(address, ':');
  if (!HTTPConnection(userText, nullptr, colon ? colon + 1 : address)) {
    memset(authenticator, 0, sizeof authenticator);
    return done(false);
  }
  SetMaskedSecret(authenticator);
  Latin1ToWide(authenticator, g_conn.authenticator, AuthenticatorSize);
  memset(authenticator, 0, sizeof authenticator);
  return done(true);
}

ConnLogin IOLCurrentLogin() {
  ConnLogin login;
  login.http = HTTPCurrentLogin();
  wcscpy(login.authenticator, g_conn.authenticator);
  return login;
}

void IOLRestoreLogin(const ConnLogin& login) {
  HTTPRestoreLogin(login.http);
  wcscpy(g_conn.authenticator, login.authenticator);
  char narrow[AuthenticatorBufferSize];
  WideToLatin1(login.authenticator, narrow, sizeof narrow);
  SetMaskedSecret(narrow);
}

bool MakeUrlBuf(wchar_t* url, const wchar_t* format, ...) {
  wchar_t command[UrlBufferSize];
  size_t n = 0;
  for (; format[n] && n + 1 < UrlBufferSize; ++n) command[n] = format[n];
  command[n] = L'\0';
  if (wchar_t* question = wcschr(command, L'?')) *question = L'&';

  int head = swprintf(url, UrlBufferSize, L"do.cgi?%ls&", g_conn.authenticator);
  int tail = -1;
  if (head >= 0) {
    va_list args;
    va_start(args, format);
    tail = vswprintf(url + head, UrlBufferSize - static_cast<size_t>(head), command, args);
    va_end(args);
  }
  if (head < 0 || tail < 0) {
    url[0] = L'\0';
    SetErrorText("Too long URL.");
    return false;
  }
  return true;
}

int32_t IOLVerifyAuthenticator() {
  if (DebugLevel > 0) DebugPrint("  --> IOLVerifyAuthenticator()\n");
  auto done = [](int32_t result) {
    HTTPAbortCommand();
    if (DebugLevel > 0) DebugPrint("  <-- IOLVerifyAuthenticator = %d\n", static_cast<int>(result));
    return result;
  };
  wchar_t url[UrlBufferSize];
  if (!MakeUrlBuf(url, L"checkauth.cgi&x") || HTTPGet(Wcs2Mbs(url)) != 1) {
    AppendErrorText("Request '%s' failed", Narrow(url).c_str());
    return done(-1);
  }
  int32_t r = WcsGetLine(g_lineBuffer, LineBufferSize);
  if (r != 1) return done(r);
  if (wcsncmp(g_lineBuffer, L"Error:", 6) == 0) {
    SetErrorText("%s\n", Narrow(g_lineBuffer).c_str());
    return done(0);
  }
  if (wcscmp(g_lineBuffer, L"OK") == 0) return done(1);
  SetErrorText("Unexpected response from server: %s", Narrow(g_lineBuffer).c_str());
  if (DebugLevel >= 1) {
    while (WcsGetLine(g_lineBuffer, LineBufferSize) == 1) DebugPrint("  %s\n", Narrow(g_lineBuffer).c_str());
  }
  return done(0);
}

void IOLDatabaseSet(const wchar_t* name) { CopyField(g_conn.database, name); }
void IOLDatabaseGet(wchar_t* out) { CopyOut(out, g_conn.database); }
void IOLEdbUserSet(const wchar_t* name) { CopyField(g_conn.edbUser, name); }
void IOLEdbUserGet(wchar_t* out) { CopyOut(out, g_conn.edbUser); }

void IOLEdbNameSet(const wchar_t* name) { CopyField(g_conn.edbName, (name && *name) ? name : L"x"); }

void IOLEdbNameGet(wchar_t* out) { CopyOut(out, wcscmp(g_conn.edbUser, L"global") == 0 ? L"" : g_conn.edbName); }

const char* Wcs2Mbs(const wchar_t* text) {
  WideToLatin1(text, g_narrowLine, sizeof g_narrowLine);
  if (DebugLevel > 2) DebugPrint("  > %s\n", g_narrowLine);
  return g_narrowLine;
}

int32_t WcsGetLine(wchar_t* buffer, size_t size) {
  size_t length = 0;
  return WcsGetLineCounted(buffer, size, &length);
}

int32_t WcsGetLineCounted(wchar_t* buffer, size_t size, size_t* length) {
  *length = 0;
  if (size == 0) return -1;
  // Every byte becomes one wide character: a line longer than the caller's
  // buffer arrives in pieces rather than being cut.
  size_t bytes = size < sizeof g_narrowLine ? size : sizeof g_narrowLine;
  int32_t got = 0;
  int32_t r = HTTPGetLineCounted(g_narrowLine, static_cast<int32_t>(bytes), &got);
  if (r != 1) {
    buffer[0] = L'\0';
    return r;
  }
  if (DebugLevel > 2) DebugPrint("  < %s\n", g_narrowLine);
  // As Latin1ToWide: up to a zero byte, at most size - 1 characters.
  size_t n = static_cast<size_t>(got);
  if (const void* zero = memchr(g_narrowLine, 0, n)) n = static_cast<size_t>(static_cast<const char*>(zero) - g_narrowLine);
  if (n > size - 1) n = size - 1;
  for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<wchar_t>(static_cast<unsigned char>(g_narrowLine[i]));
  buffer[n] = L'\0';
  *length = n;
  return 1;
}

int32_t IOLGetLine(wchar_t* buffer) { return WcsGetLine(buffer, LineBufferSize); }

wchar_t* IOLLineBuffer() { return g_lineBuffer; }
