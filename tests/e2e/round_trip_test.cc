// Every kind, the resource file and the grids through the workbook: the round
// trip leaves the server's records as they were, edits come back, damaged
// source headings and cells a grid cannot carry stop the save, and more roads
// or grid cells than a sheet holds continue.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "records/grid.h"
#include "records/lists.h"
#include "transport/latin1.h"
#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

class RoundTrip : public TransferTest {
 protected:
  // Every kind into the workbook; steps_ holds the steps of the kinds after
  // the reference kinds.
  void Load(Workbook& book) {
    ASSERT_NO_FATAL_FAILURE(LoadEveryKind(book, &steps_));
    // Empties the issue lists of earlier tests.
    VKUpdateSub();
    TakeError();
  }
  // Every kind back to the server; steps_ holds the traffic kinds' steps.
  void Save(int32_t mode) { ASSERT_NO_FATAL_FAILURE(SaveEveryKind(mode, &steps_)); }
  // The column of the source heading that begins with text, -1 when none does.
  int Column(Workbook& book, const std::wstring& text) {
    for (int c = 31; c < 2000 && !book.Text(L"Source", 0, c).empty(); ++c) {
      if (book.Text(L"Source", 0, c).compare(0, text.size(), text) == 0) return c;
    }
    return -1;
  }
  // Moves every source cell from column `from` on `by` columns to the right, rows 0 .. rows.
  void Shift(Workbook& book, int from, int by, int rows) {
    int last = from;
    while (!book.Text(L"Source", 0, last).empty()) ++last;
    for (int r = 0; r <= rows; ++r) {
      for (int c = last - 1; c >= from; --c) {
        ASSERT_TRUE(book.Set(L"Source", r, c + by, book.Text(L"Source", r, c)));
        ASSERT_TRUE(book.Set(L"Source", r, c, L""));
      }
    }
  }
  std::vector<Steps> steps_;
};

