// The diagnostic suffix of VKInit's user text and the log it opens: entry and
// exit lines indented by layer, and never the password.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <cstring>

#include "host/frame.h"
#include "support/edb_server_process.h"
#include "transport/auth_codec.h"
#include "transport/commands.h"
#include "transport/connection.h"
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
  EXPECT_NE(log.find("\n    --> HTTPGet(do.cgi?****&checkauth.cgi&x)\n"), std::string::npos) << log;
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

// Every run of authenticator characters in the text that decodes to a login.
std::vector<std::string> Authenticators(const std::string& text) {
  std::vector<std::string> found;
  std::string token;
  for (size_t i = 0; i <= text.size(); ++i) {
    char c = i < text.size() ? text[i] : ' ';
    if (c != '\0' && strchr(auth::AuthAlphabet, c)) {
      token += c;
      continue;
    }
    auth::Decoded decoded;
    if (token.size() >= 8 && auth::Decode(token.c_str(), &decoded)) found.push_back(token);
    token.clear();
  }
  return found;
}

TEST(DiagnosticLog, NoAuthenticatorInAFullLogOrInAnErrorText) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  std::string logPath = server.dataDir() + "/full.log";
  std::wstring text = L"demo,3," + Widen(logPath.c_str());
  std::vector<wchar_t> user(text.begin(), text.end());
  user.push_back(L'\0');
  std::wstring address = L"Kalvoro:" + Widen(server.url().c_str());
  CloseDebugLog();  // a log of this session alone
  int32_t r = VKInit(user.data(), L"demo", L"", address.c_str(), L"", L"", 0);
  ASSERT_TRUE(r == 0 || r == 1);
  ASSERT_EQ(VKDatabasesLoad(), 1);
  VKDatabaseSet(L"REF");
  VKEdbUserSet(L"demo");
  ASSERT_EQ(VKEdbCreate(L"Secretless"), 1);  // a POST
  server.stop();
  EXPECT_EQ(VKDatabasesLoad(), -1);
  char error[4096];
  VKError(error, sizeof error);
  CloseDebugLog();
  DebugLevel = 0;

  std::string message = error;
  EXPECT_NE(message.find("do.cgi?****&"), std::string::npos) << message;
  EXPECT_EQ(Authenticators(message), std::vector<std::string>()) << message;
  std::string log = ReadFile(logPath);
  EXPECT_NE(log.find("do.cgi?****&"), std::string::npos);
  EXPECT_EQ(Authenticators(log), std::vector<std::string>());
  // The test's own decoder does find one where it stands.
  std::wstring authenticator = CurrentConnPar().authenticator;
  EXPECT_EQ(Authenticators("x " + Narrow(authenticator.c_str()) + "&y").size(), 1u);
  std::filesystem::perms mode = std::filesystem::status(logPath).permissions();
  EXPECT_EQ(mode & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
            std::filesystem::perms::none);
}

}  // namespace
