// Tick count, local time and the file-time conversions of the Linux layer.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "port/port.h"

namespace {

SYSTEMTIME Make(int year, int month, int day, int hour, int minute, int second, int ms) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  t.wMilliseconds = static_cast<WORD>(ms);
  return t;
}

uint64_t Ticks(const FILETIME& f) {
  return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

void ExpectTime(const SYSTEMTIME& t, int year, int month, int day, int dayOfWeek, int hour,
                int minute, int second, int ms) {
  EXPECT_EQ(t.wYear, year);
  EXPECT_EQ(t.wMonth, month);
  EXPECT_EQ(t.wDay, day);
  EXPECT_EQ(t.wDayOfWeek, dayOfWeek);
  EXPECT_EQ(t.wHour, hour);
  EXPECT_EQ(t.wMinute, minute);
  EXPECT_EQ(t.wSecond, second);
  EXPECT_EQ(t.wMilliseconds, ms);
}

TEST(FileTime, TheEpochIsZero) {
  SYSTEMTIME epoch = Make(1601, 1, 1, 0, 0, 0, 0);
  FILETIME f{1, 1};
  ASSERT_TRUE(SystemTimeToFileTime(&epoch, &f));
  EXPECT_EQ(Ticks(f), 0u);
  SYSTEMTIME back{};
  ASSERT_TRUE(FileTimeToSystemTime(&f, &back));
  ExpectTime(back, 1601, 1, 1, 1 /* Monday */, 0, 0, 0, 0);
}

TEST(FileTime, KnownInstantAndBack) {
  SYSTEMTIME t = Make(2026, 12, 6, 12, 34, 56, 789);
  t.wDayOfWeek = 5;  // ignored on the way in
  FILETIME f{};
  ASSERT_TRUE(SystemTimeToFileTime(&t, &f));
  EXPECT_EQ(Ticks(f), 134410340967890000ull);
  EXPECT_EQ(f.dwHighDateTime, 31294846u);
  EXPECT_EQ(f.dwLowDateTime, 864533584u);
  SYSTEMTIME back{};
  ASSERT_TRUE(FileTimeToSystemTime(&f, &back));
  ExpectTime(back, 2026, 12, 6, 0 /* Sunday */, 12, 34, 56, 789);
}

TEST(FileTime, HundredInTheHighWordIsElevenHoursFiftyFiveMinutes) {
  SYSTEMTIME t = Make(2026, 12, 6, 12, 34, 56, 789);
  FILETIME f{};
  ASSERT_TRUE(SystemTimeToFileTime(&t, &f));
  f.dwHighDateTime += 100;  // + 42,949.67296 s
  SYSTEMTIME shifted{};
  ASSERT_TRUE(FileTimeToSystemTime(&f, &shifted));
  ExpectTime(shifted, 2026, 12, 7, 1, 0, 30, 46, 461);
}

TEST(FileTime, LeapDaysAndMonthEnds) {
  struct Case {
    int year, month, day;
    bool valid;
  } cases[] = {{2000, 2, 29, true},  {1900, 2, 29, false}, {2028, 2, 29, true},
               {2027, 2, 29, false}, {2027, 4, 31, false}, {2027, 12, 31, true},
               {1600, 12, 31, false}, {30827, 12, 31, true}};
  for (const Case& c : cases) {
    SYSTEMTIME t = Make(c.year, c.month, c.day, 23, 59, 59, 999);
    FILETIME f{};
    SetLastError(0);
    EXPECT_EQ(SystemTimeToFileTime(&t, &f) != 0, c.valid)
        << c.year << "-" << c.month << "-" << c.day;
    if (!c.valid) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
      continue;
    }
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&f, &back));
    EXPECT_EQ(back.wYear, c.year);
    EXPECT_EQ(back.wMonth, c.month);
    EXPECT_EQ(back.wDay, c.day);
    EXPECT_EQ(back.wMilliseconds, 999);
  }
}

TEST(FileTime, InvalidFieldsAreRefused) {
  SYSTEMTIME bad[] = {Make(2026, 0, 1, 0, 0, 0, 0),   Make(2026, 13, 1, 0, 0, 0, 0),
                      Make(2026, 1, 0, 0, 0, 0, 0),   Make(2026, 1, 1, 24, 0, 0, 0),
                      Make(2026, 1, 1, 0, 60, 0, 0),  Make(2026, 1, 1, 0, 0, 60, 0),
                      Make(2026, 1, 1, 0, 0, 0, 1000)};
  for (const SYSTEMTIME& t : bad) {
    FILETIME f{};
    EXPECT_FALSE(SystemTimeToFileTime(&t, &f));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  FILETIME negative{0, 0x80000000u};
  SYSTEMTIME t{};
  EXPECT_FALSE(FileTimeToSystemTime(&negative, &t));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  FILETIME largest{0xFFFFFFFFu, 0x7FFFFFFFu};
  ASSERT_TRUE(FileTimeToSystemTime(&largest, &t));
  EXPECT_EQ(t.wYear, 30828);
}

TEST(LocalTime, MatchesTheCLibrary) {
  SYSTEMTIME now{};
  time_t before = time(nullptr);
  GetLocalTime(&now);
  time_t after = time(nullptr);
  tm a{};
  tm b{};
  localtime_r(&before, &a);
  localtime_r(&after, &b);
  bool matchesBefore = now.wYear == a.tm_year + 1900 && now.wMonth == a.tm_mon + 1 &&
                       now.wDay == a.tm_mday && now.wHour == a.tm_hour &&
                       now.wMinute == a.tm_min && now.wSecond == a.tm_sec;
  bool matchesAfter = now.wYear == b.tm_year + 1900 && now.wMonth == b.tm_mon + 1 &&
                      now.wDay == b.tm_mday && now.wHour == b.tm_hour &&
                      now.wMinute == b.tm_min && now.wSecond == b.tm_sec;
  EXPECT_TRUE(matchesBefore || matchesAfter);
  EXPECT_LT(now.wMilliseconds, 1000);
  // The day of the week agrees with the calendar conversion.
  FILETIME f{};
  ASSERT_TRUE(SystemTimeToFileTime(&now, &f));
  SYSTEMTIME back{};
  ASSERT_TRUE(FileTimeToSystemTime(&f, &back));
  EXPECT_EQ(back.wDayOfWeek, now.wDayOfWeek);
}

TEST(TickCount, CountsMilliseconds) {
  DWORD first = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  DWORD elapsed = GetTickCount() - first;  // unsigned: right across a wrap too
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
