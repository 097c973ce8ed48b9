// The kernel stand-ins of the Linux layer: the file-time conversions (the
// authenticator shifts the time through them) and the diagnostic log file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "port/port.h"

namespace {

SYSTEMTIME Make(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms) {
  return SYSTEMTIME{year, month, 0, day, hour, minute, second, ms};
}

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

TEST(PortHelpers, DefaultLogPathIsTheUsersOwn) {
  const char* path = port::DefaultLogPath();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path, port::DefaultLogPath());  // one stable string
  std::string text = path;
  std::string folder = text.substr(0, text.rfind('/'));
  struct stat info;
  ASSERT_EQ(stat(folder.c_str(), &info), 0) << folder;
  if (folder.size() > 7 && folder.compare(folder.size() - 7, 7, "/vorkab") == 0) {
    EXPECT_EQ(info.st_uid, getuid());
    EXPECT_EQ(info.st_mode & 077, 0u) << folder;  // nobody else looks in
  } else {
    EXPECT_NE(text.find("vorkab-" + std::to_string(getuid()) + ".log"), std::string::npos) << text;
  }
}

TEST(PortHelpers, LogFileIsTheOwnersOnlyAndNeverALink) {
  char folder[] = "/tmp/port_log_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string log = std::string(folder) + "/vk.log";
  int fd = open(log.c_str(), O_CREAT | O_WRONLY, 0644);  // an old, readable log
  ASSERT_EQ(write(fd, "old contents", 12), 12);
  ASSERT_EQ(close(fd), 0);
  ASSERT_EQ(chmod(log.c_str(), 0644), 0);
  FILE* f = port::OpenSharedForWriting(log.c_str());
  ASSERT_NE(f, nullptr);
  fclose(f);
  struct stat info;
  ASSERT_EQ(stat(log.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 0) << "the old log is truncated";

  std::string link = std::string(folder) + "/link.log";
  ASSERT_EQ(symlink(log.c_str(), link.c_str()), 0);
  EXPECT_EQ(port::OpenSharedForWriting(link.c_str()), nullptr);
  EXPECT_EQ(port::OpenSharedForWriting(nullptr), nullptr);
  unlink(link.c_str());
  unlink(log.c_str());
  rmdir(folder);
}

}  // namespace
