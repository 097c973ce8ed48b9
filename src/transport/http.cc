// The HTTP transport over the WinINet calls (real on Windows, our substitute on
// Linux): requests under "/cgi-bin/ikalvoro/", chunked reading of the reply
// into one reused buffer, and the line reader on top of it.
#include "transport/http.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "host/frame.h"
#include "port/port.h"

namespace {

constexpr const char* PathPrefix = "/cgi-bin/ikalvoro/";
constexpr size_t UrlPathSize = 10240;
constexpr size_t PostScriptSize = 512;
constexpr size_t CanonicalUrlSize = 256;
constexpr DWORD ReceiveTimeoutMs = 600000;
constexpr DWORD RequestFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
constexpr DWORD IgnoreCertificateFlags = SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_UNKNOWN_CA |
                                         SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                                         SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;

struct Transport {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  bool replyOpen = false;
  std::vector<char> recvBuffer;  // recvSize + 1 bytes
  int32_t recvSize = DefaultRecvChunk;
  int32_t recvPos = 0;
  int32_t recvLength = 0;  // bytes of the last chunk
  char urlPath[UrlPathSize] = {};
  char postScript[PostScriptSize] = {};
  char* sendBuffer = nullptr;
  size_t sendCapacity = 0;
  size_t sendLength = 0;
  uint16_t port = 0;
  bool secure = false;
  char user[HostFieldSize] = {};
  char host[HostFieldSize] = {};
  char canonicalUrl[CanonicalUrlSize] = {};
  // A POST body is being collected (HTTPPost until HTTPEndWrite).
  bool collecting = false;
  // The latest command could not be started or its reply not begun: reading
  // its lines fails instead of answering "no more lines".
  bool commandFailed = false;
  // Counts the commands started and the open ones closed (see HTTPCommandNumber).
  uint32_t commandNumber = 0;
  // The certificate errors accepted for this server (the SECURITY_FLAG_IGNORE_*
  // bits of the first retry); every later request of the session carries them.
  DWORD acceptedCertificateFlags = 0;
};

Transport t;

int LastError() { return static_cast<int>(GetLastError()); }

bool CommandOpen() { return t.request || t.connection || t.replyOpen || t.collecting; }

void CloseRequestAndConnection() {
  if (t.request) InternetCloseHandle(t.request);
  if (t.connection) InternetCloseHandle(t.connection);
  t.request = nullptr;
  t.connection = nullptr;
}

// Opens the connection and sets its receive time-out.
bool OpenConnection() {
  if (DebugLevel > 1) DebugPrint("      InternetConnect(%s, %u)\n", t.host, static_cast<unsigned>(t.port));
  t.connection = InternetConnectA(t.session, t.host, t.port, "", "", INTERNET_SERVICE_HTTP, 0, 0);
  if (!t.connection) {
    AppendErrorText("InternetConnect(%s) returned error %d.", t.host, LastError());
    return false;
  }
  DWORD timeout = ReceiveTimeoutMs;
  if (!InternetSetOptionA(t.connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout)) {
    AppendErrorText("InternetSetOption(RECEIVE_TIMEOUT) returned error %d.", LastError());
    return false;
  }
  return true;
}

bool OpenRequest(const char* verb) {
  DWORD flags = RequestFlags | (t.secure ? INTERNET_FLAG_SECURE : 0);
  t.request = HttpOpenRequestA(t.connection, verb, t.urlPath, "HTTP/1.0", nullptr, nullptr, flags, 0);
  if (!t.request) {
    AppendErrorText("HttpOpenRequest(%s %s) returned error %d.", verb, t.urlPath, LastError());
    return false;
  }
  return true;
}

// Reads a header as a decimal number; false when it cannot be read.
bool QueryNumber(DWORD level, long* value) {
  char text[32] = {};
  DWORD length = sizeof text;
  if (!HttpQueryInfoA(t.request, level, text, &length, nullptr)) return false;
  text[sizeof text - 1] = '\0';
  char* end = nullptr;
  *value = strtol(text, &end, 10);
  return end != text;
}

bool Send(const void* body, DWORD length) {
  return HttpSendRequestA(t.request, nullptr, 0, const_cast<void*>(body), length) != FALSE;
}

const char* DialogResultName(DWORD result) {
  switch (result) {
    case ERROR_CANCELLED: return "CANCELLED";
    case ERROR_SUCCESS: return "SUCCESS";
    case ERROR_INVALID_HANDLE: return "INVALID_HANDLE";
    default: return nullptr;
  }
}

// Status 401 or 407: let the platform ask for credentials; only a retry
// answer leads to one resend.  True when the command may go on.
bool Authenticate(bool post, const void* body, DWORD bodyLength) {
  HWND owner = GetDesktopWindow();
  char challenge[512] = {};
  DWORD length = sizeof challenge;
  if (HttpQueryInfoA(t.request, HTTP_QUERY_PROXY_AUTHENTICATE, challenge, &length, nullptr)) {
    challenge[sizeof challenge - 1] = '\0';
    if (DebugLevel > 1) DebugPrint("      Proxy-Authenticate: %s\n", challenge);
  } else if (post) {
    return false;
  }
  DWORD result = InternetErrorDlg(owner, t.request, ERROR_INTERNET_INCORRECT_PASSWORD,
                                  FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                                      FLAGS_ERROR_UI_FLAGS_GENERATE_DATA,
                                  nullptr);
  if (result != ERROR_INTERNET_FORCE_RETRY) {
    if (DebugLevel > 1) {
      const char* name = DialogResultName(result);
      if (name) DebugPrint("      InternetErrorDlg = %s\n", name);
      else DebugPrint("      InternetErrorDlg = %lu\n", static_cast<unsigned long>(result));
    }
    return false;
  }
  if (!Send(body, bodyLength)) {
    AppendErrorText("HttpSendRequest(%s %s) returned error %d.", post ? "POST" : "GET", t.urlPath, LastError());
    return false;
  }
  return true;
}

// The reason phrase of the statuses a web server or proxy commonly answers.
const char* StatusReason(long status) {
  switch (status) {
    case 300: return "Multiple Choices";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 407: return "Proxy Authentication Required";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "";
  }
}

// Only a 2xx status carries the script's reply; anything else (an error page
// of the web server or a proxy, a redirect) fails the command.
bool StatusAccepted(const char* verb, long status) {
  if (status >= 200 && status <= 299) return true;
  const char* reason = StatusReason(status);
  AppendErrorText("Kalvoro answered HTTP %ld%s%s to a %s request.", status, *reason ? " " : "", reason, verb);
  return false;
}

// Status 401 or 407 goes through the credentials steps; then the status must
// be a 2xx one.  False with ErrorText set.
bool CheckStatus(const char* verb, bool post, const void* body, DWORD bodyLength) {
  long status = 0;
  if (!QueryNumber(HTTP_QUERY_STATUS_CODE, &status)) {
    AppendErrorText("Kalvoro's reply to a %s request has no readable status.", verb);
    return false;
  }
  if (DebugLevel > 1) DebugPrint("      status %ld\n", status);
  if (status == 401 || status == 407) {
    if (Authenticate(post, body, bodyLength)) {
      if (!QueryNumber(HTTP_QUERY_STATUS_CODE, &status)) {
        AppendErrorText("Kalvoro's reply to a %s request has no readable status.", verb);
        return false;
      }
      if (DebugLevel > 1) DebugPrint("      status %ld after the credentials\n", status);
    }
  }
  return StatusAccepted(verb, status);
}

// Gives the request the certificate errors already accepted for this server.
bool ApplyAcceptedCertificate() {
  if (!t.secure || t.acceptedCertificateFlags == 0) return true;
  if (DebugLevel > 1) DebugPrint("      certificate accepted at login, its errors ignored\n");
  DWORD flags = 0;
  DWORD length = sizeof flags;
  if (!InternetQueryOptionA(t.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length)) {
    AppendErrorText("InternetQueryOption returned error %d.", LastError());
    return false;
  }
  flags |= t.acceptedCertificateFlags;
  if (!InternetSetOptionA(t.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags)) {
    AppendErrorText("InternetSetOption returned error %d.", LastError());
    return false;
  }
  return true;
}

// Sends the open request.  A certificate the platform does not trust is
// accepted once, on the first request to this server that meets it (the
// login); the same decision then holds for every later GET and POST.
bool SendWithCertificate(const char* verb, const void* body, DWORD bodyLength) {
  if (!ApplyAcceptedCertificate()) return false;
  if (Send(body, bodyLength)) return true;
  int error = LastError();
  if (error != ERROR_INTERNET_INVALID_CA) {
    AppendErrorText("HttpSendRequest(%s %s) returned error %d.", verb, t.urlPath, error);
    return false;
  }
  if (DebugLevel > 1) DebugPrint("      certificate not trusted, retrying\n");
  DWORD flags = 0;
  DWORD length = sizeof flags;
  if (!InternetQueryOptionA(t.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length)) {
    AppendErrorText("InternetQueryOption returned error %d.", LastError());
    return false;
  }
  flags |= IgnoreCertificateFlags;
  if (!InternetSetOptionA(t.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags)) {
    AppendErrorText("InternetSetOption returned error %d.", LastError());
    return false;
  }
  if (!Send(body, bodyLength)) {
    AppendErrorText("2nd HttpSendRequest(%s %s) returned error %d.", verb, t.urlPath, LastError());
    return false;
  }
  t.acceptedCertificateFlags = IgnoreCertificateFlags;
  return true;
}

// Sizes the receive buffer from the reply's Content-Length, bounded so that a
// long reply is still read chunk by chunk.
bool SizeReceiveBuffer() {
  long length = 0;
  int32_t size = DefaultRecvChunk;
  if (QueryNumber(HTTP_QUERY_CONTENT_LENGTH, &length)) {
    if (length >= 0 && length <= MaxRecvChunk) size = static_cast<int32_t>(length);
    else if (length > MaxRecvChunk) size = MaxRecvChunk;
  }
  if (DebugLevel > 1) DebugPrint("      Content-Length: %ld, reading %d bytes at a time\n", length, size);
  t.recvSize = size;
  try {
    t.recvBuffer.resize(static_cast<size_t>(size) + 1);
  } catch (const std::bad_alloc&) {
    AppendErrorText("Out of memory (%d bytes needed).", size);
    return false;
  }
  t.recvPos = 0;
  t.recvLength = 0;
  t.recvBuffer[0] = '\0';
  return true;
}

// Reads the next piece of the reply: 1 bytes read, 0 end of reply, -1 failure.
int32_t ReadChunk() {
  DWORD read = 0;
  if (!InternetReadFile(t.request, t.recvBuffer.data(), static_cast<DWORD>(t.recvSize), &read)) {
    SetErrorText("Error reading response. Error %d.", LastError());
    return -1;
  }
  if (read > static_cast<DWORD>(t.recvSize)) read = static_cast<DWORD>(t.recvSize);
  t.recvBuffer[read] = '\0';
  t.recvLength = static_cast<int32_t>(read);
  t.recvPos = 0;
  if (DebugLevel > 1) DebugPrint("      InternetReadFile = %lu bytes\n", static_cast<unsigned long>(read));
  if (DebugLevel > 2 && read > 0) {
    DebugWrite(t.recvBuffer.data(), read);
    DebugPrint("\n");
  }
  if (read == 0) {
    t.replyOpen = false;
    return 0;
  }
  t.replyOpen = true;
  return 1;
}

bool ChunkUsedUp() { return t.recvPos >= t.recvLength; }

void ReleaseSendBuffer() {
  free(t.sendBuffer);
  t.sendBuffer = nullptr;
  t.sendCapacity = 0;
  t.sendLength = 0;
}

}  // namespace

