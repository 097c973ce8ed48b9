// The frame: error text handling, VKError's cutting, the user text of VKInit
// and the diagnostic log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "host/frame.h"
#include "vorkabcom.h"

namespace {

std::string TakeError(int32_t size) {
  std::string buffer(static_cast<size_t>(size) + 8, '#');
  VKError(&buffer[0], size);
  EXPECT_EQ(buffer.substr(static_cast<size_t>(size)), std::string(8, '#')) << "written past the buffer";
  return std::string(buffer.c_str());
}

TEST(ErrorText, SetAppendClear) {
  SetErrorText("first %d", 1);
  AppendErrorText("second");
  EXPECT_STREQ(GetErrorText(), "first 1\nsecond");
  ClearErrorText();
  AppendErrorText("alone");
  EXPECT_STREQ(GetErrorText(), "alone");
  std::string huge(ErrorTextSize * 2, 'e');
  SetErrorText("%s", huge.c_str());
  EXPECT_EQ(std::string(GetErrorText()).size(), ErrorTextSize - 1);
  AppendErrorText("more");  // a full text stays full and terminated
  EXPECT_EQ(std::string(GetErrorText()).size(), ErrorTextSize - 1);
  ClearErrorText();
}

TEST(VKError, CopiesCutsAndEmpties) {
  SetErrorText("short");
  EXPECT_EQ(TakeError(100), "short");
  EXPECT_EQ(TakeError(100), "");  // the second call finds it empty

  SetErrorText("abcdefghijklmnopqrst");  // 20 characters
  EXPECT_EQ(TakeError(10), "abcde...");
  SetErrorText("abcdefghij");
  EXPECT_EQ(TakeError(10), "abcde...");
  SetErrorText("abcdefghi");
  EXPECT_EQ(TakeError(10), "abcdefghi");
}

TEST(VKError, TinyBuffersAreNeverOverrun) {
  for (int32_t size = 1; size <= 5; ++size) {
    SetErrorText("a long error text");
    std::string got = TakeError(size);
    EXPECT_LE(got.size(), static_cast<size_t>(size - 1));
    EXPECT_EQ(got, std::string(got.size(), '.').substr(0, got.size()));
  }
  SetErrorText("x");
  VKError(nullptr, 10);
  EXPECT_STREQ(GetErrorText(), "");
  SetErrorText("x");
  char c = '#';
  VKError(&c, 0);
  EXPECT_EQ(c, '#');
}

TEST(VKInit, NullPasswordIsRefused) {
  wchar_t user[] = L"anna";
  EXPECT_EQ(VKInit(user, nullptr, L"", L"x:http://127.0.0.1:1", L"", L"", 0), -1);
  EXPECT_EQ(TakeError(100), "Must enter password.");
}

TEST(VKInit, LogThatCannotBeOpened) {
  wchar_t user[] = L"anna,1,/nonexistent-dir/x.log";
  EXPECT_EQ(VKInit(user, L"pw", L"", L"k:http://127.0.0.1:1", L"", L"", 0), -1);
  EXPECT_EQ(DebugLevel, 0);
  EXPECT_STREQ(user, L"anna");
  EXPECT_EQ(TakeError(512), "Can't open debug (1) log file \"/nonexistent-dir/x.log\": No such file or directory");
}

TEST(VKAbout, BannerFlagAndServer) {
  wchar_t text[600];
  wchar_t server[256];
  int32_t flag = 0;
  int32_t size = VKAbout(text, &flag, server);
  EXPECT_EQ(flag, 1);
  std::wstring banner = text;
  ASSERT_EQ(banner.rfind(L"Vorkab v5.01.25\n", 0), 0u);
  // The transport's identification, one short line: here the stand-in's.
  std::wstring identification = banner.substr(16);
  EXPECT_EQ(identification.rfind(L"libcurl/", 0), 0u);
  EXPECT_NE(identification.find(L"(WinINet substitute)"), std::wstring::npos);
  EXPECT_EQ(identification.find(L'\n'), std::wstring::npos);
  EXPECT_EQ(static_cast<size_t>(size), identification.size() + 1);
  EXPECT_LE(identification.size(), 255u);
}

}  // namespace