TEST_F(RoundTrip, LoadThenSaveLeavesTheServerAsItWas) {
  std::string before = server_->dumpRecords();
  ASSERT_NE(EdbPart(before, "REF/demo/Gothenburg2025").find("-- record emfac"), std::string::npos);
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    // Ten records a call: 27 vehicles, 32 road vehicles, 17 roadtypes, 23
    // companies, 51 facilities, 240 sources and 520 roads (200 a call).
    EXPECT_EQ(std::vector<Steps>(steps_.begin(), steps_.begin() + 4),
              (std::vector<Steps>{{{1, L"10"}, {1, L"20"}, {0, L"27"}},
                                  {{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"32"}},
                                  {{1, L"10"}, {0, L"17"}},
                                  {{1, L"10"}, {1, L"20"}, {0, L"23"}}}));
    EXPECT_EQ(steps_[4].back().count, L"51");
    EXPECT_EQ(steps_[5].back().count, L"240");
    EXPECT_EQ(steps_[6], (Steps{{1, L"200"}, {1, L"400"}, {0, L"520"}}));
    EXPECT_EQ(Names(VKVehiclesList).size(), 27u);
    EXPECT_EQ(Names(VKRoadtypesList).size(), 17u);
    EXPECT_EQ(Names(VKCompaniesList).size(), 23u);
    EXPECT_EQ(Names(VKFacilitiesList).size(), 51u);
    // The road-vehicle definition's dimensions and classes in the catalogue.
    wchar_t text[256] = L"";
    EXPECT_EQ(VKRoadVehiclesDefDim(text), 1);
    EXPECT_STREQ(text, L"3");
    EXPECT_EQ(VKRoadVehiclesDefDimText(1, text), 1);
    EXPECT_STREQ(text, L"Fuel");
    EXPECT_EQ(VKRoadVehiclesDefDimText(3, text), -1);
    TakeError();
    EXPECT_EQ(VKRoadVehiclesDefList(1, 1, text), 1);
    EXPECT_STREQ(text, L"Biogas");  // by name
    // Latin-1 letters, a facility's company by name, a two-line ALOB, the
    // source blocks' headings; a road on a roadtype, one with explicit
    // factors and class speeds, one with direct emissions, the polyline.
    book.ExpectAll({{L"Company", 2, 0, L"G\u00f6teborgs Raffinaderi AB"},
                    {L"Facility", 1, 3, L"\u00c5kesson Bruk AB"},
                    {L"Company", 1, 8, L"EMPLOYEES=47\nCONTACT=Ms Sm\u00e5land"},
                    {L"Source", 0, 31, L"Emission sub 1: NOx"},
                    {L"Source", 0, 37, L"Emission sub 1: ALOB"},
                    {L"Road", 1, 0, L"G\u00f6tgatan 1"},
                    {L"Road", 1, 8, L"Motorway 90"},
                    {L"Road", 3, 35, L"Bus"},
                    {L"Road", 3, 9, L"110kmh"},
                    {L"Road", 17, 38, L"EMIS"},
                    {L"Road", 4, 0, L"Sk\u00e5negatan 4"},
                    {L"Road", 1, 38, L"TRAFFIC"}});
    EXPECT_NE(Column(book, L"Emission fac 1: "), -1);
    EXPECT_NE(Column(book, L"Emission func 1: Var 1"), -1);
    ASSERT_NO_FATAL_FAILURE(Save(5));
    // A Save counts one ahead on every call: nine rows per call.
    EXPECT_EQ(steps_, (std::vector<Steps>{{{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"31"}},
                                          {{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"36"}},
                                          {{1, L"10"}, {0, L"19"}}}));
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
  // three), a renamed scenario and a new searchkey; vehicle 1's NOx (column
  // E) at speed 5 (row 5), roadtype 1's first vehicle in March; a renamed
  // company, a facility's coordinate, an ALOB with an empty line; road 1's
  // vehicle count and its roadtype swapped for explicit emission factors
  // (it has no further speeds).
  std::vector<Workbook::Edit> edits = {
      {L"Source timevar", 5, 0, L"Industry 3-shift"},
      {L"Source timevar", 1, 27, L"77"},
      {L"Emission function", 1, 3, L"FUEL*EF*(1-RED/100)*LOAD"},
      {L"Emission function", 1, 10, L"LOAD"},
      {L"Emission function", 1, 11, L"CONST"},
      {L"Speed-Temp-Scen", 2, 3, L"Low emission zone 2027"},
      {L"Searchkey", 29, 1, L"Data centres"},
      {L"Vehicle", 5, 4, L"0.04321"},
      {L"Roadtype", 1, 31, L"120"},
      {L"Company", 3, 0, L"V\u00e4stra Energi AB"},
      {L"Facility", 2, 1, L"1280000"},
      {L"Company", 2, 8, L"ISO14001=yes\n\nNEW=\u00e9t\u00e9"},
      {L"Road", 1, 3, L"1234567"},
      {L"Road", 1, 8, L""},
      {L"Road", 1, 35, L"Bus"},
      {L"Road", 1, 36, L"Biogas"},
      {L"Road", 1, 37, L"70kmh"},
  };
  std::wstring facility;
  int changed = -1;
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    book.ExpectAll({{L"Source timevar", 5, 0, L"Industry 2-shift"},
                    {L"Emission function", 1, 0, L"NOx gas boiler"},
                    {L"Emission function", 1, 9, L"VAR"},
                    {L"Emission function", 1, 10, L""},
                    {L"Searchkey", 29, 1, L""},
                    {L"Vehicle", 0, 4, L"NOx"},
                    {L"Vehicle", 5, 4, L"0.05507"},
                    {L"Roadtype", 1, 0, L"Motorway 110"},
                    {L"Company", 3, 0, L"V\u00e4stra Kraftv\u00e4rme AB"}});
    // A new emission line below the last road vehicle's line.
    int row = 2;
    while (!book.Text(L"Road Vehicle", row, 10).empty()) ++row;
    ASSERT_EQ(book.Text(L"Road Vehicle", row, 0), L"");
    int column = 10;
    for (const wchar_t* text : {L"PM2.5", L"Car", L"Diesel", L"90kmh", L"0.004", L"0.005", L"0.006", L"0.008"}) {
      edits.push_back({L"Road Vehicle", row, column++, text});
    }
    // Road 1 (row 1): 2 + 13 % 49 = 15 points after its COORD marker; new
    // points up to X99 take the row past the first 160 columns.
    int coord = 0;
    while (coord < 200 && book.Text(L"Road", 1, coord) != L"COORD") ++coord;
    ASSERT_LT(coord, 200);
    int end = coord + 1;
    while (!book.Text(L"Road", 1, end).empty()) ++end;
    ASSERT_EQ(end - coord - 1, 30);
    for (int p = 15; p < 100; ++p, end += 2) {
      ASSERT_TRUE(book.Set(L"Road", 1, end, p == 99 ? L"2147483647" : std::to_wstring(320000 + p)));
      ASSERT_TRUE(book.Set(L"Road", 1, end + 1, L"6399999"));
    }
    book.SetAll(edits);
    // A new substance block (SF6) after the last one: the later blocks move right.
    int groups = Column(book, L"Emission fac 1: ");
    ASSERT_GT(groups, 31);
    int k = (groups - 31) / 7 + 1;
    ASSERT_NO_FATAL_FAILURE(Shift(book, groups, 7, 240));
    const wchar_t* what[7] = {L"SF6", L"Timevar", L"Emission", L"Unit", L"Macro", L"Actcode", L"ALOB"};
    for (int j = 0; j < 7; ++j) {
      ASSERT_TRUE(book.Set(L"Source", 0, groups + j, L"Emission sub " + std::to_wstring(k) + L": " + what[j]));
    }
    int filled = FilledSubBlock(book, 1);
    ASSERT_NE(filled, -1);
    ASSERT_TRUE(book.Set(L"Source", 1, groups + 1, book.Text(L"Source", 1, filled + 1)));
    ASSERT_TRUE(book.Set(L"Source", 1, groups + 2, L"0.125"));
    ASSERT_TRUE(book.Set(L"Source", 1, groups + 3, L"kg/year"));
    // A changed emission.
    changed = FilledSubBlock(book, 2);
    ASSERT_NE(changed, -1);
    ASSERT_TRUE(book.Set(L"Source", 2, changed + 2, L"42.75"));
    // Source 3 is an area source: now a point source.
    ASSERT_FALSE(book.Text(L"Source", 3, 3).empty());
    ASSERT_TRUE(book.Set(L"Source", 3, 3, L""));
    ASSERT_TRUE(book.Set(L"Source", 3, 4, L""));
    const wchar_t* point[7] = {L"25", L"140", L"12", L"1.5", L"1.25", L"20", L"15"};
    for (int j = 0; j < 7; ++j) ASSERT_TRUE(book.Set(L"Source", 3, 10 + j, point[j]));
    // Source 4 moves to the facility of source 9.
    facility = book.Text(L"Source", 9, 5);
    ASSERT_NE(facility, book.Text(L"Source", 4, 5));
    ASSERT_TRUE(book.Set(L"Source", 4, 5, facility));
    ASSERT_NO_FATAL_FAILURE(Save(1));
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(Load(fresh));
  fresh.ExpectAll(edits);
  // The scenario's heading; the facilities of the renamed company name it by its new name.
  fresh.ExpectAll({{L"Source timevar", 0, 39, L"Low emission zone 2027"},
                   {L"Facility", 5, 3, L"V\u00e4stra Energi AB"},
                   {L"Source", 2, changed + 2, L"42.75"},
                   {L"Source", 3, 3, L""},
                   {L"Source", 3, 13, L"1.5"},
                   {L"Source", 4, 5, facility}});
  int sf6 = Column(fresh, L"Emission sub ");
  while (sf6 != -1 && fresh.Text(L"Source", 0, sf6).find(L": SF6") == std::wstring::npos) sf6 += 7;
  ASSERT_NE(fresh.Text(L"Source", 0, sf6), L"");
  EXPECT_EQ(fresh.Text(L"Source", 1, sf6 + 2), L"0.125");

  std::vector<std::wstring> timevars = TimevarNames(0);
  EXPECT_NE(std::find(timevars.begin(), timevars.end(), L"Industry 3-shift"), timevars.end());
  EXPECT_EQ(std::find(timevars.begin(), timevars.end(), L"Industry 2-shift"), timevars.end());
  std::vector<std::wstring> sectors = SubNames(1);
  ASSERT_FALSE(sectors.empty());
  EXPECT_EQ(sectors.back(), L"Data centres");  // listed by index: 29 is the last
  ExpectHas(GothenburgRecords(server_->dumpRecords()),
            {"NAME \"NOx gas boiler\"\nINDEX 1\nSUBSTANCE 1\nFORMULA FUEL*EF*(1-RED/100)*LOAD\n"
             "VAR.1 FUEL\nTYPE.1 VAR\nVAR.2 EF\nTYPE.2 CONST\nVAR.3 RED\nTYPE.3 VAR\nVAR.4 LOAD\nTYPE.4 CONST\n",
             "INFO \"Winter tyres\"\n3 Car Diesel 50kmh 0.06 0.078 0.108 0.156\n"
             "4 Car Diesel 90kmh 0.004 0.005 0.006 0.008\n",
             "ALOB 3\nISO14001=yes\n\nNEW=\xe9t\xe9\n", "ROADTYPE 0\nEMIFAC 4 6 3\n", "X15 320015 Y15 6399999\n",
             "X98 320098 Y98 6399999\nX99 2147483647 Y99 6399999\n"});
}