bool HTTPInit() {
  if (DebugLevel > 0) DebugPrint("    --> HTTPInit()\n");
  if (t.session) HTTPFree();
  t.session = InternetOpenA("Microsoft Internet Explorer", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!t.session) {
    AppendErrorText("InternetOpen() returned error %d.", LastError());
    if (DebugLevel > 0) DebugPrint("    <-- HTTPInit = 0\n");
    return false;
  }
  t.replyOpen = false;
  if (DebugLevel > 0) DebugPrint("    <-- HTTPInit = 1\n");
  return true;
}

bool HTTPFree() {
  if (DebugLevel > 0) DebugPrint("    --> HTTPFree()\n");
  HTTPAbortCommand();
  bool ok = true;
  if (t.session) ok = InternetCloseHandle(t.session) != FALSE;
  t.session = nullptr;
  if (DebugLevel > 0) DebugPrint("    <-- HTTPFree = %d\n", ok ? 1 : 0);
  return ok;
}

bool HTTPConnection(const char* user, const char* password, const char* address) {
  if (DebugLevel > 0) DebugPrint("    --> HTTPConnection(%s, ****, %s)\n", user ? user : "", address ? address : "");
  if (user) {
    if (strlen(user) >= HostFieldSize) {
      SetErrorText("User name is too long (%u characters; at most %u).", static_cast<unsigned>(strlen(user)),
                   static_cast<unsigned>(HostFieldSize - 1));
      if (DebugLevel > 0) DebugPrint("    <-- HTTPConnection = 0\n");
      return false;
    }
    strcpy(t.user, user);
  }
  if (!address) {
    if (DebugLevel > 0) DebugPrint("    <-- HTTPConnection = 1\n");
    return true;
  }
  const char* hostPart = address;
  bool secure = false;
  if (const char* scheme = strstr(address, "://")) {
    secure = strncmp(address, "https", 5) == 0;
    hostPart = scheme + 3;
  }
  const char* colon = strchr(hostPart, ':');
  size_t hostLength = colon ? static_cast<size_t>(colon - hostPart) : strlen(hostPart);
  if (hostLength >= HostFieldSize) {
    SetErrorText("Server host name is too long (%u characters; at most %u).", static_cast<unsigned>(hostLength),
                 static_cast<unsigned>(HostFieldSize - 1));
    if (DebugLevel > 0) DebugPrint("    <-- HTTPConnection = 0\n");
    return false;
  }
  uint16_t port = 0;
  if (colon) {
    for (const char* p = colon + 1; *p >= '0' && *p <= '9'; ++p) port = static_cast<uint16_t>(port * 10 + (*p - '0'));
  }
  memcpy(t.host, hostPart, hostLength);
  t.host[hostLength] = '\0';
  t.port = port;
  t.secure = secure;
  t.acceptedCertificateFlags = 0;  // a new login decides afresh
  if (DebugLevel > 1) DebugPrint("      host %s, port %u%s\n", t.host, static_cast<unsigned>(port), secure ? ", secure" : "");
  if (DebugLevel > 0) DebugPrint("    <-- HTTPConnection = 1\n");
  return true;
}

