// The diagnostic suffix of VKInit's user text and the log it opens: entry and
// exit lines indented by layer, and never the password.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/transfer_fixture.h"
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

  std::wstring user = L"logger,3," + Widen(logPath.c_str());
  int32_t r = e2e::LoginTo(server.url(), user, L"Sekret-42", &user);
  ASSERT_TRUE(r == 1 || r == 0);
  EXPECT_EQ(user, L"logger");
  EXPECT_EQ(DebugLevel, 3);

  std::string log = ReadFile(logPath);
  e2e::ExpectHas(log, {"User = logger\n", "--> VKInit(logger, ****)\n", "\n --> IORVerifyAuthenticator()\n",
                       "\n  --> IOLVerifyAuthenticator()\n", "\n    --> HTTPGet(do.cgi?****&checkauth.cgi&x)\n",
                       "\n    <-- HTTPGet = 1\n", "<-- VKInit = "});
  EXPECT_EQ(log.find("Sekret-42"), std::string::npos) << "the password is in the log";

  // A plain user keeps the level; a level without digits is 0; the open log
  // stays where it is.
  const struct {
    const wchar_t* text;
    int32_t level;
  } users[] = {{L"logger", 3}, {L"logger,abc", 0}, {L"logger;1;/nonexistent/dir/x.log", 1}, {L"logger,0", 0}};
  for (const auto& u : users) {
    user = u.text;
    EXPECT_EQ(e2e::LoginTo(server.url(), user, L"Sekret-42", &user), 0) << Narrow(u.text);
    EXPECT_EQ(user, L"logger");
    EXPECT_EQ(DebugLevel, u.level) << Narrow(u.text);
  }
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
  std::wstring user = L"demo,3," + Widen(logPath.c_str());
  CloseDebugLog();  // a log of this session alone
  int32_t r = e2e::LoginTo(server.url(), user, L"demo", &user);
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
