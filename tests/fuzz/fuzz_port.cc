// The scripted platform layer of the fuzz build (see fuzz_port.h): replaces
// port_linux.cc (the kernel calls stay those of kernel_linux.cc), so the
// transport above runs unchanged over replies that the targets make up.
#include "fuzz_port.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <unordered_set>

#include "port/port.h"

namespace {

enum class Kind { Session, Connection, Request };

struct Handle {
  Kind kind;
  fuzz_port::Reply reply;
  bool sent = false;
  size_t pos = 0;
  size_t chunk = 0;
  DWORD securityFlags = 0;
};

std::unordered_set<Handle*> g_live;
std::deque<fuzz_port::Reply> g_queue;
fuzz_port::Reply g_default;
std::string g_lastBody;

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

Handle* Resolve(HINTERNET value, Kind kind) {
  Handle* h = static_cast<Handle*>(value);
  if (h && g_live.count(h) && h->kind == kind) return h;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

HINTERNET NewHandle(Kind kind) {
  Handle* h = new Handle{kind, {}};
  g_live.insert(h);
  SetLastError(ERROR_SUCCESS);
  return h;
}

BOOL CopyOut(const std::string& text, void* buffer, DWORD* length) {
  if (!buffer || *length < text.size() + 1) {
    *length = static_cast<DWORD>(text.size() + 1);
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  memcpy(buffer, text.c_str(), text.size() + 1);
  *length = static_cast<DWORD>(text.size());
  return TRUE;
}

}  // namespace

namespace fuzz_port {

void Queue(Reply reply) { g_queue.push_back(std::move(reply)); }
void SetDefault(Reply reply) { g_default = std::move(reply); }
void ClearQueue() { g_queue.clear(); }
void Answer(const std::string& body) {
  g_queue.assign(1, Reply());
  g_queue.front().body = body;
}
const std::string& LastBody() { return g_lastBody; }
size_t LiveRequests() {
  return static_cast<size_t>(
      std::count_if(g_live.begin(), g_live.end(), [](Handle* h) { return h->kind == Kind::Request; }));
}

}  // namespace fuzz_port

HINTERNET InternetOpenA(const char*, DWORD, const char*, const char*, DWORD) { return NewHandle(Kind::Session); }

HINTERNET InternetConnectA(HINTERNET session, const char*, INTERNET_PORT, const char*, const char*, DWORD, DWORD,
                           DWORD_PTR) {
  return Resolve(session, Kind::Session) ? NewHandle(Kind::Connection) : nullptr;
}

// The security flags a request was given are what it answers.
BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD) {
  Handle* h = static_cast<Handle*>(handle);
  if (!h || !g_live.count(h)) return Fail(ERROR_INVALID_HANDLE);
  if (option == INTERNET_OPTION_SECURITY_FLAGS) memcpy(&h->securityFlags, buffer, sizeof(DWORD));
  return TRUE;
}

BOOL InternetQueryOptionA(HINTERNET handle, DWORD, LPVOID buffer, DWORD* bufferLength) {
  Handle* h = Resolve(handle, Kind::Request);
  if (!h) return FALSE;
  memcpy(buffer, &h->securityFlags, sizeof(DWORD));
  *bufferLength = sizeof(DWORD);
  return TRUE;
}

HINTERNET HttpOpenRequestA(HINTERNET connection, const char*, const char*, const char*, const char*, const char**,
                           DWORD, DWORD_PTR) {
  if (!Resolve(connection, Kind::Connection)) return nullptr;
  return NewHandle(Kind::Request);
}

BOOL HttpSendRequestA(HINTERNET request, const char*, DWORD, LPVOID optional, DWORD optionalLength) {
  Handle* h = Resolve(request, Kind::Request);
  if (!h) return FALSE;
  g_lastBody.assign(optional ? static_cast<const char*>(optional) : "", optional ? optionalLength : 0);
  if (g_queue.empty()) {
    h->reply = g_default;
  } else {
    h->reply = std::move(g_queue.front());
    g_queue.pop_front();
  }
  h->sent = true;
  h->pos = 0;
  h->chunk = 0;
  return TRUE;
}

BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, DWORD* bufferLength, DWORD*) {
  Handle* h = Resolve(request, Kind::Request);
  if (!h) return FALSE;
  if (!h->sent) return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
  switch (infoLevel) {
    case HTTP_QUERY_STATUS_CODE: return CopyOut(std::to_string(h->reply.status), buffer, bufferLength);
    case HTTP_QUERY_CONTENT_LENGTH:
      if (!h->reply.hasContentLength) return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
      return CopyOut(std::to_string(h->reply.body.size()), buffer, bufferLength);
    default: return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
  }
}

BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD bytesToRead, DWORD* bytesRead) {
  Handle* h = Resolve(request, Kind::Request);
  if (!h) return FALSE;
  *bytesRead = 0;
  const fuzz_port::Reply& r = h->reply;
  size_t n = std::min<size_t>(bytesToRead, r.body.size() - h->pos);
  if (!r.chunks.empty()) {
    uint32_t step = r.chunks[h->chunk++ % r.chunks.size()];
    if (step > 0) n = std::min<size_t>(n, step);
  }
  if (r.failAt < r.body.size() && r.failAt >= h->pos && r.failAt <= h->pos + n) {
    return Fail(ERROR_INTERNET_CONNECTION_RESET);
  }
  memcpy(buffer, r.body.data() + h->pos, n);
  h->pos += n;
  *bytesRead = static_cast<DWORD>(n);
  return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
  Handle* h = static_cast<Handle*>(handle);
  if (!h || !g_live.erase(h)) return Fail(ERROR_INVALID_HANDLE);
  delete h;
  return TRUE;
}

DWORD InternetErrorDlg(HWND, HINTERNET, DWORD, DWORD, LPVOID*) { return ERROR_CANCELLED; }

BOOL InternetCanonicalizeUrlA(const char* url, char* buffer, DWORD* bufferLength, DWORD) {
  if (!*url) return Fail(ERROR_INTERNET_INVALID_URL);
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(url); *p; ++p) {
    if (*p <= ' ' || *p >= 0x7F || strchr("\"<>\\^`{|}", *p)) {
      char hex[4];
      snprintf(hex, sizeof hex, "%%%02X", *p);
      out += hex;
    } else {
      out += static_cast<char>(*p);
    }
  }
  return CopyOut(out, buffer, bufferLength);
}

namespace port {

const char* DefaultLogPath() { return "/dev/null"; }
FILE* OpenSharedForWriting(const char* path) { return fopen(path, "w"); }
const char* TransportIdentification() { return "scripted replies (fuzz build)"; }
// The scripted server speaks plain HTTP: no certificates.
bool ServerCertificate(HINTERNET, Certificate*) { return false; }
bool RequireCertificate(HINTERNET, const uint8_t*) { return false; }

}  // namespace port
