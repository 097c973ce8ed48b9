// The traffic kinds through the workbook: vehicles, the road-vehicle
// definition, road vehicles and roadtypes loaded from the demonstration EDB
// and saved back leave the server's stored records byte for byte as they
// were, move in batches of ten, and carry a user's edits.
#include <gtest/gtest.h>

#include <string>

#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

const wchar_t* const kTrafficSheets[] = {L"Vehicle", L"Road Vehicle Def.", L"Road Vehicle", L"Roadtype"};

class TrafficRoundTrip : public TransferTest {
 protected:
  // The resources and substances the sheets name, then the traffic kinds in
  // the order their names depend on each other.
  Steps LoadTraffic(Workbook& book, Steps* roadVehicles = nullptr, Steps* roadtypes = nullptr) {
    for (const wchar_t* sheet : kTrafficSheets) EXPECT_NE(book.Book().AddSheet(sheet), nullptr);
    EXPECT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
    EXPECT_EQ(Calls([](int32_t m, wchar_t* c) { return VKSubLoad(m, 0, c); }).back().result, 0) << TakeError();
    wchar_t count[16] = L"";
    EXPECT_EQ(VKRoadVehiclesDefLoad(0, count), 1) << TakeError();
    EXPECT_STREQ(count, L"3");
    Steps vehicles = Calls(VKVehiclesLoad);
    Steps rv = Calls(VKRoadVehiclesLoad);
    Steps rt = Calls(VKRoadtypesLoad);
    EXPECT_EQ(rt.back().result, 0) << TakeError();
    if (roadVehicles) *roadVehicles = rv;
    if (roadtypes) *roadtypes = rt;
    return vehicles;
  }

  void SaveTraffic(Steps* vehicles = nullptr, Steps* roadVehicles = nullptr, Steps* roadtypes = nullptr) {
    Steps v = Calls(VKVehiclesSave);
    ASSERT_EQ(v.back().result, 0) << TakeError();
    Steps rv = Calls(VKRoadVehiclesSave);
    ASSERT_EQ(rv.back().result, 0) << TakeError();
    Steps rt = Calls(VKRoadtypesSave);
    ASSERT_EQ(rt.back().result, 0) << TakeError();
    if (vehicles) *vehicles = v;
    if (roadVehicles) *roadVehicles = rv;
    if (roadtypes) *roadtypes = rt;
  }
};

TEST_F(TrafficRoundTrip, LoadThenSaveLeavesTheStoredRecordsAsTheyWere) {
  std::string before = server_->dumpRecords();
  ASSERT_NE(GothenburgRecords(before).find("-- record sveh"), std::string::npos);
  Steps vehicles, roadVehicles, roadtypes;
  {
    Workbook book;
    vehicles = LoadTraffic(book, &roadVehicles, &roadtypes);
    if (HasFailure()) return;
    // 27 vehicles, 32 road vehicles and 17 roadtypes, ten per call.
    EXPECT_EQ(vehicles, (Steps{{1, L"10"}, {1, L"20"}, {0, L"27"}}));
    EXPECT_EQ(roadVehicles, (Steps{{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"32"}}));
    EXPECT_EQ(roadtypes, (Steps{{1, L"10"}, {0, L"17"}}));
    EXPECT_EQ(Names(VKVehiclesList).size(), 27u);
    EXPECT_EQ(Names(VKRoadtypesList).size(), 17u);
    // The definition's dimensions and classes in the catalogue.
    wchar_t text[256] = L"";
    EXPECT_EQ(VKRoadVehiclesDefDim(text), 1);
    EXPECT_STREQ(text, L"3");
    EXPECT_EQ(VKRoadVehiclesDefDimText(1, text), 1);
    EXPECT_STREQ(text, L"Fuel");
    EXPECT_EQ(VKRoadVehiclesDefDimText(3, text), -1);
    TakeError();
    EXPECT_EQ(VKRoadVehiclesDefList(1, 1, text), 1);
    EXPECT_STREQ(text, L"Biogas");  // by name

    SaveTraffic(&vehicles, &roadVehicles, &roadtypes);
    if (HasFatalFailure()) return;
    // A Save counts one ahead on every call: nine rows per call.
    EXPECT_EQ(vehicles, (Steps{{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"31"}}));
    EXPECT_EQ(roadVehicles, (Steps{{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"36"}}));
    EXPECT_EQ(roadtypes, (Steps{{1, L"10"}, {0, L"19"}}));
  }
  std::string after = server_->dumpRecords();
  EXPECT_EQ(GothenburgRecords(before), GothenburgRecords(after));
  EXPECT_TRUE(before == after) << "another EDB changed";
}

TEST_F(TrafficRoundTrip, EditsInTheSheetsAreSavedAndLoadedAgain) {
  int lastRow = 0;
  {
    Workbook book;
    LoadTraffic(book);
    if (HasFailure()) return;
    // Vehicle 1, NOx (column E) at speed 5 (row 5).
    ASSERT_EQ(book.Text(L"Vehicle", 0, 4), L"NOx");
    ASSERT_EQ(book.Text(L"Vehicle", 5, 4), L"0.05507");
    ASSERT_TRUE(book.Set(L"Vehicle", 5, 4, L"0.04321"));
    // A new emission line below the last road vehicle's last line.
    for (lastRow = 1; !book.Text(L"Road Vehicle", lastRow + 1, 10).empty(); ++lastRow) {
    }
    ASSERT_EQ(book.Text(L"Road Vehicle", lastRow + 1, 0), L"");
    const wchar_t* line[] = {L"PM2.5", L"Car", L"Diesel", L"90kmh", L"0.004", L"0.005", L"0.006", L"0.008"};
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(book.Set(L"Road Vehicle", lastRow + 1, 10 + i, line[i]));
    // Roadtype 1's first vehicle, March.
    ASSERT_EQ(book.Text(L"Roadtype", 1, 0), L"Motorway 110");
    ASSERT_TRUE(book.Set(L"Roadtype", 1, 31, L"120"));
    SaveTraffic();
    if (HasFatalFailure()) return;
  }
  Workbook fresh;
  LoadTraffic(fresh);
  if (HasFailure()) return;
  EXPECT_EQ(fresh.Text(L"Vehicle", 5, 4), L"0.04321");
  EXPECT_EQ(fresh.Text(L"Road Vehicle", lastRow + 1, 10), L"PM2.5");
  EXPECT_EQ(fresh.Text(L"Road Vehicle", lastRow + 1, 17), L"0.008");
  EXPECT_EQ(fresh.Text(L"Roadtype", 1, 31), L"120");
  std::string stored = GothenburgRecords(server_->dumpRecords());
  EXPECT_NE(stored.find("INFO \"Winter tyres\"\n3 Car Diesel 50kmh 0.06 0.078 0.108 0.156\n"
                        "4 Car Diesel 90kmh 0.004 0.005 0.006 0.008\n"),
            std::string::npos);
}

}  // namespace
}  // namespace e2e
