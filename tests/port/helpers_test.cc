// The diagnostic log file of the Linux layer.  (The transport's name is
// checked through VKAbout in tests/host; URL canonicalisation is left
// untested: no library path calls it.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "port/port.h"

namespace {

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
  ASSERT_EQ(close(open(log.c_str(), O_CREAT | O_WRONLY, 0644)), 0);  // an old, readable log
  ASSERT_EQ(chmod(log.c_str(), 0644), 0);
  FILE* f = port::OpenSharedForWriting(log.c_str());
  ASSERT_NE(f, nullptr);
  fclose(f);
  struct stat info;
  ASSERT_EQ(stat(log.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  std::string link = std::string(folder) + "/link.log";
  ASSERT_EQ(symlink(log.c_str(), link.c_str()), 0);
  EXPECT_EQ(port::OpenSharedForWriting(link.c_str()), nullptr);
  unlink(link.c_str());
  unlink(log.c_str());
  rmdir(folder);
}

TEST(PortHelpers, SharedFileTruncatesAndCanBeReadWhileOpen) {
  char pattern[] = "/tmp/port_shared_XXXXXX";
  int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "old contents", 12), 12);
  close(fd);

  FILE* out = port::OpenSharedForWriting(pattern);
  ASSERT_NE(out, nullptr);
  fputs("new\n", out);
  fflush(out);
  FILE* in = fopen(pattern, "r");
  ASSERT_NE(in, nullptr);
  char line[64] = {};
  ASSERT_NE(fgets(line, sizeof line, in), nullptr);
  EXPECT_STREQ(line, "new\n");
  EXPECT_EQ(fgets(line, sizeof line, in), nullptr);
  fclose(in);
  fclose(out);
  unlink(pattern);

  EXPECT_EQ(port::OpenSharedForWriting(nullptr), nullptr);
  EXPECT_EQ(port::OpenSharedForWriting("/nonexistent-folder/x.log"), nullptr);
}

}  // namespace
