// Local time and the file-time conversions of the Linux layer (the
// authenticator shifts the time through both).
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "port/port.h"

namespace {

// SYSTEMTIME's fields are year, month, day of the week, day, hour, minute, second, millisecond.
SYSTEMTIME Make(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms) {
  return SYSTEMTIME{year, month, 0, day, hour, minute, second, ms};
}

// The fields of a time: year, month, day, day of the week, hour, minute,
// second, millisecond.
std::vector<int> Fields(const SYSTEMTIME& t) {
  return {t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

TEST(FileTime, LeapDaysMonthEndsAndInvalidFields) {
  const std::pair<SYSTEMTIME, bool> cases[] = {
      {Make(2000, 2, 29, 23, 59, 59, 999), true},  {Make(1900, 2, 29, 0, 0, 0, 0), false},
      {Make(2028, 2, 29, 23, 59, 59, 999), true},  {Make(2027, 2, 29, 0, 0, 0, 0), false},
      {Make(2027, 4, 31, 0, 0, 0, 0), false},      {Make(2027, 12, 31, 23, 59, 59, 999), true},
      {Make(1600, 12, 31, 0, 0, 0, 0), false},     {Make(30827, 12, 31, 23, 59, 59, 999), true},
      {Make(2026, 0, 1, 0, 0, 0, 0), false},       {Make(2026, 13, 1, 0, 0, 0, 0), false},
      {Make(2026, 1, 0, 0, 0, 0, 0), false},       {Make(2026, 1, 1, 24, 0, 0, 0), false},
      {Make(2026, 1, 1, 0, 60, 0, 0), false},      {Make(2026, 1, 1, 0, 0, 60, 0), false},
      {Make(2026, 1, 1, 0, 0, 0, 1000), false}};
  for (const auto& c : cases) {
    const SYSTEMTIME& t = c.first;
    FILETIME f{};
    SetLastError(0);
    ASSERT_EQ(SystemTimeToFileTime(&t, &f) != 0, c.second) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
    SYSTEMTIME back{};
    if (!c.second) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    } else {
      ASSERT_TRUE(FileTimeToSystemTime(&f, &back));
      back.wDayOfWeek = t.wDayOfWeek;
      EXPECT_EQ(Fields(back), Fields(t));
    }
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
  // The time agrees with the C library's, read just before or just after.
  auto same = [&now](time_t when) {
    tm c{};
    localtime_r(&when, &c);
    return now.wYear == c.tm_year + 1900 && now.wMonth == c.tm_mon + 1 && now.wDay == c.tm_mday &&
           now.wHour == c.tm_hour && now.wMinute == c.tm_min && now.wSecond == c.tm_sec;
  };
  EXPECT_TRUE(same(before) || same(after));
  EXPECT_LT(now.wMilliseconds, 1000);
}

}  // namespace
