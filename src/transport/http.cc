// The HTTP transport over the WinINet calls (real on Windows, our substitute on
// Linux): requests under "/cgi-bin/ikalvoro/", chunked reading of the reply
// into one reused buffer, and the line reader on top of it.
#include "transport/http.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
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
  HTTPLogin login;
  char canonicalUrl[CanonicalUrlSize] = {};
  // A POST body is being collected (HTTPPost until HTTPEndWrite).
  bool collecting = false;
  // The latest command could not be started or its reply not begun: reading
  // its lines fails instead of answering "no more lines".
  bool commandFailed = false;
  // Counts the commands started and the open ones closed (see HTTPCommandNumber).
  uint32_t commandNumber = 0;
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
  if (DebugLevel > 1) DebugPrint("      InternetConnect(%s, %u)\n", t.login.host, static_cast<unsigned>(t.login.port));
  t.connection = InternetConnectA(t.session, t.login.host, t.login.port, "", "", INTERNET_SERVICE_HTTP, 0, 0);
  if (!t.connection) {
    AppendErrorText("InternetConnect(%s) returned error %d.", t.login.host, LastError());
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
  DWORD flags = RequestFlags | (t.login.secure ? INTERNET_FLAG_SECURE : 0);
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

// Adds certificate errors to overlook to a request's security flags.
bool AddSecurityFlags(HINTERNET request, DWORD add) {
  DWORD flags = 0;
  DWORD length = sizeof flags;
  if (!InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length)) {
    AppendErrorText("InternetQueryOption returned error %d.", LastError());
    return false;
  }
  flags |= add;
  if (!InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags)) {
    AppendErrorText("InternetSetOption returned error %d.", LastError());
    return false;
  }
  return true;
}

constexpr DWORD IgnoredCertificateErrors =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;

// What a send that failed on the certificate says about it; null for any
// other failure.
const char* CertificateFault(int error) {
  switch (error) {
    case ERROR_INTERNET_INVALID_CA: return "is not issued by an authority this computer trusts";
    case ERROR_INTERNET_SEC_CERT_CN_INVALID: return "is issued for another host name";
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID: return "has expired or is not yet valid";
    case ERROR_INTERNET_SEC_INVALID_CERT: return "is not valid";
    default: return nullptr;
  }
}

// The certificate errors a send must overlook to get past the given one.
DWORD IgnoreToPass(int error) {
  switch (error) {
    case ERROR_INTERNET_INVALID_CA: return SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    case ERROR_INTERNET_SEC_CERT_CN_INVALID: return SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
      return SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
    default: return IgnoredCertificateErrors;
  }
}

// Sends a request that carries nothing of the login ("HEAD" of the script
// folder) with the given certificate errors overlooked, and reads the
// certificate it met.  False, with the send's error in *error (0 when the
// send went through), when there is no certificate to read.
bool ProbeCertificate(DWORD ignore, port::Certificate* c, int* error) {
  *error = 0;
  DWORD flags = RequestFlags | INTERNET_FLAG_SECURE;
  HINTERNET probe = HttpOpenRequestA(t.connection, "HEAD", PathPrefix, "HTTP/1.0", nullptr, nullptr, flags, 0);
  if (!probe) return false;
  bool ok = AddSecurityFlags(probe, ignore);
  if (ok && !HttpSendRequestA(probe, nullptr, 0, nullptr, 0)) {
    *error = LastError();
    ok = false;
  }
  ok = ok && port::ServerCertificate(probe, c) && !c->der.empty();
  InternetCloseHandle(probe);
  return ok;
}

// Refuses the server's certificate with everything the user needs to decide
// whether to pin it.  Where the platform shows no certificate for a send
// that failed (WinINet), a request that carries nothing of the login, with
// the certificate's fault overlooked (ignore), fetches it for the message.
bool RefuseCertificate(const char* verb, const char* fault, DWORD ignore, const port::Certificate* known = nullptr) {
  port::Certificate c;
  int error = 0;
  bool have = known || (port::ServerCertificate(t.request, &c) && !c.der.empty()) ||
              (ignore != 0 && ProbeCertificate(ignore, &c, &error));
  if (known) c = *known;
  if (!have) {
    AppendErrorText("The server's certificate %s (%s request to %s).", fault, verb, t.login.host);
    return false;
  }
  std::string fingerprint = FingerprintText(Sha256(c.der.data(), c.der.size()));
  AppendErrorText("The server's certificate %s: fingerprint %s, subject %s, valid from %s until %s.", fault,
                  fingerprint.c_str(), c.subject.c_str(), c.notBefore.c_str(), c.notAfter.c_str());
  if (t.login.pinned) {
    AppendErrorText("The server address pins %s.", FingerprintText(t.login.pin).c_str());
  } else if (ignore == SECURITY_FLAG_IGNORE_UNKNOWN_CA) {
    AppendErrorText("If you trust this certificate, add \";pin=%s\" to the server address.", fingerprint.c_str());
  }
  return false;
}

