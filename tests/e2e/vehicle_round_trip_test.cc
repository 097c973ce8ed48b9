// The traffic kinds through the workbook: the round trip leaves the server's
// records as they were, ten records a call, and edits come back.
#include <gtest/gtest.h>

#include <string>

#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

class TrafficRoundTrip : public TransferTest {
 protected:
  // The resources and substances the sheets name, then the traffic kinds in
  // the order their names depend on each other: the steps of vehicles, road
  // vehicles and roadtypes.
  void LoadTraffic(Workbook& book, std::vector<Steps>* steps = nullptr) {
    for (const wchar_t* sheet : {L"Vehicle", L"Road Vehicle Def.", L"Road Vehicle", L"Roadtype"}) {
      ASSERT_NE(book.Book().AddSheet(sheet), nullptr);
    }
    ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
    ASSERT_EQ(Calls(SubLoad(0)).back().result, 0) << TakeError();
    wchar_t count[16] = L"";
    ASSERT_EQ(VKRoadVehiclesDefLoad(0, count), 1) << TakeError();
    EXPECT_STREQ(count, L"3");
    std::vector<Steps> all = {Calls(VKVehiclesLoad), Calls(VKRoadVehiclesLoad), Calls(VKRoadtypesLoad)};
    ASSERT_EQ(all.back().back().result, 0) << TakeError();
    if (steps) *steps = all;
  }
  std::vector<Steps> SaveTraffic() {
    std::vector<Steps> steps;
    for (auto save : {VKVehiclesSave, VKRoadVehiclesSave, VKRoadtypesSave}) {
      steps.push_back(Calls(save));
      EXPECT_EQ(steps.back().back().result, 0) << TakeError();
    }
    return steps;
  }
};

TEST_F(TrafficRoundTrip, LoadThenSaveLeavesTheStoredRecordsAsTheyWere) {
  std::string before = server_->dumpRecords();
  ASSERT_NE(GothenburgRecords(before).find("-- record sveh"), std::string::npos);
  {
    Workbook book;
    std::vector<Steps> loads;
    ASSERT_NO_FATAL_FAILURE(LoadTraffic(book, &loads));
    // 27 vehicles, 32 road vehicles and 17 roadtypes, ten per call.
    EXPECT_EQ(loads, (std::vector<Steps>{{{1, L"10"}, {1, L"20"}, {0, L"27"}},
                                         {{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"32"}},
                                         {{1, L"10"}, {0, L"17"}}}));
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
    // A Save counts one ahead on every call: nine rows per call.
    EXPECT_EQ(SaveTraffic(), (std::vector<Steps>{{{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"31"}},
                                                 {{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"36"}},
                                                 {{1, L"10"}, {0, L"19"}}}));
  }
  ExpectStoredAsBefore(before);
}

TEST_F(TrafficRoundTrip, EditsInTheSheetsAreSavedAndLoadedAgain) {
  // Vehicle 1, NOx (column E) at speed 5 (row 5); roadtype 1's first
  // vehicle, March; a new emission line below the last road vehicle's line.
  std::vector<Workbook::Edit> edits = {{L"Vehicle", 5, 4, L"0.04321"}, {L"Roadtype", 1, 31, L"120"}};
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadTraffic(book));
    ASSERT_EQ(book.Text(L"Vehicle", 0, 4), L"NOx");
    ASSERT_EQ(book.Text(L"Vehicle", 5, 4), L"0.05507");
    ASSERT_EQ(book.Text(L"Roadtype", 1, 0), L"Motorway 110");
    int row = 2;
    while (!book.Text(L"Road Vehicle", row, 10).empty()) ++row;
    ASSERT_EQ(book.Text(L"Road Vehicle", row, 0), L"");
    int column = 10;
    for (const wchar_t* text : {L"PM2.5", L"Car", L"Diesel", L"90kmh", L"0.004", L"0.005", L"0.006", L"0.008"}) {
      edits.push_back({L"Road Vehicle", row, column++, text});
    }
    book.SetAll(edits);
    SaveTraffic();
    if (HasFailure()) return;
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(LoadTraffic(fresh));
  fresh.ExpectAll(edits);
  std::string stored = GothenburgRecords(server_->dumpRecords());
  EXPECT_NE(stored.find("INFO \"Winter tyres\"\n3 Car Diesel 50kmh 0.06 0.078 0.108 0.156\n"
                        "4 Car Diesel 90kmh 0.004 0.005 0.006 0.008\n"),
            std::string::npos);
}

}  // namespace
}  // namespace e2e
