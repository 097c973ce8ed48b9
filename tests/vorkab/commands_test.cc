// The vorkab commands end to end: the real binary against a freshly started
// substitute server (statuses and messages of the lists: messages_test.cc).
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
  EXPECT_EQ(server_.query("SELECT count(*) FROM records WHERE kind='timevarp' AND "
                          "CAST(body AS TEXT) LIKE 'NAME \"Renamed profile\"%'"),
            "1");
  // A fresh load finds the edit.
  book_ = folder_.Path("fresh.xlsx");
  Expect(0, {"load", "resources", "timevars"});
  EXPECT_EQ(Python(folder_, "print(openpyxl.load_workbook(sys.argv[1])['Source timevar']['A2'].value)\n", {book_}),
            "Renamed profile\n");
}

TEST_F(VorkabCommands, VerificationErrorsStopTheSave) {
  Expect(0, {"load", "all"});
  Edit("wb['Source timevar'].cell(row=2, column=27).value = 'lots'\n");
  std::string before = server_.dumpRecords();
  Expect(1, {"verify"}, "Source timevar [AA2]: ");
  Expect(1, {"save", "timevars"});
  EXPECT_EQ(server_.dumpRecords(), before);
}

TEST_F(VorkabCommands, FailuresLeaveTheWorkbookAsItWas) {
  Expect(0, {"load", "substances"});
  std::string bytes = ReadBytes(book_);
  Outcome run = Vorkab(folder_, server_.url(), With({"load", "all"}, "NoSuchEdb"));
  EXPECT_EQ(run.status, 3);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(ReadBytes(book_), bytes);
  server_.stop();
  Expect(3, {"load", "all"});
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

}  // namespace
