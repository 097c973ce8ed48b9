// The port:: helpers and URL canonicalisation of the Linux layer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "port/port.h"

namespace {

TEST(PortHelpers, DefaultLogPathIsInTheTemporaryFolder) {
  const char* path = port::DefaultLogPath();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path, port::DefaultLogPath());  // one stable string
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  EXPECT_EQ(std::string(path), folder + "vorkab.log");
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

TEST(PortHelpers, TransportIdentificationIsOneShortLine) {
  std::string text = port::TransportIdentification();
  EXPECT_EQ(text.rfind("libcurl/", 0), 0u) << text;
  EXPECT_NE(text.find("(WinINet substitute)"), std::string::npos) << text;
  EXPECT_LE(text.size(), 255u);
  EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(Canonicalize, EncodesUnsafeBytesOnly) {
  char buffer[256];
  DWORD length = sizeof buffer;
  ASSERT_TRUE(InternetCanonicalizeUrlA("http://h/a b/\xE9?x=1&y=%41#top|", buffer, &length, 0));
  EXPECT_STREQ(buffer, "http://h/a%20b/%E9?x=1&y=%41#top%7C");
  EXPECT_EQ(length, strlen(buffer));
}

TEST(Canonicalize, BufferSizeRules) {
  char buffer[8];
  DWORD length = sizeof buffer;
  EXPECT_FALSE(InternetCanonicalizeUrlA("http://h/ab", buffer, &length, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(length, 12u);
  char exact[12];
  length = sizeof exact;
  ASSERT_TRUE(InternetCanonicalizeUrlA("http://h/ab", exact, &length, 0));
  EXPECT_EQ(length, 11u);
  EXPECT_STREQ(exact, "http://h/ab");
  EXPECT_FALSE(InternetCanonicalizeUrlA(nullptr, exact, &length, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