TEST_F(RoundTrip, DamagedSourceHeadingsAreReportedAtTheirCellsAndStopTheSave) {
  std::string before = server_->dumpRecords();
  Workbook book;
  ASSERT_NO_FATAL_FAILURE(Load(book));
  ASSERT_EQ(VKVerifySource(), 1) << ListedErrors();
  // A column of the first block deleted: its later headings move left.
  for (int c = 34; c < 45; ++c) ASSERT_TRUE(book.Set(L"Source", 0, c, book.Text(L"Source", 0, c + 1)));
  EXPECT_EQ(Calls(VKSourcesSave).back().result, -1);
  std::string error = TakeError();
  EXPECT_NE(error.find("heading row is damaged: Source [AI1]: Heading should be"), std::string::npos) << error;
  VKUpdateSub();
  EXPECT_EQ(VKVerifySource(), 0);
  ExpectHas(ListedErrors(),
            {"Source [AI1]: Heading should be \"Emission sub 1: Unit\", not \"Emission sub 1: Macro\""});
  EXPECT_EQ(before, server_->dumpRecords());
}

// More roads than a sheet holds, stored straight into the server's file:
// the first demonstration road under the names "Segment 1", "Segment 2" ...
void StoreManyRoads(EdbServerProcess& server, int roads) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(server.databaseFile().c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 10000);
  const std::string sql =
      "BEGIN; CREATE TEMP TABLE road AS SELECT edb_id AS edb, rtrim(substr(CAST(body AS TEXT), "
      "instr(CAST(body AS TEXT), char(10)) + 1), char(10)) || char(10) AS rest FROM records WHERE kind = 'road' "
      "AND seq = 0 AND edb_id = (SELECT e.id FROM edbs e JOIN edb_users u ON u.id = e.edb_user_id "
      "WHERE u.name = 'demo' AND e.name = 'Gothenburg2025');"
      "DELETE FROM records WHERE kind = 'road' AND edb_id = (SELECT edb FROM road);"
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " + std::to_string(roads) + ") "
      "INSERT INTO records(edb_id, kind, list, seq, body) SELECT edb, 'road', 0, i, "
      "CAST('NAME \"Segment ' || (i + 1) || '\"' || char(10) || rest AS BLOB) FROM n, road; COMMIT;";
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

