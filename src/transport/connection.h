// The command layer's connection state (database, EDB user, EDB name and the
// authenticator named in every request), the request URLs, the login check
// and the wide reply lines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transport/http.h"

// Wide buffers of the command layer, in characters.
constexpr size_t UrlBufferSize = 8096;
constexpr size_t LineBufferSize = 8096;
// The 8-bit line buffer, in bytes.
constexpr size_t NarrowLineBufferSize = 16192;
// Database, EDB user and EDB name hold at most this many characters.
constexpr size_t ConnFieldSize = 1024;
constexpr size_t AuthenticatorSize = 256;

struct ConnPar {
  wchar_t database[ConnFieldSize];
  wchar_t edbUser[ConnFieldSize];
  wchar_t edbName[ConnFieldSize];
  wchar_t authenticator[AuthenticatorSize];
};

// The process-wide connection state.
const ConnPar& CurrentConnPar();

bool IOLInit();
bool IOLFree();
// Builds the authenticator and hands user and server address to the
// transport.  False, with ErrorText set and nothing changed, when the login
// cannot be used (too long, a wrong address option, or characters without an
// 8-bit form).
bool IOLSetConnPar(const wchar_t* user, const wchar_t* password, const wchar_t* server);
int32_t IOLVerifyAuthenticator();

// The login as the transport and this layer hold it, for putting it back
// after a refused login.
struct ConnLogin {
  HTTPLogin http;
  wchar_t authenticator[AuthenticatorSize];
};
ConnLogin IOLCurrentLogin();
void IOLRestoreLogin(const ConnLogin& login);

// Builds "do.cgi?<authenticator>&" and the formatted command (whose first '?'
// becomes '&') into url (UrlBufferSize characters).  False, with ErrorText
// set, when it does not fit.
bool MakeUrlBuf(wchar_t* url, const wchar_t* format, ...);

void IOLDatabaseSet(const wchar_t* name);
void IOLDatabaseGet(wchar_t* out);  // out holds ConnFieldSize characters
void IOLEdbUserSet(const wchar_t* name);
void IOLEdbUserGet(wchar_t* out);
void IOLEdbNameSet(const wchar_t* name);  // empty selects "x"
void IOLEdbNameGet(wchar_t* out);         // empty while the EDB user is "global"

// Converts wide text into the 8-bit line buffer and returns it.
const char* Wcs2Mbs(const wchar_t* text);
// Reads one reply line into buffer (size characters): 1, 0 end, -1 failure.
int32_t WcsGetLine(wchar_t* buffer, size_t size);
// WcsGetLine that also gives the length of the text it put into buffer.
int32_t WcsGetLineCounted(wchar_t* buffer, size_t size, size_t* length);
// WcsGetLine with LineBufferSize characters.
int32_t IOLGetLine(wchar_t* buffer);

// The command layer's shared line buffer (LineBufferSize characters).
wchar_t* IOLLineBuffer();