// Closes whatever command is still open and begins a new one.
void BeginCommand() {
  HTTPAbortCommand();
  ++t.commandNumber;
  t.commandFailed = false;
}

void HTTPRefuseCommand() { t.commandFailed = true; }

int32_t HTTPGet(const char* url) {
  if (DebugLevel > 0) DebugPrint("    --> HTTPGet(%s)\n", url);
  auto fail = [](void) -> int32_t {
    CloseRequestAndConnection();
    t.replyOpen = false;
    t.commandFailed = true;
    if (DebugLevel > 0) DebugPrint("    <-- HTTPGet = -1\n");
    return -1;
  };
  BeginCommand();
  if (!OpenConnection()) return fail();
  if (strlen(url) > MaxGetUrlLength) {
    SetErrorText("Too long URL.");
    return fail();
  }
  snprintf(t.urlPath, sizeof t.urlPath, "%s%.*s", PathPrefix, 10220, url);
  if (!OpenRequest("GET")) return fail();
  if (!SendWithCertificate("GET", nullptr, 0)) return fail();
  if (!CheckStatus("GET", false, nullptr, 0)) return fail();
  if (!SizeReceiveBuffer()) return fail();
  int32_t r = ReadChunk();
  if (r < 0) return fail();
  if (r == 0) CloseRequestAndConnection();
  if (DebugLevel > 0) DebugPrint("    <-- HTTPGet = 1\n");
  return 1;
}