// True when the certificate of the request just sent is the pinned one.
bool PinnedCertificateServed() {
  port::Certificate c;
  return port::ServerCertificate(t.request, &c) && !c.der.empty() &&
         Sha256(c.der.data(), c.der.size()) == t.login.pin;
}

constexpr const char* NotPinned = "is not the one the server address pins";
constexpr const char* EarlierException = "was let through by an earlier exception for this server";

// Before a request of an HTTPS session goes out: in a pinned session where
// the platform cannot hold the pin during the handshake (WinINet shows a
// certificate only after a send that went through), a request without the
// authenticator meets the server first.  A platform that keeps an earlier
// decision for the server (WinINet keeps overlooked errors per server) must
// not let it stand in for this session's.  False, with ErrorText set, when
// the request must not go out.
bool CertificateBeforeSend(const char* verb) {
  if (t.login.pinned && !port::RequireCertificate(t.request, t.login.pin.data())) {
    port::Certificate c;
    int error = 0;
    bool met = ProbeCertificate(SECURITY_FLAG_IGNORE_UNKNOWN_CA, &c, &error);
    bool pinned = met && Sha256(c.der.data(), c.der.size()) == t.login.pin;
    if (DebugLevel > 1) DebugPrint("      certificate checked before the request: %s\n", pinned ? "pinned" : "refused");
    if (!met) {
      if (const char* fault = CertificateFault(error)) return RefuseCertificate(verb, fault, IgnoreToPass(error));
      AppendErrorText("HttpSendRequest(HEAD %s) returned error %d.", PathPrefix, error);
      return false;
    }
    if (!pinned) return RefuseCertificate(verb, NotPinned, 0, &c);
  }
  DWORD flags = 0;
  DWORD length = sizeof flags;
  if (!InternetQueryOptionA(t.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length)) {
    AppendErrorText("InternetQueryOption returned error %d.", LastError());
    return false;
  }
  if (flags & (SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID)) {
    return RefuseCertificate(verb, "would go out with its host name or dates unchecked", IgnoredCertificateErrors);
  }
  if ((flags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) && !t.login.pinned) {
    return RefuseCertificate(verb, EarlierException, SECURITY_FLAG_IGNORE_UNKNOWN_CA);
  }
  return !t.login.pinned || AddSecurityFlags(t.request, SECURITY_FLAG_IGNORE_UNKNOWN_CA);
}

// After a request of an HTTPS session went through: the certificate must be
// the pinned one (where the platform could not hold the pin during the
// handshake, another one is caught here), and nothing but the issuer of a
// pinned one may have been overlooked.
bool CertificateAfterSend(const char* verb) {
  if (t.login.pinned && !PinnedCertificateServed()) return RefuseCertificate(verb, NotPinned, 0);
  DWORD flags = 0;
  DWORD length = sizeof flags;
  if (!InternetQueryOptionA(t.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length)) {
    AppendErrorText("InternetQueryOption returned error %d.", LastError());
    return false;
  }
  if (flags & (SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID)) {
    return RefuseCertificate(verb, "was accepted with its host name or dates unchecked", 0);
  }
  if ((flags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) && !t.login.pinned) {
    return RefuseCertificate(verb, EarlierException, SECURITY_FLAG_IGNORE_UNKNOWN_CA);
  }
  return true;
}

