// The HTTP transport: one process-wide session, one request at a time, reply
// lines handed out one by one from a reused receive buffer, and POST bodies
// collected line by line.  8-bit text only; the command layer converts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transport/sha256.h"

// Largest number of bytes asked for per read, whatever the reply's
// Content-Length says: keeps memory flat for replies of any size.
constexpr int32_t MaxRecvChunk = 64 * 1024;
// Bytes asked for per read when the reply has no Content-Length.
constexpr int32_t DefaultRecvChunk = 5120;
// The POST body's buffer starts with this many bytes and doubles whenever
// it fills; it is released once the request is over.
constexpr size_t SendBufferStep = 64 * 1024;
// Longest command URL HTTPGet accepts (the path prefix makes it 10220).
constexpr size_t MaxGetUrlLength = 10202;
// User names and hosts are kept in 64-byte fields.
constexpr size_t HostFieldSize = 64;

// What a login sets in the transport; copied whole, so that a refused login
// can put the earlier one back.
struct HTTPLogin {
  char user[HostFieldSize] = {};
  char host[HostFieldSize] = {};
  uint16_t port = 0;
  bool secure = false;
  // The server address pins the server's certificate (";pin=sha256:..."):
  // only the certificate with this fingerprint is accepted, trusted or not.
  bool pinned = false;
  Sha256Digest pin = {};
};

bool HTTPInit();
bool HTTPFree();
// Stores the user and parses the server address ("https://host:port", then
// options such as ";pin=sha256:<64 hex digits>").  False, with ErrorText set
// and nothing changed, when the user name or host does not fit its 64-byte
// field, the port is out of range or an option is wrong.
bool HTTPConnection(const char* user, const char* password, const char* address);
HTTPLogin HTTPCurrentLogin();
void HTTPRestoreLogin(const HTTPLogin& login);
// Every command first closes the one still open.  A status outside 2xx fails
// it ("Kalvoro answered HTTP 503 ..."); so does a reply that breaks off
// before its first byte.
int32_t HTTPGet(const char* url);
// 1 a line, 0 the reply has ended, -1 failure (also after a command that
// failed to start: its reply cannot be read).
int32_t HTTPGetLine(char* line, int32_t size);
// HTTPGetLine that also gives the number of bytes it put into line (the
// line's bytes up to its end, a zero byte among them included).
int32_t HTTPGetLineCounted(char* line, int32_t size, int32_t* length);
int32_t HTTPPost(const char* url);
int32_t HTTPWriteLine(const char* text);
int32_t HTTPEndWrite();
// Records a command that the layer above refused before it went out: while
// no reply is open, reading lines then fails as after a failed HTTPGet.  An
// open command stays as it is.
void HTTPRefuseCommand();
// Closes the open command, if any; reading lines then answers 0.
void HTTPAbortCommand();
// Grows whenever a command starts or an open one is closed.  A caller that
// keeps a command open across calls notes it and, when it has changed, knows
// that something else used the connection in between.
uint32_t HTTPCommandNumber();
const char* HTTPGetCurrUser();
const char* HTTPUrlEncode(const char* url);

// The parsed server address, for tests and the log.
struct HTTPServerAddress {
  const char* host;
  uint16_t port;
  bool secure;
};
HTTPServerAddress HTTPGetServerAddress();