TEST_F(RoundTrip, ALoadBeyondOneSheetContinuesOnTheNextAndSavesBackWhole) {
  ASSERT_NO_FATAL_FAILURE(StoreManyRoads(*server_, 60010));
  std::string before = server_->dumpRecords();
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    ASSERT_EQ(steps_.back().size(), 300u);
    EXPECT_EQ(steps_.back().back(), (Step{2, L"60000"}));
    EXPECT_EQ(book.Text(L"Road", 60000, 0), L"Segment 60000");
    EXPECT_EQ(book.Text(L"Road", 60001, 0), L"");
    // The macro adds a sheet and goes on there.
    ASSERT_NE(book.Book().AddSheet(L"Road (2)"), nullptr);
    wchar_t count[16] = L"";
    EXPECT_EQ(VKRoadsLoad(L"Road (2)", 8, count), 0) << TakeError();
    EXPECT_STREQ(count, L"60010");
    EXPECT_EQ(book.Text(L"Road (2)", 1, 0), L"Segment 60001");
    EXPECT_EQ(book.Text(L"Road (2)", 10, 0), L"Segment 60010");
    ASSERT_NO_FATAL_FAILURE(SaveRoads(L"Road"));
    ASSERT_NO_FATAL_FAILURE(SaveRoads(L"Road (2)", 5));  // the further sheet adds its roads
  }
  EXPECT_TRUE(before == server_->dumpRecords());
}

