// Who may do what on the substitute server: authenticators accepted and
// refused, failed logins slowed down, and what each role may touch.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "auth_check.h"
#include "login_throttle.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "transport/auth_codec.h"

using servertest::KalvoroClient;
using servertest::MakeAuthenticator;
using servertest::RunEdbServer;

namespace {

const char* const kWrong = "Error: unknown user or wrong password\n";
const char* const kInvalid = "Error: invalid authenticator\n";

std::string CheckAuth(const EdbServerProcess& server, const std::string& authenticator) {
  KalvoroClient client(server);
  client.authenticator = authenticator;
  servertest::HttpReply reply = client.Get("checkauth.cgi&x");
  EXPECT_EQ(200, reply.status);
  return reply.body;
}

class ServerAuth : public servertest::SeededServerTest {
 protected:
  std::string Check(const std::string& authenticator) { return CheckAuth(server_, authenticator); }
};

TEST_F(ServerAuth, AcceptsRightPasswordAndRefusesOthers) {
  const std::string good = MakeAuthenticator("demo", "demo");
  const struct {
    std::string authenticator, reply;
  } cases[] = {
      {good, "OK\n"},
      {MakeAuthenticator("demo", "demo", 12), "OK\n"},  // debug level 12
      {MakeAuthenticator("demo", "Demo"), kWrong},
      {MakeAuthenticator("nobody", "demo"), kWrong},
      {"", "Error: missing authenticator\n"},
      {good.substr(0, good.size() - 3) + "0", kInvalid},
      {std::string(2000, 'A') + "0", kInvalid},
      {"%00%01%FF%0A", kInvalid},
  };
  // (Random authenticators: tests/fuzz/server_request_fuzz.cc.)
  for (const auto& c : cases) EXPECT_EQ(c.reply, Check(c.authenticator)) << c.authenticator;
}

// The server's clock runs 50 hours behind (ahead: tests/e2e/login_test.cc);
// inside a wider window the same offset is accepted.
TEST(ServerAuthWindow, TimeOutsideTheWindowIsRefused) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--clock-offset", "-3000"}, "Error: authenticator expired\n"},
      {{"--clock-offset", "3000", "--auth-window", "3100"}, "OK\n"}};
  for (const auto& [args, reply] : cases) {
    EdbServerProcess server(EdbServerProcess::Options{true, false, args});
    ASSERT_TRUE(server.ok());
    EXPECT_EQ(reply, CheckAuth(server, MakeAuthenticator("demo", "demo"))) << args[1];
  }
}

TEST_F(ServerAuth, UsersSharingTheirFirstTenBytesAreTold) {
  ASSERT_TRUE(server_.addUser("environment1", "first"));
  ASSERT_TRUE(server_.addUser("environment2", "second"));
  EXPECT_EQ("OK\n", Check(MakeAuthenticator("environment1", "first")));
  EXPECT_EQ(kWrong, Check(MakeAuthenticator("environment2", "third")));
  // Both names begin with "environmen": the password picks the user, and
  // a new EDB belongs to that user.
  KalvoroClient second(server_, "environment2", "second");
  EXPECT_EQ("OK\n", second.Save(servertest::Lines({"TEST", "createempty", "x", "Lund"})).body);
  EXPECT_EQ("Lund\n", second.Get("iedbvk2.cgi&TEST&listedbnames&environment2&x").body);
}

TEST_F(ServerAuth, LongestPasswordThatFitsIsAccepted) {
  std::string password(164, 'p');
  ASSERT_TRUE(server_.addUser("longpw", password));
  std::string authenticator = MakeAuthenticator("longpw", password);
  EXPECT_EQ(255u, authenticator.size());
  EXPECT_EQ("OK\n", Check(authenticator));
  EXPECT_FALSE(server_.addUser("toolong", std::string(165, 'p')));
}

