// The diagnostic suffix of VKInit's user text and the log it opens: entry and
// exit lines indented by layer, and never the password.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/frame.h"
#include "support/edb_server_process.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(DiagnosticLog, UserTextSetsLevelAndPathAndTheLogHidesThePassword) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(server.addUser("logger", "Sekret-42"));
  std::string logPath = server.dataDir() + "/vk.log";

  std::wstring text = L"logger,3," + Widen(logPath.c_str());
  std::vector<wchar_t> user(text.begin(), text.end());
  user.push_back(L'\0');
  std::wstring address = L"Kalvoro:" + Widen(server.url().c_str());
  int32_t r = VKInit(user.data(), L"Sekret-42", L"", address.c_str(), L"", L"", 0);
  ASSERT_TRUE(r == 1 || r == 0);
  EXPECT_STREQ(user.data(), L"logger");
  EXPECT_EQ(DebugLevel, 3);

  std::string log = ReadFile(logPath);
  EXPECT_NE(log.find("User = logger\n"), std::string::npos) << log;
  EXPECT_NE(log.find("--> VKInit(logger, ****)\n"), std::string::npos);
  EXPECT_NE(log.find("\n --> IORVerifyAuthenticator()\n"), std::string::npos);
  EXPECT_NE(log.find("\n  --> IOLVerifyAuthenticator()\n"), std::string::npos);
  EXPECT_NE(log.find("\n    --> HTTPGet(do.cgi?"), std::string::npos);
  EXPECT_NE(log.find("\n    <-- HTTPGet = 1\n"), std::string::npos);
  EXPECT_NE(log.find("<-- VKInit = "), std::string::npos);
  EXPECT_EQ(log.find("Sekret-42"), std::string::npos) << "the password is in the log";

  // A plain user keeps the level; a level without digits is 0; the open log
  // stays where it is.
  wchar_t plain[] = L"logger";
  VKInit(plain, L"Sekret-42", L"", address.c_str(), L"", L"", 0);
  EXPECT_EQ(DebugLevel, 3);
  wchar_t noDigits[] = L"logger,abc";
  VKInit(noDigits, L"Sekret-42", L"", address.c_str(), L"", L"", 0);
  EXPECT_EQ(DebugLevel, 0);
  EXPECT_STREQ(noDigits, L"logger");
  wchar_t semicolon[] = L"logger;1;/nonexistent/dir/x.log";
  EXPECT_EQ(VKInit(semicolon, L"Sekret-42", L"", address.c_str(), L"", L"", 0), 0);
  EXPECT_EQ(DebugLevel, 1);
  wchar_t quiet[] = L"logger,0";
  VKInit(quiet, L"Sekret-42", L"", address.c_str(), L"", L"", 0);
  EXPECT_EQ(ReadFile(logPath).find("Sekret-42"), std::string::npos);
}

}  // namespace