class GridRoundTrip : public TransferTest {
 protected:
  // Loads the catalogue, then the grid; the results of the calls.
  void LoadGrid(Workbook& book, const std::wstring& sheet, std::vector<int32_t>* results = nullptr) {
    ASSERT_NO_FATAL_FAILURE(LoadReferenceKinds());
    ASSERT_NO_FATAL_FAILURE(e2e::LoadGrid(book, sheet, results));
  }
  int32_t SaveGrid(const std::wstring& sheet) {
    Steps steps = Calls([&sheet](int32_t m, wchar_t* c) { return VKGridSave(m, sheet.c_str(), c); });
    return steps.back().result;
  }
  std::string Stored() { return server_->dumpRecords(); }
};

TEST_F(GridRoundTrip, EveryGridShowsItsHeaderNamesAndCellsAndComesBackUnchanged) {
  const std::vector<std::wstring> sheets = {L"Grid.FinePM2025", L"Grid.Heating2025", L"Grid.Shipping2025",
                                            L"Grid.Traffic2025"};
  EXPECT_EQ(Names(VKGridsList), sheets);
  std::string before = Stored();
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadReferenceKinds());
    std::vector<int32_t> results;
    for (const std::wstring& sheet : sheets) {
      ASSERT_NO_FATAL_FAILURE(e2e::LoadGrid(book, sheet, sheet == sheets[0] ? &results : nullptr));
    }
    // The large grid's 150,000 cells: 60,000 on the first sheet, 60,000 on
    // "(2)", the rest on "(3)".
    EXPECT_EQ(std::count(results.begin(), results.end(), 2), 1);
    EXPECT_EQ(std::count(results.begin(), results.end(), 3), 1);
    book.ExpectAll({{L"Grid.FinePM2025 (2)", 2, 0, L"305000"},  // cell 60,001: row 120 of 500
                    {L"Grid.FinePM2025 (3)", 30001, 0, L"354900"},
                    {L"Grid.FinePM2025 (3)", 30002, 0, L""},
                    {L"Grid.Heating2025", 0, 24, L"Em Fac Activity"},
                    {L"Grid.Traffic2025", 0, 24, L"NOx"},
                    {L"Grid.Traffic2025", 0, 26, L"PM10"},
                    {L"Grid.Traffic2025", 1, 2, L"30"},
                    {L"Grid.Traffic2025", 2, 0, L"315000"},
                    {L"Grid.Traffic2025", 601, 1, L"6414000"},
                    {L"Grid.Traffic2025", 602, 0, L""},
                    {L"Grid.Shipping2025", 1, 6, L"DYNAMIC"},
                    {L"Grid.Shipping2025", 3, 6, L"G\u00f6ta \u00e4lv"},
                    {L"Grid.Shipping2025", 2, 21, L"H.50.0"}});
    for (const std::wstring& sheet : sheets) {
      EXPECT_EQ(VKVerifyGrid(sheet.c_str()), 1) << Printable(sheet) << ": " << TakeError();
      EXPECT_EQ(SaveGrid(sheet), 0) << Printable(sheet) << ": " << TakeError();
    }
  }
  EXPECT_TRUE(before == Stored());
}