TEST_F(ServerAuth, FailedLoginBurstIsSlowedDownNotLockedOut) {
  ASSERT_TRUE(server_.addUser("anna", "right"));
  std::string session = MakeAuthenticator("demo", "demo");
  ASSERT_EQ("OK\n", Check(session));
  // Five free failures, a sixth that starts the wait; then even the right
  // password waits, without being checked.
  for (int i = 0; i < 6; ++i) ASSERT_EQ(kWrong, Check(MakeAuthenticator("anna", "guess", i)));
  EXPECT_EQ(0u, Check(MakeAuthenticator("anna", "right")).find("Error: too many failed logins; wait "));
  // Another user from the same address, and a session already open, go on.
  EXPECT_EQ("OK\n", Check(MakeAuthenticator("demo", "demo", 3)));
  EXPECT_EQ("OK\n", Check(session));
  // The first wait is a second; after it the right password is taken.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ("OK\n", Check(MakeAuthenticator("anna", "right")));
}

TEST(ServerAuthThrottle, DelaysGrowPerUserAndPerAddress) {
  // By default 5 free failures per user, 20 per address, 1 s doubling to 60 s.
  edb::LoginThrottle throttle{edb::ThrottleSettings()};
  auto t = edb::LoginThrottle::Clock::time_point() + std::chrono::hours(1);
  auto failThenWait = [&](const char* user, int times, const char* address = "10.0.0.1") {
    for (int i = 0; i < times; ++i) throttle.Failed(user, "10.0.0.1", t);
    return throttle.WaitSeconds(user, address, t);
  };
  EXPECT_EQ(0, failThenWait("anna", 5));
  EXPECT_EQ(1, failThenWait("anna", 1, "10.0.0.2"));  // the name waits from any address
  EXPECT_EQ(0, throttle.WaitSeconds("anna", "10.0.0.2", t + std::chrono::seconds(1)));
  EXPECT_EQ(2, failThenWait("anna", 1));
  EXPECT_EQ(60, failThenWait("anna", 5));  // 64 capped
  // The address has failed 12 times; its 21st failure starts a wait for every name.
  failThenWait("bertil", 8);
  EXPECT_EQ(0, throttle.WaitSeconds("carl", "10.0.0.1", t));
  failThenWait("bertil", 1);
  EXPECT_EQ(1, throttle.WaitSeconds("carl", "10.0.0.1", t));
  EXPECT_EQ(0, throttle.WaitSeconds("carl", "10.0.0.3", t));
  // A success clears the name and the address; a quiet quarter of an hour too.
  throttle.Succeeded("anna", "10.0.0.1");
  EXPECT_EQ(1, failThenWait("anna", 6));
  t += std::chrono::minutes(16);
  EXPECT_EQ(0, failThenWait("anna", 1));
}

TEST(ServerAuthTime, StampsAreCalendarChecked) {
  int64_t a = 0, b = 0;
  EXPECT_TRUE(edb::ParseAuthTime("2502281230", &a));
  EXPECT_TRUE(edb::ParseAuthTime("2503010000", &b));
  EXPECT_EQ((11 * 60 + 30) * 60000, b - a);
  EXPECT_TRUE(edb::ParseAuthTime("2402291200", &a));  // leap day
  for (const char* bad : {"2502291200", "2513011200", "2501012400", "2501011260", "25010112", "25O1011200"}) {
    EXPECT_FALSE(edb::ParseAuthTime(bad, &a)) << bad;
  }
}

TEST(ServerAuthTime, ShiftMatchesTheLibrarysStamp) {
  std::time_t now = std::time(nullptr);
  std::string text = MakeAuthenticator("u", "p", 0, now);
  auth::Decoded decoded{};
  ASSERT_TRUE(auth::Decode(text.c_str(), &decoded));
  int64_t stamp = 0;
  ASSERT_TRUE(edb::ParseAuthTime(decoded.time, &stamp));
  int64_t server = edb::ShiftedLocalMillis(now, 0);
  EXPECT_GE(server, stamp);
  EXPECT_LT(server - stamp, 60000);
  EXPECT_EQ(server + 90 * 60000, edb::ShiftedLocalMillis(now + 3600, 30));
}