int32_t HTTPGetLine(char* line, int32_t size) {
  if (!line || size < 1) return -1;
  line[0] = '\0';
  if (!t.replyOpen) return t.commandFailed ? -1 : 0;

  int32_t n = 0;
  bool consumed = false;
  bool lineEnd = false;
  for (;;) {
    if (ChunkUsedUp()) {
      int32_t r = ReadChunk();
      if (r < 0) return -1;
      if (r == 0) break;
    }
    if (!ChunkUsedUp() && n < size - 1) {
      // Up to the line end or as much as the line still takes.
      const char* from = t.recvBuffer.data() + t.recvPos;
      size_t room = static_cast<size_t>(size - 1 - n);
      size_t left = static_cast<size_t>(t.recvLength - t.recvPos);
      size_t take = left < room ? left : room;
      const char* lf = static_cast<const char*>(memchr(from, '\n', take));
      if (lf) take = static_cast<size_t>(lf - from);
      const char* cr = static_cast<const char*>(memchr(from, '\r', take));
      if (cr) take = static_cast<size_t>(cr - from);
      memcpy(line + n, from, take);
      n += static_cast<int32_t>(take);
      t.recvPos += static_cast<int32_t>(take);
      if (take) consumed = true;
      if (lf || cr) lineEnd = true;
    }
    if (lineEnd || n >= size - 1) break;
  }
  line[n] = '\0';

  // A full line may have its line end at the start of the next chunk.
  if (!lineEnd && t.replyOpen && ChunkUsedUp()) {
    if (ReadChunk() < 0) return -1;
  }
  bool lfSkipped = false;
  if (t.replyOpen && !ChunkUsedUp() && t.recvBuffer[t.recvPos] == '\r') {
    ++t.recvPos;
    consumed = true;
    if (ChunkUsedUp() && ReadChunk() < 0) return -1;
  }
  if (t.replyOpen && !ChunkUsedUp() && t.recvBuffer[t.recvPos] == '\n') {
    ++t.recvPos;
    lfSkipped = true;
  }
  if (!lfSkipped && !consumed) {
    HTTPAbortCommand();
    return 0;
  }
  if (DebugLevel > 2) DebugPrint("      line \"%s\"\n", line);
  return 1;
}

