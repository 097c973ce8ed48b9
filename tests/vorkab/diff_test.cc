// What a save would do, end to end: diff and save --dry-run list the records
// a save would add, change and delete, and send nothing.
#include "vorkab_run.h"

namespace {

class Diff : public VorkabTest {
 protected:
  void SetUp() override {
    VorkabTest::SetUp();
    Expect(0, {"load", "all"});
    before_ = server_.dumpRecords();
    // Change one emission factor's formula, drop the last one, add one.
    Edit("ws = wb['Emission function']\n"
         "last = ws.max_row\n"
         "ws.cell(row=3, column=4).value = '2*x'\n"
         "for c in range(1, ws.max_column + 1):\n"
         "    ws.cell(row=last, column=c).value = ws.cell(row=2, column=c).value\n"
         "ws.cell(row=last, column=1).value = 'New factor'\n"
         "ws.cell(row=last, column=2).value = 900\n");
  }
  std::string before_;
};

TEST_F(Diff, ListsAddedChangedAndDeletedRecordsAndSendsNothing) {
  std::string third = Python(folder_, "print(openpyxl.load_workbook(sys.argv[1])['Emission function']['A3'].value)\n",
                             {book_});
  third.pop_back();
  Outcome run = Expect(0, {"diff", "emfacs"}, "emission factors: 1 to add, 1 to change, 1 to delete\n");
  for (const std::string& line : {std::string("  add    \"New factor\" (index 900)\n"),
                                  std::string("  delete \"PM10 road dust\" (index 29)\n"),
                                  "  change \"" + third + "\" (index 2): Formula\n"}) {
    EXPECT_TRUE(Contains(run.out, line)) << run.out;
  }
  // A time variation's fields are named by their heading and type day.
  Edit("wb['Source timevar']['D4'] = '5'\n");
  Expect(0, {"diff", "timevars"},
         "source time variations: 0 to add, 1 to change, 0 to delete\n"
         "  change \"Continuous 24h\" (index 1): h1 (Sat)\n");
  run = Expect(0, {"save", "--dry-run", "emfacs"}, "1 to delete");
  EXPECT_TRUE(Contains(run.out, "dry run: nothing sent")) << run.out;
  EXPECT_EQ(server_.dumpRecords(), before_);
}

TEST_F(Diff, DeletingSavesNeedConfirmation) {
  Expect(2, {"save", "emfacs"}, "",
         "This save deletes 1 records on the server (listed above). Give --yes to confirm.");
  EXPECT_EQ(server_.dumpRecords(), before_);

  Outcome run = Expect(0, {"save", "--yes", "emfacs"}, "saved emission factors: 29 (");
  EXPECT_TRUE(Contains(run.out, "saved: emission factors\n")) << run.out;
  EXPECT_EQ(server_.query("SELECT count(*) FROM records WHERE kind='emfac'"), "29");
  Expect(0, {"diff", "emfacs"}, "emission factors: 0 to add, 0 to change, 0 to delete");
  Expect(0, {"info"}, "emission factors                   29         29\n");
}

}  // namespace
