// The edb-server program: command line, listening line, login users, and the
// dump of its records that the tests compare (HTTPS: tests/e2e/login_test.cc).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::KalvoroClient;
using servertest::RunEdbServer;

namespace {

// Usage errors exit with 2, failures to start or to add a user with 1; every
// message is a line of its own beginning with the program's name.
TEST(ServerProgram, CommandLinesExitWithTheirStatusAndMessage) {
  EdbServerProcess server(EdbServerProcess::Options{false, false, {}});
  ASSERT_TRUE(server.ok());
  const std::string data = server.dataDir(), port = std::to_string(server.port()), missing = data + "/missing.pem";
  const std::string badName = "invalid user name: 1 to 63 bytes without control characters or any of ;&%#";
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string message, input = "";
  } cases[] = {
      {{}, 2, ""},
      {{"--data", "/tmp/x", "--port"}, 2, ""},
      {{"--data", "/tmp/x", "--port", "70000"}, 2, ""},
      {{"--data", "/tmp/x", "--seed", "full"}, 2, ""},
      {{"--data", "/tmp/x", "--auth-window", "-5"}, 2, ""},
      {{"--data", "/tmp/x", "--frobnicate"}, 2, ""},
      {{"--data", "/tmp/x", "--add-user", "u", "--port", "1"}, 2, ""},
      {{"--data", data, "--add-user", "a;b"}, 2, badName, "pw\n"},
      {{"--data", data, "--add-user", "nopassword"}, 1, "no password on stdin"},
      {{"--data", data + "/second", "--port", port, "--quiet"}, 1, "cannot listen on 127.0.0.1:" + port},
      {{"--data", data + "/tls", "--port", "0", "--cert", missing, "--key", missing}, 1, "certificate"},
  };
  for (const auto& c : cases) {
    servertest::ProgramResult result = RunEdbServer(c.args, c.input);
    EXPECT_EQ(c.exitCode, result.exitCode) << testing::PrintToString(c.args);
    EXPECT_EQ(0u, result.err.find("edb-server: ")) << result.err;
    EXPECT_NE(std::string::npos, result.err.find(c.message)) << result.err;
    EXPECT_EQ("", result.out);
  }
  servertest::ProgramResult help = RunEdbServer({"--help"});
  EXPECT_EQ(0, help.exitCode);
  EXPECT_NE(std::string::npos, help.out.find("--add-user NAME"));
  // A UTF-8 name from a terminal becomes the ISO 8859-1 name the library sends.
  ASSERT_EQ(0, RunEdbServer({"--data", data, "--add-user", "\xC3\x85sa"}, "l\xC3\xB6sen\n").exitCode);
  EXPECT_EQ("OK\n", KalvoroClient(server, "\xC5sa", "l\xF6sen").Get("checkauth.cgi&x").body);
  EXPECT_EQ("0", server.query("SELECT COUNT(*) FROM databases"));  // no seed asked for
}

TEST(ServerProgram, AddUserStoresOnlyASaltedHash) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  const std::string password = "Secret-pass-6789";
  // Added while the server runs, and accepted at once.
  ASSERT_TRUE(server.addUser("karin", password));
  EXPECT_EQ("OK\n", KalvoroClient(server, "karin", password).Get("checkauth.cgi&x").body);
  std::string row = server.query("SELECT length(salt), hash FROM login_users WHERE name = 'karin'");
  EXPECT_EQ(0u, row.find("32|pbkdf2-sha256$310000$")) << row;
  EXPECT_EQ(row.size(), std::string("32|pbkdf2-sha256$310000$").size() + 64);
  for (const auto& entry : std::filesystem::directory_iterator(server.dataDir())) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::string::npos, text.find(password)) << entry.path();
  }
  ASSERT_TRUE(server.addUser("lars", password));
  EXPECT_EQ("1", server.query("SELECT COUNT(DISTINCT hash) = 2 FROM login_users WHERE name IN ('karin', 'lars')"));
  ASSERT_TRUE(server.addUser("karin", "newer"));
  EXPECT_EQ("Error: unknown user or wrong password\n",
            KalvoroClient(server, "karin", password).Get("checkauth.cgi&x").body);
  EXPECT_EQ("OK\n", KalvoroClient(server, "karin", "newer").Get("checkauth.cgi&x").body);
}

TEST(ServerProgram, DumpShowsEveryEdbAndRecord) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  std::string dump = server.dumpRecords();
  EXPECT_NE(std::string::npos, dump.find("== EDB REF/demo/Gothenburg2025\n-- resource file\nspeed 1: 20 km/h\n"));
  EXPECT_NE(std::string::npos, dump.find("-- record sub list 1 #3\n4 \"Domestic heating\"\n"));
  KalvoroClient client(server);
  ASSERT_EQ("Ok.\n", client.Save(servertest::SaveBody("emfac", "-1", "NAME \"F\"\nINDEX 1\nSUBSTANCE 1\nFORMULA x\n\n",
                                                       "anna", "Stockholm2023")).body);
  std::string after = server.dumpRecords();
  EXPECT_NE(std::string::npos, after.find("== EDB REF/anna/Stockholm2023\n-- resource file\n-- record emfac list 0 #0\n"));
}

}  // namespace
