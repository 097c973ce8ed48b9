// Every reference kind and the resource file through the workbook: the round
// trip leaves the server's records as they were, and edits come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "records/lists.h"
#include "transport/latin1.h"
#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

using RoundTrip = TransferTest;

TEST_F(RoundTrip, LoadThenSaveLeavesTheServerAsItWas) {
  std::string before = server_->dumpRecords();
  ASSERT_NE(EdbPart(before, "REF/demo/Gothenburg2025").find("-- record emfac"), std::string::npos);
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll());
    ASSERT_NO_FATAL_FAILURE(SaveAll());
  }
  ExpectStoredAsBefore(before);

  // The smaller EDB: its resource file and searchkeys.
  VKEdbNameSet(L"Malmo2024");
  {
    Workbook book;
    ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
    ASSERT_EQ(VKEdbRsrcSave(), 1) << TakeError();
    for (int32_t list = 1; list <= 5; ++list) {
      ASSERT_EQ(Calls(SubLoad(list)).back().result, 0);
      ASSERT_EQ(Calls(SubSave(list)).back().result, 0);
    }
  }
  ExpectStoredAsBefore(before);
}

TEST_F(RoundTrip, ResourceFileSavedFromAWorkbookThatDidNotLoadIt) {
  std::string before = server_->query("SELECT content FROM resource_files");
  {
    Workbook book;
    ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
    // A second library session: the sheets came from a file, not from a Load.
    Workbook copy;
    for (const wchar_t* sheet : {L"Speed-Temp-Scen", L"Units", L"Rsrc"}) {
      for (const auto& [position, cell] : book.Book().FindSheet(sheet)->Cells()) {
        copy.Book().FindSheet(sheet)->Set(position.first, position.second, cell);
      }
    }
    SpeedList.Clear();
    UnitSubList.Clear();
    ASSERT_EQ(VKEdbRsrcSave(), 1) << TakeError();
  }
  EXPECT_EQ(before, server_->query("SELECT content FROM resource_files"));
}

// A resource file with every line a workbook finds awkward, loaded into a
// workbook that holds another EDB's resources and saved back: the server
// then holds exactly the lines of the file that the Load did not name in a
// warning, and the Load named exactly the lines the sheets cannot give back.
TEST_F(RoundTrip, ResourceFileKeepsEveryLineOrNamesIt) {
  std::vector<std::pair<std::string, bool>> file;  // line, named by the Load
  auto kept = [&](const std::string& line) { file.emplace_back(line, false); };
  auto named = [&](const std::string& line) { file.emplace_back(line, true); };
  named("speed 3: replaced by the later speed 3");
  named("# resource file of Malmo2024");
  for (int n = 1; n <= 11; ++n) kept("speed " + std::to_string(n) + ": " + (n == 5 ? "" : std::to_string(10 * n) + " km/h"));
  named("speed 12: 130 km/h");
  named("speed 0: standing");
  for (int n = 1; n <= 10; ++n) kept("scenario " + std::to_string(n) + ": Scenario " + std::to_string(n));
  named("scenario 11: Forecast 2040");
  for (int n = 1; n <= 30; ++n) kept("temperature " + std::to_string(n) + ": " + (n == 7 ? "" : std::to_string(n) + " C"));
  named("temperature 31: 50 C");
  kept("Search 1: 3.6 g/h");
  kept("Sub 1: 1000 kg/year");
  named("Sub 0: 2 ton/year");
  named("Sub 3: 1 g/year");
  named("Sub 5: 1e6 mg/year");
  named("Sub 4:1000");
  kept("SubGrp 1: 0.01 %/100");
  named("SubGrpEm 1: 1 " + std::string(256, 'u'));
  named("no colon here");
  kept("layer 1: roads");
  kept("NAME 0: Malm\xf6 2024");
  kept("NOTE: " + std::string(300, 'n'));
  kept("TABBED: a\tb");
  named(std::string(256, 'T') + ": a tag too long");
  named("EMPTY:");
  kept("LAST: x");

  Workbook book;
  ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();  // Gothenburg2025's resources first
  VKEdbNameSet(L"Malmo2024");
  ASSERT_EQ(IOREdbRsrcSave(RsrcSaveStart, nullptr), 1) << TakeError();
  for (const auto& line : file) ASSERT_EQ(IOREdbRsrcSave(RsrcSaveLine, Widen(line.first.c_str()).c_str()), 1);
  ASSERT_EQ(IOREdbRsrcSave(RsrcSaveFinish, nullptr), 1) << TakeError();

  ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
  std::set<int> warned;
  wchar_t text[256];
  for (int32_t first = 1; VKListWarning(first, text, 256) == 1; first = 0) {
    int n = 0;
    ASSERT_EQ(swscanf(wcsstr(text, L"Resource line "), L"Resource line %d", &n), 1) << text;
    warned.insert(n);
  }
  std::set<int> expected;
  std::string keptLines;
  for (size_t i = 0; i < file.size(); ++i) {
    if (file[i].second) expected.insert(static_cast<int>(i) + 1);
    if (!file[i].second) keptLines += file[i].first + "\n";
  }
  EXPECT_EQ(warned, expected);
  EXPECT_EQ(book.Text(L"Units", 1, 0), L"ton/year");  // the fixed first unit stays
  std::vector<std::wstring> speeds = Names(VKEdbSpeedList);  // speed 5 unnamed, the first speed 3 replaced
  EXPECT_EQ(speeds.size(), 10u);
  EXPECT_EQ(speeds.at(2), L"30 km/h");

  ASSERT_EQ(VKEdbRsrcSave(), 1) << TakeError();
  EXPECT_EQ(server_->query("SELECT content FROM resource_files WHERE edb_id = "
                           "(SELECT id FROM edbs WHERE name = 'Malmo2024')"),
            keptLines);
}

