// Logging in to a freshly started substitute server over loopback HTTP(S):
// certificate decisions, refused logins, a restarted transport, and the
// diagnostic log VKInit's user text opens (entry and exit lines indented by
// layer, never the password or an authenticator).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/transfer_fixture.h"
#include "host/frame.h"
#include "transport/auth_codec.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"

namespace e2e {
namespace {

std::vector<std::wstring> ReadReply() {
  std::vector<std::wstring> lines;
  wchar_t line[LineBufferSize];
  int32_t r;
  while ((r = IOLGetLine(line)) == 1) lines.push_back(line);
  EXPECT_EQ(r, 0);
  return lines;
}

// The session still reaches its server: the databases are listed.
void ExpectSessionWorks() {
  ASSERT_EQ(IOLDatabasesList(), 1) << TakeError();
  EXPECT_FALSE(ReadReply().empty());
}

// The certificate's fingerprint as openssl writes it ("AB:CD:..."), as a
// user would copy it from a certificate viewer.
std::string OpensslFingerprint(const std::string& certFile) {
  std::string command = "openssl x509 -noout -fingerprint -sha256 -in '" + certFile + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  char line[256] = {};
  std::string text = fgets(line, sizeof line, pipe) ? line : "";
  pclose(pipe);
  size_t equals = text.find('=');
  if (equals == std::string::npos) return "";
  text = text.substr(equals + 1);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string Hex(std::string colons) {
  std::string hex;
  for (char c : colons) {
    if (c != ':') hex += static_cast<char>(tolower(c));
  }
  return hex;
}

std::wstring AboutServer() {
  wchar_t text[512], server[256];
  int32_t flag = 0;
  VKAbout(text, &flag, server);
  return server;
}

TEST(Login, UntrustedCertificateRefusedShownThenPinned) {
  EdbServerProcess::Options options;
  options.https = true;
  EdbServerProcess server(options);
  ASSERT_TRUE(server.ok());
  ASSERT_EQ(server.url().rfind("https://", 0), 0u);
  std::string fingerprint = OpensslFingerprint(server.certFile());
  ASSERT_EQ(Hex(fingerprint).size(), 64u) << fingerprint;

  // Not trusted and not pinned: refused, with what the user needs to decide.
  EXPECT_EQ(LoginTo(server.url(), L"demo", L"demo"), -1);
  ExpectHas(TakeError(), {"not issued by an authority", "fingerprint sha256:" + Hex(fingerprint),
                          "subject CN=127.0.0.1", "valid from 20"});

  // Pinned: every request of the session goes through, GETs and the POSTs
  // of a new EDB, whose name, blank and all, travels in the URLs after.
  std::string pinned = server.url() + ";pin=sha256:" + fingerprint;
  int32_t r = LoginTo(pinned, L"demo", L"demo");
  ASSERT_TRUE(r == 0 || r == 1) << TakeError();
  ExpectSessionWorks();
  VKDatabaseSet(L"REF");
  VKEdbUserSet(L"demo");
  ASSERT_EQ(VKEdbCreate(L"G\xe4vle 2030"), 1) << TakeError();
  ASSERT_EQ(VKEdbNamesLoad(), 1) << TakeError();
  EXPECT_TRUE(Has(Names(VKEdbNamesList), L"G\xe4vle 2030"));
  ASSERT_EQ(IOLEdbRsrcLoad(), 1) << TakeError();
  for (const std::wstring& line : ReadReply()) EXPECT_NE(line.rfind(L"Error:", 0), 0u) << Narrow(line.c_str());

  // The server's certificate changes: the pin no longer holds, and the
  // refused login leaves the pinned session as it was.
  EdbServerProcess changed(options);
  ASSERT_TRUE(changed.ok());
  std::string newFingerprint = Hex(OpensslFingerprint(changed.certFile()));
  ASSERT_NE(newFingerprint, Hex(fingerprint));
  EXPECT_EQ(LoginTo(changed.url() + ";pin=sha256:" + fingerprint, L"demo", L"demo"), -1);
  ExpectHas(TakeError(), {"is not the one the server address pins", "fingerprint sha256:" + newFingerprint});
  EXPECT_EQ(AboutServer(), L"Kalvoro:" + Widen(pinned.c_str()));
  ExpectSessionWorks();
}

TEST(Login, RefusedLoginsLeaveTheEarlierSession) {
  EdbServerProcess::Options options;
  options.extraArgs = {"--clock-offset", "2880"};  // the server lives two days ahead
  EdbServerProcess a, b, ahead(options);
  ASSERT_TRUE(a.ok() && b.ok() && ahead.ok());
  int32_t r = LoginTo(a.url(), L"demo", L"demo");
  ASSERT_TRUE(r == 0 || r == 1) << TakeError();
  EXPECT_EQ(LoginTo(a.url(), L"demo", L"demo"), 0);  // a second accepted login answers 0
  std::wstring authenticator = CurrentConnPar().authenticator;
  const struct {
    std::string server;
    std::wstring user, password;
    bool serverRefuses;  // the server's own "Error: ..." line
  } refused[] = {
      {b.url(), std::wstring(64, L'u'), L"demo", false},
      {"http://" + std::string(70, 'h') + ":80", L"demo", L"demo", false},
      {b.url() + ";pin=sha256:00", L"demo", L"demo", false},
      {b.url(), L"demo", L"wrong", true},
      {a.url(), L"demo", L"wrong", true},
      {a.url(), L"nobody", L"demo", true},
      {ahead.url(), L"demo", L"demo", true},  // the authenticator has expired there
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.server + " " + Narrow(c.user.c_str()) + " " + Narrow(c.password.c_str()));
    EXPECT_EQ(LoginTo(c.server, c.user, c.password), -1);
    std::string error = TakeError();
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(!c.serverRefuses || (error.rfind("Error:", 0) == 0 && error.back() == '\n')) << error;
    EXPECT_EQ(AboutServer(), L"Kalvoro:" + Widen(a.url().c_str()));
    EXPECT_EQ(std::wstring(CurrentConnPar().authenticator), authenticator);
    EXPECT_EQ(HTTPGetServerAddress().port, a.port());
    EXPECT_STREQ(HTTPGetCurrUser(), "demo");
    ASSERT_NO_FATAL_FAILURE(ExpectSessionWorks());
  }
  EXPECT_EQ(LoginTo(a.url(), L"demo", L"demo"), 0);
}

TEST(Login, NoServerListening) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  std::string url = server.url();
  server.stop();
  EXPECT_EQ(LoginTo(url, L"demo", L"demo"), -1);
  ExpectHas(TakeError(), {"HttpSendRequest(GET /cgi-bin/ikalvoro/do.cgi?", "Request 'do.cgi?"});
}

TEST(Login, AfterVKFreeTheTransportStartsAgain) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  int32_t r = LoginTo(server.url(), L"demo", L"demo");
  ASSERT_TRUE(r == 0 || r == 1) << TakeError();
  VKFree();
  EXPECT_EQ(LoginTo(server.url(), L"demo", L"demo"), 0) << TakeError();
  ExpectSessionWorks();
}

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
  int32_t r = LoginTo(server.url(), user, L"Sekret-42", &user);
  ASSERT_TRUE(r == 1 || r == 0);
  EXPECT_EQ(user, L"logger");
  EXPECT_EQ(DebugLevel, 3);

  std::string log = ReadFile(logPath);
  ExpectHas(log, {"User = logger\n", "--> VKInit(logger, ****)\n", "\n --> IORVerifyAuthenticator()\n",
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
    EXPECT_EQ(LoginTo(server.url(), user, L"Sekret-42", &user), 0) << Narrow(u.text);
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
  int32_t r = LoginTo(server.url(), user, L"demo", &user);
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
}  // namespace e2e
