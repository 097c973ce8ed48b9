// The vorkab commands end to end: the real binary against a freshly started
// substitute server, with exit statuses, the password kept off the command
// line and out of the log, openpyxl reading and editing our workbooks, bad
// files, and failures that leave the workbook file as it was.
#include "vorkab_run.h"

namespace {

using VorkabCommands = VorkabTest;

TEST_F(VorkabCommands, ListsAndUsage) {
  Outcome run = Vorkab(folder_, server_.url(), {"databases"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "ARCHIVE\nREF\nTEST\n");
  run = Vorkab(folder_, server_.url(), {"--edb-user", "demo", "edbs"});
  EXPECT_EQ(run.out, "Gothenburg2025\nMalmo2024\n");
  EXPECT_EQ(Vorkab(folder_, server_.url(), {"edb-users"}).status, 0);
  EXPECT_EQ(Vorkab(folder_, server_.url(), {"frobnicate"}).status, 2);
  EXPECT_EQ(Vorkab(folder_, server_.url(), {"--help"}).status, 0);
  run = Vorkab(folder_, server_.url(), {"load", "lakes"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("known kinds: resources, substances, searchkeys, timevars, subgrps, emfacs, vehicles, "
                         "roadvehicles, roadtypes, companies, facilities, sources, roads, grids, grid NAME..., all"),
            std::string::npos)
      << run.err;
  run = Vorkab(folder_, server_.url(), {"databases"}, "wrong");
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find("Error:"), std::string::npos) << run.err;
}

TEST_F(VorkabCommands, LoadVerifySaveLeavesTheServerUnchanged) {
  std::string before = server_.dumpRecords();
  Outcome run = Do({"load", "all"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("loaded emission factors: 29"), std::string::npos) << run.out;
  run = Do({"verify"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  run = Do({"save", "all"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(server_.dumpRecords(), before);
}

TEST_F(VorkabCommands, GridsAreListedLoadedVerifiedAndSavedBack) {
  std::string before = server_.dumpRecords();
  Outcome run = Do({"grids"});
  EXPECT_EQ(run.out, "FinePM2025\nHeating2025\nShipping2025\nTraffic2025\n") << run.err;
  run = Do({"load", "all", "grid", "Shipping2025", "Traffic2025"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Do({"verify"}).status, 0);
  run = Do({"save", "grids"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("saved grids"), std::string::npos) << run.out;
  EXPECT_EQ(server_.dumpRecords(), before);
}

TEST_F(VorkabCommands, EditMadeWithOpenpyxlReachesTheServer) {
  ASSERT_EQ(Do({"load", "all"}).status, 0);
  std::string script = folder_.Path("edit.py");
  WriteBytes(script,
             "import sys, openpyxl\n"
             "wb = openpyxl.load_workbook(sys.argv[1])\n"
             "ws = wb['Source timevar']\n"
             "print(ws.cell(row=2, column=1).value, ws.cell(row=2, column=27).value)\n"
             "ws.cell(row=2, column=1).value = 'Renamed profile'\n"
             "wb.save(sys.argv[1])\n");
  std::string command = "timeout 120 /usr/bin/python3 '" + script + "' '" + book_ + "' > '" + folder_.Path("py.txt") + "' 2>&1";
  ASSERT_EQ(system(command.c_str()), 0) << ReadBytes(folder_.Path("py.txt"));
  EXPECT_FALSE(ReadBytes(folder_.Path("py.txt")).empty());

  // The merge check reports an index whose name differs on the server: a
  // rename is saved at the user's risk.
  Outcome run = Do({"save", "timevars"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Source timevar [B]: Index 1 has different name in Kalvoro"), std::string::npos) << run.out;
  run = Do({"save", "--no-verify", "timevars"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(server_.query("SELECT count(*) FROM records WHERE kind='timevarp' AND "
                          "CAST(body AS TEXT) LIKE 'NAME \"Renamed profile\"%'"),
            "1");

  // A fresh load finds the edit.
  std::string fresh = folder_.Path("fresh.xlsx");
  run = Vorkab(folder_, server_.url(), {"--edb-user", "demo", "--edb", "Gothenburg2025", "--workbook", fresh,
                                         "load", "resources", "timevars"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string check = folder_.Path("check.py");
  WriteBytes(check,
             "import sys, openpyxl\n"
             "print(openpyxl.load_workbook(sys.argv[1])['Source timevar'].cell(row=2, column=1).value)\n");
  command = "timeout 120 /usr/bin/python3 '" + check + "' '" + fresh + "' > '" + folder_.Path("py.txt") + "' 2>&1";
  ASSERT_EQ(system(command.c_str()), 0);
  EXPECT_EQ(ReadBytes(folder_.Path("py.txt")), "Renamed profile\n");
}

TEST_F(VorkabCommands, VerificationErrorsStopTheSave) {
  ASSERT_EQ(Do({"load", "all"}).status, 0);
  std::string script = folder_.Path("break.py");
  WriteBytes(script,
             "import sys, openpyxl\n"
             "wb = openpyxl.load_workbook(sys.argv[1])\n"
             "wb['Source timevar'].cell(row=2, column=27).value = 'lots'\n"
             "wb.save(sys.argv[1])\n");
  ASSERT_EQ(system(("timeout 120 /usr/bin/python3 '" + script + "' '" + book_ + "'").c_str()), 0);
  std::string before = server_.dumpRecords();
  Outcome run = Do({"verify"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Source timevar [AA2]: "), std::string::npos) << run.out;
  run = Do({"save", "timevars"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(server_.dumpRecords(), before);
}

TEST_F(VorkabCommands, FailuresLeaveTheWorkbookAsItWas) {
  ASSERT_EQ(Do({"load", "substances"}).status, 0);
  std::string bytes = ReadBytes(book_);
  Outcome run = Vorkab(folder_, server_.url(),
                   {"--edb-user", "demo", "--edb", "NoSuchEdb", "--workbook", book_, "load", "all"});
  EXPECT_EQ(run.status, 3);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(ReadBytes(book_), bytes);

  server_.stop();
  run = Do({"load", "all"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(ReadBytes(book_), bytes);
}

TEST_F(VorkabCommands, BadWorkbookFilesAreNamed) {
  WriteBytes(book_, "this is not a zip file");
  Outcome run = Do({"verify"});
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find(book_), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(book_), "this is not a zip file");
  std::remove(book_.c_str());
  EXPECT_EQ(Do({"save", "all"}).status, 3);
}

TEST_F(VorkabCommands, PasswordNeverInTheLog) {
  std::string log = folder_.Path("vk.log");
  Outcome run = Do({"--log", "3," + log, "load", "resources"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string text = ReadBytes(log);
  EXPECT_NE(text.find("--> VKInit(demo, ****)"), std::string::npos);
  EXPECT_EQ(text.find("VORKAB_PASSWORD"), std::string::npos);
  // "demo" is also the user name: look for the password where it would stand.
  EXPECT_EQ(text.find(", demo)"), std::string::npos);
  EXPECT_EQ(Vorkab(folder_, server_.url(), {"--password", "demo", "databases"}).status, 2);
}

}  // namespace
