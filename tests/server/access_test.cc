// What each role may touch: a login user its own EDB user's EDBs, an
// administrator all, everyone may read a shared EDB user; a refusal is an
// "Error:" line and changes nothing.
#include <gtest/gtest.h>

#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::KalvoroClient;
using servertest::Lines;
using servertest::RunEdbServer;

namespace {

struct Case {
  const char* user;     // anna: owns the EDB user anna; bertil: owns none; chief: administrator
  const char* request;  // "GET ..." (the query after the authenticator) or "POST ..." (the save body, '|' for line ends)
  const char* reply;
};

const Case kCases[] = {
    {"anna", "GET iedbvk2.cgi&REF&listdb&demo&x", "REF\nTEST\nARCHIVE\n"},
    {"anna", "GET iedbvk2.cgi&REF&listedbnames&anna&x", "Stockholm2023\n"},
    {"anna", "GET iedbvk2.cgi&REF&listedbnames&global&x", "global\n"},
    {"anna", "GET iedbvk2.cgi&REF&loadxxxdb&global&global&timevarp&1", "@ok"},
    {"anna", "GET iedbvk2.cgi&REF&listedbnames&demo&x",
     "Error: login user anna may not read the EDBs of EDB user demo\n"},
    {"anna", "GET iedbvk2.cgi&REF&loadsubs&demo&Gothenburg2025&1",
     "Error: login user anna may not read the EDBs of EDB user demo\n"},
    {"anna", "GET iedbvk2.cgi&REF&loadedbrsrc&&Gothenburg2025", "Error: no EDB user chosen\n"},
    {"anna", "POST REF|saveedbrsrc|demo|Malmo2024|speed 1: 5 km/h",
     "Error: login user anna may not change the EDBs of EDB user demo\n"},
    {"anna", "POST REF|savexxxdb|global|global|timevarp|-1|0|0|EOF",
     "Error: only an administrator may change the shared EDB user global\n"},
    {"anna", "POST REF|saveedbrsrc|anna|Stockholm2023|speed 1: 5 km/h", ""},
    {"anna", "POST REF|createempty|demo|Annas", "OK\n"},  // made for anna, whatever the request names
    {"bertil", "GET iedbvk2.cgi&REF&listedbusers&anna&x", "@ok"},
    {"bertil", "GET iedbvk2.cgi&REF&loadedbrsrc&anna&Stockholm2023",
     "Error: login user bertil may not read the EDBs of EDB user anna\n"},
    {"bertil", "GET iedbvk2.cgi&REF&listgrids&global&global", ""},
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
    if (reply.rfind("Error: ", 0) == 0) EXPECT_EQ(before, server.dumpRecords()) << c.request;
  }
  // Re-adding a user without --admin takes the role away.
  ASSERT_TRUE(server.addUser("chief", "pw-chief"));
  EXPECT_EQ("Error: login user chief may not read the EDBs of EDB user anna\n",
            KalvoroClient(server, "chief", "pw-chief").Get("iedbvk2.cgi&REF&listedbnames&anna&x").body);
}

}  // namespace