TEST_F(GridRoundTrip, EditsAreSavedAndLoadedAgain) {
  const std::wstring sheet = L"Grid.Shipping2025";
  std::vector<Workbook::Edit> edits = {
      {sheet.c_str(), 2, 24, L"0.125"},               // a value
      {sheet.c_str(), 3, 6, L"Nya \u00c4lvsborg"},  // a DYNAMIC item
      {sheet.c_str(), 52, 0, L"318000"},  {sheet.c_str(), 52, 1, L"6393000"}, {sheet.c_str(), 52, 6, L"New lane"},
      {sheet.c_str(), 52, 24, L"7"},      {sheet.c_str(), 52, 25, L"1.5"}};
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadGrid(book, sheet));
    edits.push_back({sheet.c_str(), 52, 15, book.Text(sheet.c_str(), 2, 15)});  // a new cell
    book.SetAll(edits);
    ASSERT_EQ(VKVerifyGrid(sheet.c_str()), 1) << TakeError();
    ASSERT_EQ(SaveGrid(sheet), 0) << TakeError();
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(LoadGrid(fresh, sheet));
  fresh.ExpectAll(edits);
  EXPECT_NE(Stored().find("318000@6393000@New lane@0@"), std::string::npos);
}

TEST_F(GridRoundTrip, ACellTheGridCannotCarryStopsTheSaveWithNothingSent) {
  const std::wstring sheet = L"Grid.Shipping2025";
  std::string before = Stored();
  Workbook book;
  ASSERT_NO_FATAL_FAILURE(LoadGrid(book, sheet));
  const struct {
    int row, column;
    const wchar_t* text;
    const char* refusal;
  } faults[] = {
      {40, 6, L"North@East", "Name cell holds an @"},
      {40, 24, L"lots", "not a number from 0 to 3.40282347e+38: lots"},
      {40, 15, L"Sunday", "Could not get index for timevar: Sunday"},
      {40, 0, L"12.5", "X cell not a whole number"},
      {1, 2, L"0", "Nx cell not a whole number from 1"},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.refusal);
    std::wstring kept = book.Text(sheet.c_str(), f.row, f.column);
    ASSERT_TRUE(book.Set(sheet.c_str(), f.row, f.column, f.text));
    EXPECT_EQ(SaveGrid(sheet), -1);
    ExpectHas(TakeError(), {f.refusal, "(sheet Grid.Shipping2025, cell "});
    ASSERT_TRUE(book.Set(sheet.c_str(), f.row, f.column, kept));
  }
  // A continuation sheet whose header differs from the first sheet's.
  ASSERT_NE(book.Book().AddSheet(L"Grid.Shipping2025 (2)"), nullptr);
  for (int c = 0; c < 24; ++c) ASSERT_TRUE(book.Set(L"Grid.Shipping2025 (2)", 1, c, book.Text(sheet.c_str(), 1, c)));
  for (int c = 24; c < 26; ++c) ASSERT_TRUE(book.Set(L"Grid.Shipping2025 (2)", 0, c, book.Text(sheet.c_str(), 0, c)));
  ASSERT_TRUE(book.Set(L"Grid.Shipping2025 (2)", 1, 6, L"One name"));
  EXPECT_EQ(SaveGrid(sheet), -1);
  ExpectHas(TakeError(), {"differs from the grid's first sheet"});
  EXPECT_TRUE(before == Stored());
}

// The server's own refusal (a header without a raster, NX 0) reaches the
// caller and leaves the stored grids as they were.
TEST_F(GridRoundTrip, AnUploadTheServerRefusesLeavesTheStoredGridAsItWas) {
  std::string before = Stored();
  GridRec header{};
  header.x = header.y = header.dx = header.dy = header.ny = 1;
  header.fuel = 4;
  header.formula = 1;
  header.fieldCount = 3;
  GridSubstances substances{};
  GridFields cell{L"1", L"1", L"2.5"};
  ASSERT_EQ(IORGridPut(GridPutStart, L"Heating2025", &header, &substances, nullptr, L"", L""), 1) << TakeError();
  ASSERT_EQ(IORGridPut(GridPutRow, L"Heating2025", &header, nullptr, &cell, nullptr, nullptr), 1);
  EXPECT_EQ(IORGridPut(GridPutFinish, L"Heating2025", nullptr, nullptr, nullptr, nullptr, nullptr), -1);
  ExpectHas(TakeError(), {"grid header: NX"});
  EXPECT_TRUE(before == Stored());
}

}  // namespace
}  // namespace e2e
