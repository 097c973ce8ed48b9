// The scripted platform layer of the fuzz build (see fuzz_port.h): replaces
// port_linux.cc, so the transport above runs unchanged over replies that the
// targets make up.
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
size_t g_requests = 0;
std::string g_lastPath;
std::string g_lastBody;
thread_local DWORD g_lastError = ERROR_SUCCESS;

BOOL Fail(DWORD code) {
  g_lastError = code;
  return FALSE;
}

Handle* Resolve(HINTERNET value, Kind kind) {
  Handle* h = static_cast<Handle*>(value);
  if (!h || !g_live.count(h) || h->kind != kind) {
    g_lastError = h && g_live.count(h) ? ERROR_INTERNET_INCORRECT_HANDLE_TYPE : ERROR_INVALID_HANDLE;
    return nullptr;
  }
  return h;
}

HINTERNET NewHandle(Kind kind) {
  Handle* h = new Handle{kind, {}};
  g_live.insert(h);
  g_lastError = ERROR_SUCCESS;
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

// Days since 1970-01-01 of a civil date, and back.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

constexpr uint64_t kTicksPerMs = 10000;
constexpr uint64_t kMsPerDay = 86400000;
const int64_t kEpoch1601 = DaysFromCivil(1601, 1, 1);

}  // namespace

namespace fuzz_port {

void Queue(Reply reply) { g_queue.push_back(std::move(reply)); }
void SetDefault(Reply reply) { g_default = std::move(reply); }
void ClearQueue() { g_queue.clear(); }
size_t RequestCount() { return g_requests; }
const std::string& LastPath() { return g_lastPath; }
const std::string& LastBody() { return g_lastBody; }
size_t LiveHandles() { return g_live.size(); }
size_t LiveRequests() {
  return static_cast<size_t>(
      std::count_if(g_live.begin(), g_live.end(), [](Handle* h) { return h->kind == Kind::Request; }));
}

}  // namespace fuzz_port

HINTERNET InternetOpenA(const char*, DWORD, const char*, const char*, DWORD) { return NewHandle(Kind::Session); }

HINTERNET InternetConnectA(HINTERNET session, const char* serverName, INTERNET_PORT, const char*, const char*,
                           DWORD service, DWORD, DWORD_PTR) {
  if (!Resolve(session, Kind::Session)) return nullptr;
  if (!serverName || !*serverName || service != INTERNET_SERVICE_HTTP) {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return NewHandle(Kind::Connection);
}

BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength) {
  Handle* h = static_cast<Handle*>(handle);
  if (!h || !g_live.count(h)) return Fail(ERROR_INVALID_HANDLE);
  if (!buffer || bufferLength < sizeof(DWORD)) return Fail(ERROR_INVALID_PARAMETER);
  if (option == INTERNET_OPTION_SECURITY_FLAGS) memcpy(&h->securityFlags, buffer, sizeof(DWORD));
  return TRUE;
}

BOOL InternetQueryOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD* bufferLength) {
  Handle* h = Resolve(handle, Kind::Request);
  if (!h) return FALSE;
  if (option != INTERNET_OPTION_SECURITY_FLAGS || !buffer || !bufferLength || *bufferLength < sizeof(DWORD)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  memcpy(buffer, &h->securityFlags, sizeof(DWORD));
  *bufferLength = sizeof(DWORD);
  return TRUE;
}

HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName, const char*,
                           const char*, const char**, DWORD, DWORD_PTR) {
  if (!Resolve(connection, Kind::Connection)) return nullptr;
  g_lastPath = std::string(verb ? verb : "") + " " + (objectName ? objectName : "");
  return NewHandle(Kind::Request);
}

BOOL HttpSendRequestA(HINTERNET request, const char*, DWORD, LPVOID optional, DWORD optionalLength) {
  Handle* h = Resolve(request, Kind::Request);
  if (!h) return FALSE;
  ++g_requests;
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
  if (!bufferLength) return Fail(ERROR_INVALID_PARAMETER);
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
  if (!buffer || !bytesRead) return Fail(ERROR_INVALID_PARAMETER);
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

DWORD InternetErrorDlg(HWND, HINTERNET request, DWORD, DWORD, LPVOID*) {
  if (!Resolve(request, Kind::Request)) return ERROR_INVALID_HANDLE;
  return ERROR_CANCELLED;
}

BOOL InternetCanonicalizeUrlA(const char* url, char* buffer, DWORD* bufferLength, DWORD) {
  if (!url || !bufferLength) return Fail(ERROR_INVALID_PARAMETER);
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

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD code) { g_lastError = code; }

HWND GetDesktopWindow() {
  static char desktop;
  return &desktop;
}

DWORD GetTickCount() { return 1000; }

// A fixed clock: the targets' runs do not depend on the time of day.
void GetLocalTime(SYSTEMTIME* time) {
  if (time) *time = SYSTEMTIME{2026, 12, 0, 6, 12, 0, 0, 0};
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime) {
  if (!st || !fileTime || st->wYear < 1601 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
      st->wDay > 31 || st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  uint64_t days = static_cast<uint64_t>(DaysFromCivil(st->wYear, st->wMonth, st->wDay) - kEpoch1601);
  uint64_t ms = days * kMsPerDay + st->wHour * 3600000ull + st->wMinute * 60000ull + st->wSecond * 1000ull +
                st->wMilliseconds;
  uint64_t ticks = ms * kTicksPerMs;
  fileTime->dwLowDateTime = static_cast<DWORD>(ticks);
  fileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* st) {
  if (!fileTime || !st) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t ticks = (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  uint64_t ms = ticks / kTicksPerMs;
  int64_t year;
  unsigned month, day;
  CivilFromDays(static_cast<int64_t>(ms / kMsPerDay) + kEpoch1601, &year, &month, &day);
  if (year > 30827) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t inDay = ms % kMsPerDay;
  st->wYear = static_cast<WORD>(year);
  st->wMonth = static_cast<WORD>(month);
  st->wDayOfWeek = static_cast<WORD>((ms / kMsPerDay + 1) % 7);  // 1601-01-01 was a Monday
  st->wDay = static_cast<WORD>(day);
  st->wHour = static_cast<WORD>(inDay / 3600000);
  st->wMinute = static_cast<WORD>(inDay / 60000 % 60);
  st->wSecond = static_cast<WORD>(inDay / 1000 % 60);
  st->wMilliseconds = static_cast<WORD>(inDay % 1000);
  return TRUE;
}

namespace port {

const char* DefaultLogPath() { return "/dev/null"; }

FILE* OpenSharedForWriting(const char* path) { return fopen(path, "w"); }

const char* TransportIdentification() { return "scripted replies (fuzz build)"; }

// The scripted server speaks plain HTTP: no certificates.
bool ServerCertificate(HINTERNET, Certificate*) { return false; }

bool RequireCertificate(HINTERNET, const uint8_t*) { return false; }

}  // namespace port
