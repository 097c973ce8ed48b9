// The transfer exports of the reference kinds and the resources against the
// substitute server with its demonstration EDB.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/transfer_fixture.h"
#include "host/frame.h"

namespace e2e {
namespace {

using Transfers = TransferTest;

TEST_F(Transfers, LoadsMoveTenRecordsPerCall) {
  Workbook book;
  // Searchkey list 4 holds 25 emission-height classes.
  EXPECT_EQ(Calls(SubLoad(4)), (Steps{{1, L"10"}, {1, L"20"}, {0, L"25"}}));
  EXPECT_EQ(book.Text(L"Searchkey", 25, 4), L"240-250 m");

  // The 36 substances, and a list of exactly ten.
  EXPECT_EQ(Calls(SubLoad(0)).back(), (Step{0, L"36"}));
  EXPECT_EQ(book.Text(L"Substance", 3, 1), L"PM10");
  for (int row = 1; row <= 10; ++row) ASSERT_TRUE(book.Set(L"Searchkey", row, 5, L"Source " + std::to_wstring(row)));
  ASSERT_EQ(Calls(SubSave(5)).back().result, 0) << TakeError();
  EXPECT_EQ(Calls(SubLoad(5)), (Steps{{1, L"10"}, {0, L"10"}}));
  EXPECT_EQ(SubNames(5).back(), L"Source 10");
}

TEST_F(Transfers, ModeValuesAndMasks) {
  Workbook book;
  ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
  // Loads: -1 and 2 abort with the last count; a continue then has nothing
  // to continue.
  EXPECT_EQ(Once(SubLoad(1), 1), (Step{1, L"10"}));
  EXPECT_EQ(Once(SubLoad(1), -1), (Step{0, L"10"}));
  ClearErrorText();
  EXPECT_EQ(Once(SubLoad(1), 0), (Step{-1, L"10"}));
  EXPECT_NE(TakeError().find("no transfer in progress"), std::string::npos);
  EXPECT_EQ(Once(TimevarsLoad(0), 1), (Step{1, L"10"}));
  EXPECT_EQ(Once(TimevarsLoad(0), 2), (Step{0, L"10"}));
  EXPECT_EQ(Once(TimevarsLoad(0), 0).result, -1);

  // Saves: 3 and 7 start (with the flag), 2 continues, 9 and -1 abort.
  ASSERT_EQ(Calls(TimevarsLoad(0)).back(), (Step{0, L"28"}));
  std::string before = server_->dumpRecords();
  EXPECT_EQ(Once(TimevarsSave(0), 3), (Step{1, L"10"}));
  EXPECT_EQ(Once(TimevarsSave(0), 2), (Step{1, L"20"}));
  EXPECT_EQ(Once(TimevarsSave(0), 9), (Step{0, L"20"}));
  EXPECT_EQ(Once(TimevarsSave(0), 0).result, -1);
  EXPECT_EQ(server_->dumpRecords(), before) << "an aborted save reached the server";
  EXPECT_EQ(Once(TimevarsSave(0), 7), (Step{1, L"10"}));
  EXPECT_EQ(Once(TimevarsSave(0), -1), (Step{0, L"10"}));
  EXPECT_EQ(server_->dumpRecords(), before);
  EXPECT_EQ(Calls(TimevarsSave(0), 7).back(), (Step{0, L"32"}))
      << TakeError();
  EXPECT_EQ(server_->dumpRecords(), before) << "the same records saved again";
}

TEST_F(Transfers, AbortMidTransferThenAFreshTransferOfTheSameKind) {
  Workbook book;
  ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
  ASSERT_EQ(Calls(SubLoad(0)).back().result, 0);
  EXPECT_EQ(Once(VKSubgrpsLoad, 1), (Step{1, L"10"}));
  EXPECT_EQ(Once(VKSubgrpsLoad, 1), (Step{1, L"10"}));  // started again over the open one
  EXPECT_EQ(Once(VKSubgrpsLoad, 0), (Step{1, L"20"}));
  EXPECT_EQ(Once(VKSubgrpsLoad, -1), (Step{0, L"20"}));
  EXPECT_EQ(Calls(VKSubgrpsLoad), (Steps{{1, L"10"}, {1, L"20"}, {1, L"30"}, {0, L"31"}}));
  EXPECT_EQ(Names(VKSubgrpsList).size(), 31u);
  EXPECT_EQ(book.Text(L"Emission factor", 31, 0), L"Cooling systems");

  std::string before = server_->dumpRecords();
  EXPECT_EQ(Once(VKSubgrpsSave, 1), (Step{1, L"10"}));
  EXPECT_EQ(Once(VKSubgrpsSave, 8), (Step{0, L"10"}));
  EXPECT_EQ(Calls(VKSubgrpsSave).back(), (Step{0, L"35"})) << TakeError();
  EXPECT_EQ(server_->dumpRecords(), before);
}

TEST_F(Transfers, RefusedSavesLeaveTheServerUnchanged) {
  Workbook book;
  ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
  ASSERT_EQ(Calls(SubLoad(0)).back().result, 0);
  ASSERT_EQ(Calls(VKEmfacsLoad).back().result, 0);
  std::string before = server_->dumpRecords();

  // Two emission factors with the same index: the server refuses the upload.
  ASSERT_TRUE(book.Set(L"Emission function", 2, 1, L"1"));
  EXPECT_EQ(Calls(VKEmfacsSave).back().result, -1);
  std::string error = TakeError();
  EXPECT_NE(error.find("index 1 is also that of record 1"), std::string::npos) << error;
  EXPECT_EQ(server_->dumpRecords(), before);

  // A row the workbook cannot read stops the save before it is sent.
  ASSERT_TRUE(book.Set(L"Emission function", 2, 1, L"2"));
  ASSERT_TRUE(book.Set(L"Emission function", 15, 2, L"Unobtainium"));
  EXPECT_EQ(Calls(VKEmfacsSave).back(), (Step{-1, L"16"}));
  EXPECT_NE(TakeError().find("Could not get index for substance: Unobtainium (sheet Emission function, cell C16"),
            std::string::npos);
  EXPECT_EQ(server_->dumpRecords(), before);

  // The substances themselves are the server's.
  EXPECT_EQ(Calls(SubSave(0)).back().result, -1);
  EXPECT_EQ(TakeError(), "Not allowed to write substances");
  EXPECT_EQ(server_->dumpRecords(), before);
}

}  // namespace
}  // namespace e2e
