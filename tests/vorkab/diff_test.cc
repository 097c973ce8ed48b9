// What a save would change (diff, save --dry-run), end to end; and a save
// never overwrites what another person saved since the workbook was loaded.
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
  Edit("wb['Emission function']['B4'] = 2.5\n");
  Expect(0, {"diff", "emfacs"}, "(no valid index)\n");
}

TEST_F(Diff, DeletingSavesNeedConfirmation) {
  Expect(2, {"save", "emfacs"}, "",
         "This save deletes 1 records on the server (listed above). Give --yes to confirm.");
  EXPECT_EQ(server_.dumpRecords(), before_);

  Outcome run = Expect(0, {"save", "--yes", "emfacs"}, "saved emission factors: 29 (");
  EXPECT_TRUE(Contains(run.out, "saved: emission factors\n")) << run.out;
  Expect(0, {"diff", "emfacs"}, "emission factors: 0 to add, 0 to change, 0 to delete");
  Expect(0, {"info"}, "emission factors                   29         29\n");
}


class LostUpdate : public VorkabTest {
 protected:
  void SetUp() override {
    VorkabTest::SetUp();
    Expect(0, {"load", "all"});
    Bjorn(0, {"load", "all"});
  }
  // Expect() on the second person's workbook, loaded from the same EDB.
  Outcome Bjorn(int status, std::vector<std::string> args, const std::string& out = "", const std::string& err = "") {
    std::swap(book_, other_);
    Outcome run = Expect(status, std::move(args), out, err);
    std::swap(book_, other_);
    return run;
  }
  void EditOther(const std::string& script) {
    std::swap(book_, other_);
    Edit(script);
    std::swap(book_, other_);
  }
  std::string other_ = folder_.Path("other.xlsx");
};

TEST_F(LostUpdate, SaveRefusesRecordsChangedOnTheServerSinceTheLoad) {
  EXPECT_EQ(Python(folder_, "print(openpyxl.load_workbook(sys.argv[1])['VorkabBase'].sheet_state)\n", {book_}),
            "hidden\n");

  // Anna changes time variation 1 and saves; Björn changes 1 and 2.
  Edit("wb['Source timevar']['D4'] = '5'\n");
  Expect(0, {"save", "timevars"});
  EditOther("wb['Source timevar']['D4'] = '7'\nwb['Source timevar']['C6'] = '41'\n");
  std::string annas = server_.dumpRecords();

  Bjorn(0, {"diff", "--base", "timevars"},
        "source time variations since the load: 1 changed in the workbook, 0 changed on the server, 1 changed on both\n"
        "  both     change \"Continuous 24h\" (index 1), each differently\n"
        "  workbook change \"Industry 2-shift\" (index 2)\n");
  Expect(0, {"diff", "--base", "timevars"}, "0 changed in the workbook, 0 changed on the server, 0 changed on both");

  for (const char* dry : {"--dry-run", "--yes"}) {
    SCOPED_TRACE(dry);
    Outcome run = Bjorn(3, {"save", dry, "timevars"}, "",
                        "vorkab: timevars changed on the server since this workbook loaded it:\n"
                        "  source time variations: change \"Continuous 24h\" (index 1)\n");
    EXPECT_TRUE(Contains(run.err, "vorkab load timevars again and redo your edits, or give save --force")) << run.err;
    EXPECT_EQ(server_.dumpRecords(), annas);
  }

  // A kind nobody else saved goes through.
  EditOther("wb['Emission function']['D3'] = '2*x'\n");
  Bjorn(0, {"save", "emfacs"});
  Bjorn(0, {"save", "--force", "timevars"});
  EXPECT_NE(server_.dumpRecords(), annas);
  // The base is now what Björn saved: his next save goes through, Anna's does not.
  Bjorn(0, {"save", "timevars"});
  Expect(3, {"save", "timevars"}, "", "  source time variations: change \"Industry 2-shift\" (index 2)\n");
  Outcome run = Expect(0, {"diff", "--base", "timevars", "emfacs"},
                       "  server   change \"Continuous 24h\" (index 1)\n"
                       "  server   change \"Industry 2-shift\" (index 2)\n");
  EXPECT_TRUE(Contains(run.out, "emission factors since the load: 0 changed in the workbook, 1 changed on the server"))
      << run.out;
}

}  // namespace
