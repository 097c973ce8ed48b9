// Login forwarding of the record layer (see session.h).
#include "records/session.h"

#include "host/frame.h"
#include "transport/connection.h"
#include "transport/latin1.h"

#include <cwchar>

namespace {
wchar_t g_serverName[ServerNameSize];
}

bool IORInit() {
  if (DebugLevel > 0) DebugPrint(" --> IORInit()\n");
  bool ok = IOLInit();
  if (DebugLevel > 0) DebugPrint(" <-- IORInit = %d\n", ok ? 1 : 0);
  return ok;
}

bool IORFree() {
  if (DebugLevel > 0) DebugPrint(" --> IORFree()\n");
  bool ok = IOLFree();
  if (DebugLevel > 0) DebugPrint(" <-- IORFree = %d\n", ok ? 1 : 0);
  return ok;
}

bool IORSetConnPar(const wchar_t* user, const wchar_t* password, const wchar_t* server) {
  if (DebugLevel > 0) DebugPrint(" --> IORSetConnPar(%s, ****, %s)\n", Narrow(user).c_str(), Narrow(server).c_str());
  bool ok = IOLSetConnPar(user, password, server);
  if (ok) {
    size_t n = 0;
    for (; server && server[n] && n + 1 < ServerNameSize; ++n) g_serverName[n] = server[n];
    g_serverName[n] = L'\0';
  }
  if (DebugLevel > 0) DebugPrint(" <-- IORSetConnPar = %d\n", ok ? 1 : 0);
  return ok;
}

int32_t IORVerifyAuthenticator() {
  if (DebugLevel > 0) DebugPrint(" --> IORVerifyAuthenticator()\n");
  int32_t r = IOLVerifyAuthenticator();
  if (DebugLevel > 0) DebugPrint(" <-- IORVerifyAuthenticator = %d\n", static_cast<int>(r));
  return r;
}

const wchar_t* IORServerName() { return g_serverName; }

SessionLogin IORCurrentLogin() {
  SessionLogin login;
  login.conn = IOLCurrentLogin();
  wcscpy(login.serverName, g_serverName);
  return login;
}

void IORRestoreLogin(const SessionLogin& login) {
  IOLRestoreLogin(login.conn);
  wcscpy(g_serverName, login.serverName);
}