// Sends the open request.  Over HTTPS a certificate the platform trusts goes
// through, unless the server address pins another one.  In a pinned session
// only the pinned certificate goes through, trusted or not, and then only
// its issuer is overlooked: the host name and the dates are still checked.
// Every request of the session, GET and POST, decides the same way.
bool SendWithCertificate(const char* verb, const void* body, DWORD bodyLength) {
  if (t.login.secure && !CertificateBeforeSend(verb)) return false;
  if (!Send(body, bodyLength)) {
    int error = LastError();
    if (const char* fault = t.login.secure ? CertificateFault(error) : nullptr) {
      // With the issuer overlooked, only a held pin refuses the issuer.
      if (error == ERROR_INTERNET_INVALID_CA && t.login.pinned) return RefuseCertificate(verb, NotPinned, 0);
      return RefuseCertificate(verb, fault, IgnoreToPass(error));
    }
    AppendErrorText("HttpSendRequest(%s %s) returned error %d.", verb, t.urlPath, error);
    return false;
  }
  return !t.login.secure || CertificateAfterSend(verb);
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

namespace {

// Reads the options after the address proper ("https://host:8443;pin=sha256:...")
// into login.  False, with ErrorText set, for an option it does not know.
bool ReadAddressOptions(const char* options, HTTPLogin* login) {
  std::string rest = options;
  size_t at = 0;
  while (at <= rest.size()) {
    size_t end = rest.find(';', at);
    if (end == std::string::npos) end = rest.size();
    std::string option = rest.substr(at, end - at);
    at = end + 1;
    if (option.empty()) continue;
    if (option.compare(0, 4, "pin=") == 0) {
      if (!ParseFingerprint(option.c_str() + 4, &login->pin)) {
        SetErrorText("The server address's pin must be \"sha256:\" and 64 hexadecimal digits, not \"%s\".",
                     option.c_str() + 4);
        return false;
      }
      login->pinned = true;
    } else {
      SetErrorText("Unknown option \"%s\" in the server address.", option.c_str());
      return false;
    }
  }
  if (login->pinned && !login->secure) {
    SetErrorText("A certificate pin needs an https server address.");
    return false;
  }
  return true;
}

}  // namespace

bool HTTPConnection(const char* user, const char* password, const char* address) {
  if (DebugLevel > 0) DebugPrint("    --> HTTPConnection(%s, ****, %s)\n", user ? user : "", address ? address : "");
  auto done = [](bool ok) {
    if (DebugLevel > 0) DebugPrint("    <-- HTTPConnection = %d\n", ok ? 1 : 0);
    return ok;
  };
  // Everything is checked on a copy; the session changes only when all of it holds.
  HTTPLogin login = t.login;
  if (user) {
    if (strlen(user) >= HostFieldSize) {
      SetErrorText("User name is too long (%u characters; at most %u).", static_cast<unsigned>(strlen(user)),
                   static_cast<unsigned>(HostFieldSize - 1));
      return done(false);
    }
    strcpy(login.user, user);
  }
  if (address) {
    std::string text = address;
    std::string options;
    if (size_t semicolon = text.find(';'); semicolon != std::string::npos) {
      options = text.substr(semicolon + 1);
      text.resize(semicolon);
    }
    const char* hostPart = text.c_str();
    login.secure = false;
    if (const char* scheme = strstr(hostPart, "://")) {
      login.secure = strncmp(hostPart, "https", 5) == 0;
      hostPart = scheme + 3;
    }
    const char* colon = strchr(hostPart, ':');
    size_t hostLength = colon ? static_cast<size_t>(colon - hostPart) : strlen(hostPart);
    if (hostLength >= HostFieldSize) {
      SetErrorText("Server host name is too long (%u characters; at most %u).", static_cast<unsigned>(hostLength),
                   static_cast<unsigned>(HostFieldSize - 1));
      return done(false);
    }
    uint32_t port = 0;
    if (colon) {
      for (const char* p = colon + 1; *p >= '0' && *p <= '9'; ++p) {
        port = port * 10 + static_cast<uint32_t>(*p - '0');
        if (port > 65535) {
          SetErrorText("Server port %s is out of range (at most 65535).", colon + 1);
          return done(false);
        }
      }
    }
    memcpy(login.host, hostPart, hostLength);
    login.host[hostLength] = '\0';
    login.port = static_cast<uint16_t>(port);
    login.pinned = false;
    if (!ReadAddressOptions(options.c_str(), &login)) return done(false);
    if (DebugLevel > 1) {
      DebugPrint("      host %s, port %u%s%s%s\n", login.host, static_cast<unsigned>(login.port),
                 login.secure ? ", secure" : "", login.pinned ? ", pinned " : "",
                 login.pinned ? FingerprintText(login.pin).c_str() : "");
    }
  }
  t.login = login;
  return done(true);
}

HTTPLogin HTTPCurrentLogin() { return t.login; }

void HTTPRestoreLogin(const HTTPLogin& login) { t.login = login; }

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
  int32_t length = 0;
  return HTTPGetLineCounted(line, size, &length);
}

int32_t HTTPGetLineCounted(char* line, int32_t size, int32_t* length) {
  *length = 0;
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
  *length = n;

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

const char* HTTPGetCurrUser() { return t.login.user; }

const char* HTTPUrlEncode(const char* url) {
  DWORD length = static_cast<DWORD>(CanonicalUrlSize - 1);
  if (!InternetCanonicalizeUrlA(url, t.canonicalUrl, &length, 0)) {
    AppendErrorText("InternetCanonicalizeUrl() returned error %d.", LastError());
    return nullptr;
  }
  return t.canonicalUrl;
}

HTTPServerAddress HTTPGetServerAddress() { return {t.login.host, t.login.port, t.login.secure}; }
