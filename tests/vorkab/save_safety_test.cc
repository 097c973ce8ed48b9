// What must never destroy a user's work, end to end with the real binary and
// server: each unsafe save is refused with nothing sent.
#include <signal.h>
#include <sys/stat.h>

#include <fstream>

#include "vorkab_run.h"

namespace {

class SaveSafety : public VorkabTest {
 protected:
  void SetUp() override {
    VorkabTest::SetUp();
    Expect(0, {"load", "all"});
    before_ = server_.dumpRecords();
  }
  // The save is refused with that status and message (and the second one);
  // the server is unchanged.
  void ExpectRefused(const std::vector<std::string>& args, int status, const std::string& message,
                     const std::string& also = "") {
    Outcome run = Vorkab(folder_, server_.url(), args);
    EXPECT_EQ(run.status, status) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out + run.err, message) && Contains(run.out + run.err, also)) << run.out << run.err;
    EXPECT_EQ(server_.dumpRecords(), before_);
  }
  std::string before_;
};

TEST_F(SaveSafety, AMissingSheetIsNamedAndNothingIsSaved) {
  Edit("del wb['Emission function']\n");
  ExpectRefused(With({"save", "all"}), 3, "sheet \"Emission function\" is missing from " + book_);
  Expect(1, {"verify"}, "Emission function [A1]: the sheet is missing: emfacs cannot be saved");
  // Kinds whose sheets are there still save; a load recreates the sheet.
  Expect(0, {"save", "timevars"});
  EXPECT_EQ(server_.dumpRecords(), before_);
  Expect(0, {"load", "emfacs"});
  Expect(0, {"save", "all"});
  EXPECT_EQ(server_.dumpRecords(), before_);
}

TEST_F(SaveSafety, RowsAfterAGapAreAnError) {
  Edit("wb['Emission factor'].insert_rows(10)\n");
  const std::string message = "Emission factor [A11]: row 11 and below would not be saved: remove the empty row 10";
  Expect(1, {"verify"}, message);
  ExpectRefused(With({"save", "subgrps"}), 1, message);
  Edit("wb['Emission factor'].delete_rows(10)\n");
  Expect(0, {"save", "subgrps"});
  EXPECT_EQ(server_.dumpRecords(), before_);
}

TEST_F(SaveSafety, AWorkbookOfAnotherEdbIsRefusedUnlessForced) {
  ExpectRefused(With({"save", "timevars"}, "Malmo2024"), 3,
                "was loaded from EDB Gothenburg2025 of demo in database REF on " + server_.url(),
                "saving into EDB Malmo2024 of demo");
  // Loading another EDB's kinds into it would mix them the same way.
  std::string bytes = ReadBytes(book_);
  EXPECT_EQ(Vorkab(folder_, server_.url(), With({"load", "emfacs"}, "Malmo2024")).status, 3);
  EXPECT_EQ(ReadBytes(book_), bytes);
  Outcome run = Vorkab(folder_, server_.url(), With({"--force", "save", "--yes", "timevars"}, "Malmo2024"));
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(server_.dumpRecords(), before_);
}

TEST_F(SaveSafety, ANewSubstanceIsAWarningAndItsUsesAreRefused) {
  Edit("ws = wb['Substance']\n"
       "row = ws.max_row + 1\n"
       "ws.cell(row=row, column=1).value = row - 1\n"
       "ws.cell(row=row, column=2).value = '\\u00d6lja'\n"
       "wb['Emission function'].cell(row=2, column=3).value = '\\u00d6lja'\n");
  Expect(0, {"verify"}, "substance \"\xC3\x96lja\" is not on the server: substances are kept by the server");
  ExpectRefused(With({"save", "emfacs"}), 1, "Emission function [C2]: substance \"\xC3\x96lja\" is not on the server");
  // Saving a kind that does not use it goes ahead.
  Expect(0, {"save", "timevars"});
}

TEST_F(SaveSafety, AReadOnlyWorkbookIsNotReplaced) {
  std::string bytes = ReadBytes(book_);
  ASSERT_EQ(chmod(book_.c_str(), 0444), 0);
  Expect(3, {"load", "timevars"}, "", "is read-only");
  EXPECT_EQ(ReadBytes(book_), bytes);
}

// Whether the process has a handler for SIGINT (its /proc status says so).
bool CatchesInterrupt(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 7, "SigCgt:") == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1;
  }
  return false;
}

TEST_F(SaveSafety, CtrlCBeforeTheTransfersSavesNothing) {
  Edit("wb['Source timevar']['C2'] = '7'\n");
  // The server is held while vorkab logs in; Ctrl-C comes once it is caught.
  ASSERT_EQ(kill(server_.pid(), SIGSTOP), 0);
  pid_t pid = StartVorkab(folder_, server_.url(), With({"save", "all"}));
  bool caught = false;
  for (int i = 0; i < 3000 && !(caught = CatchesInterrupt(pid)); ++i) usleep(10000);
  EXPECT_TRUE(caught);
  kill(pid, SIGINT);
  ASSERT_EQ(kill(server_.pid(), SIGCONT), 0);
  Outcome run = WaitVorkab(folder_, pid);
  EXPECT_EQ(run.status, 130) << run.out << run.err;
  // Stopped while the server's records were read, or before the first transfer.
  EXPECT_TRUE(Contains(run.err, "vorkab: interrupted: nothing saved") ||
              Contains(run.out, "saved: none; not saved: resources, searchkey list 1")) << run.out << run.err;
  EXPECT_EQ(server_.dumpRecords(), before_);
}

}  // namespace
