// The kernel calls of port.h on Linux: the calling thread's last error, the
// desktop window, the tick count, the local time and the calendar conversions
// between SYSTEMTIME and FILETIME.  Apart from the WinINet layer, so that a
// build with another network layer (the fuzz targets') keeps these.
#include <ctime>

#include "port/port.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

BOOL Fail(DWORD code) {
  t_lastError = code;
  return FALSE;
}

constexpr uint64_t kTicksPerMs = 10000;
constexpr uint64_t kMsPerDay = 86400000;
constexpr uint64_t kMaxFileTime = 0x7FFFFFFFFFFFFFFFull;

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* year, unsigned* month, unsigned* day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *day = doy - (153 * mp + 2) / 5 + 1;
  *month = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int64_t>(yoe) + era * 400 + (*month <= 2);
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

constexpr int64_t kEpoch1601 = DaysFromCivil(1601, 1, 1);

}  // namespace

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD code) { t_lastError = code; }

HWND GetDesktopWindow() {
  static char desktop;
  return &desktop;
}

DWORD GetTickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);  // wraps like the original after 49.7 days
}

void GetLocalTime(SYSTEMTIME* time) {
  if (!time) return;
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  tm local;
  time_t seconds = now.tv_sec;
  if (!localtime_r(&seconds, &local)) gmtime_r(&seconds, &local);
  time->wYear = static_cast<WORD>(local.tm_year + 1900);
  time->wMonth = static_cast<WORD>(local.tm_mon + 1);
  time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
  time->wDay = static_cast<WORD>(local.tm_mday);
  time->wHour = static_cast<WORD>(local.tm_hour);
  time->wMinute = static_cast<WORD>(local.tm_min);
  time->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
  time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime) {
  if (!st || !fileTime) return Fail(ERROR_INVALID_PARAMETER);
  if (st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 ||
      st->wDay < 1 || st->wDay > DaysInMonth(st->wYear, st->wMonth) || st->wHour > 23 ||
      st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  uint64_t days =
      static_cast<uint64_t>(DaysFromCivil(st->wYear, st->wMonth, st->wDay) - kEpoch1601);
  uint64_t ms = days * kMsPerDay + st->wHour * 3600000ull + st->wMinute * 60000ull +
                st->wSecond * 1000ull + st->wMilliseconds;
  uint64_t ticks = ms * kTicksPerMs;
  fileTime->dwLowDateTime = static_cast<DWORD>(ticks);
  fileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* st) {
  if (!fileTime || !st) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t ticks =
      (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  if (ticks > kMaxFileTime) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t ms = ticks / kTicksPerMs;
  uint64_t days = ms / kMsPerDay;
  uint64_t inDay = ms % kMsPerDay;
  int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(static_cast<int64_t>(days) + kEpoch1601, &year, &month, &day);
  st->wYear = static_cast<WORD>(year);
  st->wMonth = static_cast<WORD>(month);
  st->wDay = static_cast<WORD>(day);
  st->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  st->wHour = static_cast<WORD>(inDay / 3600000);
  st->wMinute = static_cast<WORD>(inDay / 60000 % 60);
  st->wSecond = static_cast<WORD>(inDay / 1000 % 60);
  st->wMilliseconds = static_cast<WORD>(inDay % 1000);
  return TRUE;
}
