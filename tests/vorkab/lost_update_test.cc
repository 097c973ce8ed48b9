// Two people editing the same EDB: a save refuses to overwrite records the
// server changed since its workbook was loaded.
#include "vorkab_run.h"

namespace {

class LostUpdate : public VorkabTest {
 protected:
  void SetUp() override {
    VorkabTest::SetUp();
    Expect(0, {"load", "all"});
    ASSERT_EQ(Bjorn({"load", "all"}).status, 0);
  }
  // The second person's workbook, loaded from the same EDB.
  Outcome Bjorn(std::vector<std::string> args) {
    std::vector<std::string> all = {"--edb-user", "demo", "--edb", "Gothenburg2025", "--workbook", other_};
    all.insert(all.end(), args.begin(), args.end());
    return Vorkab(folder_, server_.url(), all);
  }
  void EditOther(const std::string& script) {
    std::swap(book_, other_);
    Edit(script);
    std::swap(book_, other_);
  }
  std::string other_ = folder_.Path("other.xlsx");
};

TEST_F(LostUpdate, SaveRefusesRecordsChangedOnTheServerSinceTheLoad) {
  // The digests sit in a hidden sheet.
  EXPECT_EQ(Python(folder_, "print(openpyxl.load_workbook(sys.argv[1])['VorkabBase'].sheet_state)\n", {book_}),
            "hidden\n");

  // Anna changes time variation 1 and saves; Björn changes 1 and 2.
  Edit("wb['Source timevar']['D4'] = '5'\n");
  Expect(0, {"save", "timevars"});
  EditOther("wb['Source timevar']['D4'] = '7'\nwb['Source timevar']['C6'] = '41'\n");
  std::string annas = server_.dumpRecords();

  Outcome run = Bjorn({"diff", "--base", "timevars"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "source time variations since the load: 1 changed in the workbook, 0 changed on the "
                                "server, 1 changed on both\n"
                                "  both     change \"Continuous 24h\" (index 1), each differently\n"
                                "  workbook change \"Industry 2-shift\" (index 2)\n"))
      << run.out;
  Expect(0, {"diff", "--base", "timevars"}, "0 changed in the workbook, 0 changed on the server, 0 changed on both");

  for (const char* dry : {"--dry-run", "--yes"}) {
    run = Bjorn({"save", dry, "timevars"});
    EXPECT_EQ(run.status, 3) << dry;
    EXPECT_TRUE(Contains(run.err, "vorkab: timevars changed on the server since this workbook loaded it:\n"
                                  "  source time variations: change \"Continuous 24h\" (index 1)\n"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "vorkab load timevars again and redo your edits, or give save --force")) << run.err;
    EXPECT_EQ(server_.dumpRecords(), annas);
  }

  // A kind nobody else saved goes through.
  EditOther("wb['Emission function']['D3'] = '2*x'\n");
  run = Bjorn({"save", "emfacs"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;

  run = Bjorn({"save", "--force", "timevars"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(server_.dumpRecords(), annas);
  // The base is now what Björn saved: his next save goes through, Anna's does not.
  EXPECT_EQ(Bjorn({"save", "timevars"}).status, 0);
  Expect(3, {"save", "timevars"}, "", "  source time variations: change \"Industry 2-shift\" (index 2)\n");
  run = Expect(0, {"diff", "--base", "timevars", "emfacs"},
               "  server   change \"Continuous 24h\" (index 1)\n"
               "  server   change \"Industry 2-shift\" (index 2)\n");
  EXPECT_TRUE(Contains(run.out, "emission factors since the load: 0 changed in the workbook, 1 changed on the server"))
      << run.out;
}

}  // namespace