struct Case {
  const char* user;  // anna: owns the EDB user anna; bertil: owns none; chief: administrator; mallory: unknown
  const char* request;  // "GET " and the query after the authenticator, or "POST " and the body ('|' ends a line)
  const char* reply;
};

const Case kCases[] = {
    // Every request checks the authenticator, saves too.
    {"mallory", "GET iedbvk2.cgi&x&listdb&x&x", kWrong},
    {"mallory", "POST REF|createempty|demo|Sneaky", kWrong},
    {"anna", "GET iedbvk2.cgi&REF&listdb&demo&x", "REF\nTEST\nARCHIVE\n"},
    {"anna", "GET iedbvk2.cgi&REF&listedbnames&anna&x", "Stockholm2023\n"},
    {"anna", "GET iedbvk2.cgi&REF&loadxxxdb&global&global&timevarp&1", "@ok"},
    {"anna", "GET iedbvk2.cgi&REF&listedbnames&demo&x",
     "Error: login user anna may not read the EDBs of EDB user demo\n"},
    {"anna", "POST REF|saveedbrsrc|demo|Malmo2024|speed 1: 5 km/h",
     "Error: login user anna may not change the EDBs of EDB user demo\n"},
    {"anna", "POST REF|savexxxdb|global|global|timevarp|-1|0|0|EOF",
     "Error: only an administrator may change the shared EDB user global\n"},
    {"anna", "POST REF|saveedbrsrc|anna|Stockholm2023|speed 1: 5 km/h", ""},
    {"anna", "POST REF|createempty|demo|Annas", "OK\n"},  // made for anna, whatever the request names
    {"bertil", "GET iedbvk2.cgi&REF&listedbusers&anna&x", "@ok"},
    {"chief", "GET iedbvk2.cgi&REF&listedbnames&anna&x", "Stockholm2023\nAnnas\n"},
    {"chief", "POST REF|saveedbrsrc|demo|Malmo2024|speed 1: 5 km/h", ""},
    {"chief", "POST REF|savexxxdb|global|global|emfac|-1|0|0|EOF", "@ok"},
};

std::string Send(const EdbServerProcess& server, const Case& c) {
  KalvoroClient client(server, c.user, "pw-" + std::string(c.user));
  std::string request = c.request;
  if (request.compare(0, 4, "GET ") == 0) return client.Get(request.substr(4)).body;
  std::string body = request.substr(5);
  for (char& ch : body) ch = ch == '|' ? '\n' : ch;
  return client.Save(body + "\n").body;
}

TEST(ServerAccess, EachRoleTouchesOnlyWhatItMay) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(server.addUser("anna", "pw-anna"));
  ASSERT_TRUE(server.addUser("bertil", "pw-bertil"));
  ASSERT_EQ(0, RunEdbServer({"--data", server.dataDir(), "--add-user", "chief", "--admin", "--quiet"}, "pw-chief\n")
                   .exitCode);
  EXPECT_EQ("anna|0\nbertil|0\nchief|1\ndemo|1", server.query("SELECT name, admin FROM login_users ORDER BY name"));
  for (const Case& c : kCases) {
    std::string before = server.dumpRecords();
    std::string reply = Send(server, c);
    if (std::string(c.reply) == "@ok") {
      EXPECT_NE(0u, reply.rfind("Error: ", 0)) << c.user << " " << c.request << ": " << reply;
    } else {
      EXPECT_EQ(c.reply, reply) << c.user << " " << c.request;
    }
    EXPECT_EQ(before, reply.rfind("Error: ", 0) == 0 ? server.dumpRecords() : before) << c.request;
  }
  // Re-adding a user without --admin takes the role away.
  ASSERT_TRUE(server.addUser("chief", "pw-chief"));
  EXPECT_EQ("Error: login user chief may not read the EDBs of EDB user anna\n",
            KalvoroClient(server, "chief", "pw-chief").Get("iedbvk2.cgi&REF&listedbnames&anna&x").body);
}

}  // namespace
