// Exit statuses and messages of the real binary: 3 for the server's and the
// transport's failures, 2 for usage errors.
#include "support/raw_http_server.h"
#include "vorkab_run.h"

namespace {

using Messages = VorkabTest;

TEST_F(Messages, ServerRefusalsAreErrorsOnStandardError) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"--edb-user", "nobody", "edbs"}, "Error: unknown EDB user nobody"},
      {{"--database", "NOPE", "edb-users"}, "Error: unknown database NOPE"},
  };
  for (const Case& c : cases) {
    Outcome run = Vorkab(folder_, server_.url(), c.args);
    EXPECT_EQ(run.status, 3) << c.error;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
  }
  // The EDB user defaults to the login user; options may follow the command.
  Outcome run = Vorkab(folder_, server_.url(), {"edbs"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Gothenburg2025\nMalmo2024\n");
  run = Vorkab(folder_, server_.url(), {"edb-users", "--database", "NOPE"});
  EXPECT_EQ(run.status, 3);
}

TEST_F(Messages, UsageErrorsAreStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::string message;
  };
  const Case cases[] = {
      {{"databases"}, {"VORKAB_SERVER"}, "no server: give --server URL or set VORKAB_SERVER"},
      {{"databases"}, {"VORKAB_USER"}, "no user: give --user NAME or set VORKAB_USER"},
      {{"databases"}, {"VORKAB_PASSWORD"}, "no password: set VORKAB_PASSWORD"},
      {{"--log", "abc", "databases"}, {}, "--log takes LEVEL[,PATH]"},
      {{"--edb-user", "demo", "load", "all"}, {}, "no EDB: give --edb NAME"},
      {{"--timeout", "0", "databases"}, {}, "--timeout"},
  };
  for (const Case& c : cases) {
    Outcome run = Vorkab(folder_, server_.url(), c.args, "demo", c.env);
    EXPECT_EQ(run.status, 2) << c.message << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
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
  test_support::RawReply never;
  never.silent = true;
  silent.SetDefaultReply(never);
  ASSERT_TRUE(silent.Start());
  Outcome run = Vorkab(folder_, "http://127.0.0.1:" + std::to_string(silent.port()), {"--timeout", "1", "databases"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(run.err, "no answer from the server within 1 s (--timeout) while logging in")) << run.err;
  silent.Stop();
}

}  // namespace
