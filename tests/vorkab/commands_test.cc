// The vorkab commands end to end, the real binary against a freshly started
// substitute server: exit status 0 with the lists on standard output, 1 for
// verification issues, 2 for usage errors, 3 for the server's and the
// transport's failures, each with its message on standard error.
#include "support/raw_http_server.h"
#include "vorkab_run.h"

namespace {

using VorkabCommands = VorkabTest;

TEST_F(VorkabCommands, LoadVerifySaveLeavesTheServerUnchanged) {
  std::string before = server_.dumpRecords();
  EXPECT_EQ(Do({"grids"}).out, "FinePM2025\nHeating2025\nShipping2025\nTraffic2025\n");
  Expect(0, {"load", "all", "grid", "Shipping2025", "Traffic2025"}, "loaded emission factors: 29");
  Expect(0, {"verify"});
  Expect(0, {"save", "all"});
  Expect(0, {"save", "grids"}, "saved grids");
  EXPECT_EQ(server_.dumpRecords(), before);
}

TEST_F(VorkabCommands, EditMadeWithOpenpyxlReachesTheServer) {
  Expect(0, {"load", "all"});
  Edit("wb['Source timevar'].cell(row=2, column=1).value = 'Renamed profile'\n");
  // The merge check reports an index whose name differs on the server: a
  // rename is saved at the user's risk.
  Expect(1, {"save", "timevars"}, "Source timevar [B]: Index 1 has different name in Kalvoro");
  Expect(0, {"save", "--no-verify", "timevars"});
  // A fresh load from the server finds the edit.
  book_ = folder_.Path("fresh.xlsx");
  Expect(0, {"load", "resources", "timevars"});
  EXPECT_EQ(Python(folder_, "print(openpyxl.load_workbook(sys.argv[1])['Source timevar']['A2'].value)\n", {book_}),
            "Renamed profile\n");
}

TEST_F(VorkabCommands, FailuresLeaveTheWorkbookAsItWas) {
  Expect(0, {"load", "substances"});
  std::string bytes = ReadBytes(book_);
  Outcome run = Vorkab(folder_, server_.url(), With({"load", "all"}, "NoSuchEdb"));
  EXPECT_EQ(run.status, 3);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(ReadBytes(book_), bytes);
  server_.stop();
  Expect(3, {"load", "all"}, "", "12029 (cannot connect to the server");
  EXPECT_EQ(ReadBytes(book_), bytes);
}

TEST_F(VorkabCommands, BadWorkbookFilesAreNamed) {
  WriteBytes(book_, "this is not a zip file");
  Expect(3, {"verify"}, "", book_);
  EXPECT_EQ(ReadBytes(book_), "this is not a zip file");
  std::remove(book_.c_str());
  Expect(3, {"save", "all"});
}

TEST_F(VorkabCommands, PasswordNeverInTheLog) {
  std::string log = folder_.Path("vk.log");
  Expect(0, {"--log", "3," + log, "load", "resources"});
  std::string text = ReadBytes(log);
  EXPECT_NE(text.find("--> VKInit(demo, ****)"), std::string::npos);
  EXPECT_EQ(text.find("VORKAB_PASSWORD"), std::string::npos);
  // "demo" is also the user name: look for the password where it would stand.
  EXPECT_EQ(text.find(", demo)"), std::string::npos);
}


TEST_F(VorkabCommands, StatusesOutputAndMessages) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* out;  // the whole standard output; nullptr: not checked
    std::string error;
    std::string password = "demo";
    std::vector<std::string> unset = {};
  } cases[] = {
      {{"databases"}, 0, "ARCHIVE\nREF\nTEST\n", ""},
      // The EDB user defaults to the login user.
      {{"edbs"}, 0, "Gothenburg2025\nMalmo2024\n", ""},
      {{"edb-users"}, 0, nullptr, ""},
      {{"--help"}, 0, nullptr, ""},
      {{"databases"}, 3, "", "Error:", "wrong"},
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

TEST_F(VorkabCommands, AServerThatDoesNotAnswerIsGivenUp) {
  test_support::RawHttpServer silent;
  silent.SetDefaultReply(test_support::RawReply::Silent());
  ASSERT_TRUE(silent.Start());
  Outcome run = Vorkab(folder_, "http://127.0.0.1:" + std::to_string(silent.port()), {"--timeout", "1", "databases"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(run.err, "no answer from the server within 1 s (--timeout) while logging in")) << run.err;
}

}  // namespace