int32_t HTTPPost(const char* url) {
  if (DebugLevel > 0) DebugPrint("    --> HTTPPost(%s)\n", url);
  BeginCommand();
  if (!OpenConnection()) {
    CloseRequestAndConnection();
    t.commandFailed = true;
    if (DebugLevel > 0) DebugPrint("    <-- HTTPPost = -1\n");
    return -1;
  }
  snprintf(t.postScript, sizeof t.postScript, "%s", url);
  t.sendLength = 0;
  t.collecting = true;
  if (DebugLevel > 0) DebugPrint("    <-- HTTPPost = 1\n");
  return 1;
}

int32_t HTTPWriteLine(const char* text) {
  if (!t.collecting) {
    SetErrorText("No save request is open to take the line (another request closed it).");
    return -1;
  }
  size_t length = strlen(text);
  if (t.sendLength + length + 2 > t.sendCapacity) {
    // Doubling: a body of n bytes is copied about n bytes' worth in all.
    size_t needed = t.sendLength + length + 2;
    size_t wanted = t.sendCapacity < SendBufferStep ? SendBufferStep : t.sendCapacity;
    while (needed > wanted) wanted = wanted > SIZE_MAX / 2 ? needed : wanted * 2;
    // The body travels with a 32-bit length.
    // realloc: a large block grows in place or is moved by its pages, not
    // copied next to itself.
    char* grown = wanted < 0xFFFFFFFFu ? static_cast<char*>(realloc(t.sendBuffer, wanted)) : nullptr;
    if (!grown) {
      SetErrorText("Out of memory: the request body needs %lu bytes.", static_cast<unsigned long>(wanted));
      return -1;
    }
    t.sendBuffer = grown;
    t.sendCapacity = wanted;
  }
  memcpy(t.sendBuffer + t.sendLength, text, length);
  t.sendLength += length;
  t.sendBuffer[t.sendLength++] = '\n';
  t.sendBuffer[t.sendLength] = '\0';
  if (DebugLevel > 2) DebugPrint("      sent \"%s\"\n", text);
  return 1;
}

int32_t HTTPEndWrite() {
  if (DebugLevel > 0) DebugPrint("    --> HTTPEndWrite(%lu bytes)\n", static_cast<unsigned long>(t.sendLength));
  auto fail = []() -> int32_t {
    t.commandFailed = true;
    if (DebugLevel > 0) DebugPrint("    <-- HTTPEndWrite = -1\n");
    return -1;
  };
  snprintf(t.urlPath, sizeof t.urlPath, "%s%s", PathPrefix, t.postScript);
  if (!t.collecting || !t.connection) {
    SetErrorText("No save request is open to send (another request closed it).");
    return fail();
  }
  t.collecting = false;
  if (!OpenRequest("POST")) return fail();
  DWORD length = static_cast<DWORD>(t.sendLength);
  bool sent = SendWithCertificate("POST", t.sendBuffer, length);
  bool accepted = sent && CheckStatus("POST", true, t.sendBuffer, length);
  // The body is not needed again: its memory goes back now, not at the next save.
  ReleaseSendBuffer();
  if (!sent) return fail();
  if (!accepted) {
    CloseRequestAndConnection();
    return fail();
  }
  if (!SizeReceiveBuffer()) {
    CloseRequestAndConnection();
    return fail();
  }
  if (ReadChunk() < 0) return fail();
  if (DebugLevel > 0) DebugPrint("    <-- HTTPEndWrite = 1\n");
  return 1;
}

void HTTPAbortCommand() {
  if (CommandOpen()) ++t.commandNumber;
  t.commandFailed = false;
  t.replyOpen = false;
  t.collecting = false;
  ReleaseSendBuffer();
  CloseRequestAndConnection();
}

uint32_t HTTPCommandNumber() { return t.commandNumber; }

const char* HTTPGetCurrUser() { return t.user; }

const char* HTTPUrlEncode(const char* url) {
  DWORD length = static_cast<DWORD>(CanonicalUrlSize - 1);
  if (!InternetCanonicalizeUrlA(url, t.canonicalUrl, &length, 0)) {
    AppendErrorText("InternetCanonicalizeUrl() returned error %d.", LastError());
    return nullptr;
  }
  return t.canonicalUrl;
}

HTTPServerAddress HTTPGetServerAddress() { return {t.host, t.port, t.secure}; }
