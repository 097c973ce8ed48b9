// Roads through the workbook: the round trip leaves the server's records as
// they were, edits come back, and more roads than a sheet holds continue.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

class RoadRoundTrip : public TransferTest {
 protected:
  // Everything the road sheet names, then the roads into "Road".
  void Load(Workbook& book) {
    for (const wchar_t* sheet : {L"Vehicle", L"Road Vehicle Def.", L"Road Vehicle", L"Roadtype", L"Road"}) {
      EXPECT_NE(book.Book().AddSheet(sheet), nullptr);
    }
    LoadAll();
    wchar_t count[16] = L"";
    ASSERT_EQ(VKRoadVehiclesDefLoad(0, count), 1) << TakeError();
    ASSERT_EQ(Calls(VKVehiclesLoad).back().result, 0) << TakeError();
    ASSERT_EQ(Calls(VKRoadVehiclesLoad).back().result, 0) << TakeError();
    ASSERT_EQ(Calls(VKRoadtypesLoad).back().result, 0) << TakeError();
    roads_ = Calls([](int32_t m, wchar_t* c) { return VKRoadsLoad(L"Road", m, c); });
    ASSERT_GE(roads_.back().result, 0) << TakeError();
  }
  void Save(const wchar_t* sheet, int32_t mode = 1) {
    ASSERT_EQ(VKVerifyRoad(sheet), 1) << TakeError() << ListedErrors();
    ASSERT_EQ(Calls([sheet](int32_t m, wchar_t* c) { return VKRoadsSave(sheet, m, c); }, mode).back().result, 0)
        << TakeError();
  }
  Steps roads_;
};

TEST_F(RoadRoundTrip, LoadThenSaveLeavesTheStoredRoadsAsTheyWere) {
  std::string before = server_->dumpRecords();
  ASSERT_NE(GothenburgRecords(before).find("-- record road"), std::string::npos);
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    EXPECT_EQ(roads_, (Steps{{1, L"200"}, {1, L"400"}, {0, L"520"}}));
    // A road on a roadtype, one with explicit factors and class speeds, one
    // with direct emissions, Latin-1 letters and the polyline.
    book.ExpectAll({{L"Road", 1, 0, L"G\u00f6tgatan 1"}, {L"Road", 1, 8, L"Motorway 90"}, {L"Road", 3, 35, L"Bus"},
                    {L"Road", 3, 9, L"110kmh"}, {L"Road", 17, 38, L"EMIS"}, {L"Road", 4, 0, L"Sk\u00e5negatan 4"},
                    {L"Road", 1, 38, L"TRAFFIC"}});
    ASSERT_NO_FATAL_FAILURE(Save(L"Road"));
  }
  ExpectStoredAsBefore(before);
}

TEST_F(RoadRoundTrip, EditsInTheSheetAreSavedAndLoadedAgain) {
  // A changed vehicle count; the roadtype swapped for explicit emission
  // factors (road 1 has no further speeds).
  const std::vector<Workbook::Edit> edits = {{L"Road", 1, 3, L"1234567"}, {L"Road", 1, 8, L""},
                                             {L"Road", 1, 35, L"Bus"},    {L"Road", 1, 36, L"Biogas"},
                                             {L"Road", 1, 37, L"70kmh"}};
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    // Road 1 (row 1): 2 + 13 % 49 = 15 points after its COORD marker.
    int coord = 0;
    while (coord < 200 && book.Text(L"Road", 1, coord) != L"COORD") ++coord;
    ASSERT_LT(coord, 200);
    int end = coord + 1;
    while (!book.Text(L"Road", 1, end).empty()) ++end;
    ASSERT_EQ(end - coord - 1, 30);
    // New points up to X99: the row now reaches past the first 160 columns.
    for (int p = 15; p < 100; ++p, end += 2) {
      ASSERT_TRUE(book.Set(L"Road", 1, end, p == 99 ? L"2147483647" : std::to_wstring(320000 + p)));
      ASSERT_TRUE(book.Set(L"Road", 1, end + 1, L"6399999"));
    }
    book.SetAll(edits);
    ASSERT_NO_FATAL_FAILURE(Save(L"Road"));
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(Load(fresh));
  fresh.ExpectAll(edits);
  std::string stored = GothenburgRecords(server_->dumpRecords());
  EXPECT_NE(stored.find("ROADTYPE 0\nEMIFAC 4 6 3\n"), std::string::npos);
  EXPECT_NE(stored.find("X15 320015 Y15 6399999\n"), std::string::npos);
  EXPECT_NE(stored.find("X98 320098 Y98 6399999\nX99 2147483647 Y99 6399999\n"), std::string::npos);
}

// More roads than a sheet holds, stored straight into the server's file.
void StoreManyRoads(EdbServerProcess& server, int roads) {
  std::string edb = server.query(
      "SELECT e.id FROM edbs e JOIN edb_users u ON u.id = e.edb_user_id WHERE u.name = 'demo' AND e.name = "
      "'Gothenburg2025'");
  std::string first = server.query("SELECT body FROM records WHERE kind = 'road' AND edb_id = " + edb + " AND seq = 0");
  ASSERT_FALSE(first.empty());
  std::string rest = first.substr(first.find('\n') + 1);
  while (!rest.empty() && rest.back() == '\n') rest.pop_back();
  rest += "\n";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(server.databaseFile().c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 10000);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_exec(db, ("DELETE FROM records WHERE kind = 'road' AND edb_id = " + edb).c_str(), nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO records(edb_id, kind, list, seq, body) VALUES(?, 'road', 0, ?, ?)", -1, &insert,
                     nullptr);
  for (int i = 0; i < roads; ++i) {
    std::string body = "NAME \"Segment " + std::to_string(i + 1) + "\"\n" + rest;
    sqlite3_bind_int64(insert, 1, std::stoll(edb));
    sqlite3_bind_int(insert, 2, i);
    sqlite3_bind_blob(insert, 3, body.data(), static_cast<int>(body.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  EXPECT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST_F(RoadRoundTrip, ALoadBeyondOneSheetContinuesOnTheNextAndSavesBackWhole) {
  ASSERT_NO_FATAL_FAILURE(StoreManyRoads(*server_, 60010));
  std::string before = server_->dumpRecords();
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    ASSERT_EQ(roads_.size(), 300u);
    EXPECT_EQ(roads_.back(), (Step{2, L"60000"}));
    EXPECT_EQ(book.Text(L"Road", 60000, 0), L"Segment 60000");
    EXPECT_EQ(book.Text(L"Road", 60001, 0), L"");
    // The macro adds a sheet and goes on there.
    ASSERT_NE(book.Book().AddSheet(L"Road (2)"), nullptr);
    wchar_t count[16] = L"";
    EXPECT_EQ(VKRoadsLoad(L"Road (2)", 8, count), 0) << TakeError();
    EXPECT_STREQ(count, L"60010");
    EXPECT_EQ(book.Text(L"Road (2)", 1, 0), L"Segment 60001");
    EXPECT_EQ(book.Text(L"Road (2)", 10, 0), L"Segment 60010");
    ASSERT_NO_FATAL_FAILURE(Save(L"Road"));
    ASSERT_NO_FATAL_FAILURE(Save(L"Road (2)", 5));  // the further sheet adds its roads
  }
  EXPECT_TRUE(before == server_->dumpRecords());
}

}  // namespace
}  // namespace e2e
