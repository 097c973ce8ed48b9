// Exit statuses, output and messages of the real binary: 0 with the lists on
// standard output, 2 for usage errors, 3 for the server's and the transport's
// failures, each with its message on standard error.
#include "support/raw_http_server.h"
#include "vorkab_run.h"

namespace {

using Messages = VorkabTest;

TEST_F(Messages, StatusesOutputAndMessages) {
  const std::string kEdbs = "Gothenburg2025\nMalmo2024\n";
  const struct {
    std::vector<std::string> args;
    int status;
    const char* out;  // the whole standard output; nullptr: not checked
    std::string error;
    std::string password = "demo";
    std::vector<std::string> unset = {};
  } cases[] = {
      {{"databases"}, 0, "ARCHIVE\nREF\nTEST\n", ""},
      {{"--edb-user", "demo", "edbs"}, 0, kEdbs.c_str(), ""},
      // The EDB user defaults to the login user.
      {{"edbs"}, 0, kEdbs.c_str(), ""},
      {{"edb-users"}, 0, nullptr, ""},
      {{"--help"}, 0, nullptr, ""},
      {{"databases"}, 3, "", "Error:", "wrong"},
      {{"--edb-user", "nobody", "edbs"}, 3, "", "Error: unknown EDB user nobody"},
      {{"--database", "NOPE", "edb-users"}, 3, "", "Error: unknown database NOPE"},
      // Options may follow the command.
      {{"edb-users", "--database", "NOPE"}, 3, "", "Error: unknown database NOPE"},
      {{"frobnicate"}, 2, nullptr, ""},
      {With({"load", "lakes"}), 2, nullptr,
       "known kinds: resources, substances, searchkeys, timevars, subgrps, emfacs, vehicles, "
       "roadvehicles, roadtypes, companies, facilities, sources, roads, grids, grid NAME..., all"},
      // A password on the command line would show in the process list.
      {{"--password", "demo", "databases"}, 2, nullptr, ""},
      {{"databases"}, 2, nullptr, "no server: give --server URL or set VORKAB_SERVER", "demo", {"VORKAB_SERVER"}},
      {{"databases"}, 2, nullptr, "no user: give --user NAME or set VORKAB_USER", "demo", {"VORKAB_USER"}},
      {{"databases"}, 2, nullptr, "no password: set VORKAB_PASSWORD", "demo", {"VORKAB_PASSWORD"}},
      {{"--log", "abc", "databases"}, 2, nullptr, "--log takes LEVEL[,PATH]"},
      {{"--edb-user", "demo", "load", "all"}, 2, nullptr, "no EDB: give --edb NAME"},
      {{"--timeout", "0", "databases"}, 2, nullptr, "--timeout"},
  };
  for (const auto& c : cases) {
    Outcome run = Vorkab(folder_, server_.url(), c.args, c.password, c.unset);
    EXPECT_EQ(run.status, c.status) << testing::PrintToString(c.args) << run.err;
    EXPECT_EQ(run.out, c.out ? c.out : run.out) << testing::PrintToString(c.args);
    EXPECT_TRUE(Contains(run.err, c.error)) << "lacks: " << c.error << "\n" << run.err;
  }
}

TEST_F(Messages, TransportErrorsAreExplained) {
  std::string url = server_.url();
  server_.stop();
  Outcome run = Vorkab(folder_, url, {"databases"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(run.err, "12029 (cannot connect to the server")) << run.err;
}

TEST_F(Messages, AServerThatDoesNotAnswerIsGivenUp) {
  test_support::RawHttpServer silent;
  silent.SetDefaultReply(test_support::RawReply::Silent());
  ASSERT_TRUE(silent.Start());
  Outcome run = Vorkab(folder_, "http://127.0.0.1:" + std::to_string(silent.port()), {"--timeout", "1", "databases"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(run.err, "no answer from the server within 1 s (--timeout) while logging in")) << run.err;
}

}  // namespace