TEST_F(RoundTrip, EditsInTheSheetsAreSavedAndLoadedAgain) {
  // A renamed source time variation (record 2, row 5), a changed month value
  // (record 1, February), a new variable of an emission factor (row 1 has
  // three), a renamed scenario and a new searchkey.
  const std::vector<Workbook::Edit> edits = {
      {L"Source timevar", 5, 0, L"Industry 3-shift"},
      {L"Source timevar", 1, 27, L"77"},
      {L"Emission function", 1, 3, L"FUEL*EF*(1-RED/100)*LOAD"},
      {L"Emission function", 1, 10, L"LOAD"},
      {L"Emission function", 1, 11, L"CONST"},
      {L"Speed-Temp-Scen", 2, 3, L"Low emission zone 2027"},
      {L"Searchkey", 29, 1, L"Data centres"},
  };
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll());
    ASSERT_EQ(book.Text(L"Source timevar", 5, 0), L"Industry 2-shift");
    ASSERT_EQ(book.Text(L"Emission function", 1, 0), L"NOx gas boiler");
    ASSERT_EQ(book.Text(L"Emission function", 1, 9), L"VAR");
    ASSERT_EQ(book.Text(L"Emission function", 1, 10), L"");
    ASSERT_EQ(book.Text(L"Searchkey", 29, 1), L"");
    book.SetAll(edits);
    ASSERT_NO_FATAL_FAILURE(SaveAll());
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(LoadAll());
  fresh.ExpectAll(edits);
  EXPECT_EQ(fresh.Text(L"Source timevar", 0, 39), L"Low emission zone 2027");  // the scenario's heading

  std::vector<std::wstring> timevars = TimevarNames(0);
  EXPECT_NE(std::find(timevars.begin(), timevars.end(), L"Industry 3-shift"), timevars.end());
  EXPECT_EQ(std::find(timevars.begin(), timevars.end(), L"Industry 2-shift"), timevars.end());
  std::vector<std::wstring> sectors = SubNames(1);
  ASSERT_FALSE(sectors.empty());
  EXPECT_EQ(sectors.back(), L"Data centres");  // listed by index: 29 is the last
  std::string stored = EdbPart(server_->dumpRecords(), "REF/demo/Gothenburg2025");
  EXPECT_NE(stored.find("NAME \"NOx gas boiler\"\nINDEX 1\nSUBSTANCE 1\nFORMULA FUEL*EF*(1-RED/100)*LOAD\n"
                        "VAR.1 FUEL\nTYPE.1 VAR\nVAR.2 EF\nTYPE.2 CONST\nVAR.3 RED\nTYPE.3 VAR\n"
                        "VAR.4 LOAD\nTYPE.4 CONST\n"),
            std::string::npos);
}

}  // namespace
}  // namespace e2e
