// The record layer's side of the login: starting the command layer, the
// connection parameters, the login check and the server name VKAbout shows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transport/connection.h"

constexpr size_t ServerNameSize = 256;

bool IORInit();
bool IORFree();
// Keeps the server address for VKAbout and sets the command layer's
// connection parameters; false, with ErrorText set and nothing changed, when
// they are unusable.
bool IORSetConnPar(const wchar_t* user, const wchar_t* password, const wchar_t* server);
int32_t IORVerifyAuthenticator();
const wchar_t* IORServerName();

// Everything a login sets, for putting it back when the server refuses one.
struct SessionLogin {
  ConnLogin conn;
  wchar_t serverName[ServerNameSize];
};
SessionLogin IORCurrentLogin();
void IORRestoreLogin(const SessionLogin& login);
