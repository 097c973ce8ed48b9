// Sources through the workbook: the round trip leaves the server's records
// byte for byte as they were, and edits come back in a fresh Load.
#include <gtest/gtest.h>

#include <string>

#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

class SourceRoundTrip : public TransferTest {
 protected:
  void Load(Workbook& book) {
    LoadAll();
    for (const wchar_t* sheet : {L"Company", L"Facility", L"Source"}) EXPECT_NE(book.Book().AddSheet(sheet), nullptr);
    ASSERT_EQ(Calls(VKCompaniesLoad).back().result, 0) << TakeError();
    ASSERT_EQ(Calls(VKFacilitiesLoad).back().result, 0) << TakeError();
    sources_ = Calls(VKSourcesLoad);
    ASSERT_EQ(sources_.back().result, 0) << TakeError();
    // Empties the issue lists of earlier tests (and stops at the traffic
    // sheets, which this workbook does not have).
    VKUpdateSub();
    TakeError();
  }
  void Save(int32_t mode = 1) {
    ASSERT_EQ(VKVerifySource(), 1) << ListedErrors() << TakeError();
    ASSERT_EQ(Calls(VKSourcesSave, mode).back().result, 0) << TakeError();
  }
  // The column of the heading that begins with text, -1 when none does.
  int Column(Workbook& book, const std::wstring& text) {
    for (int c = 31; c < 2000; ++c) {
      std::wstring cell = book.Text(L"Source", 0, c);
      if (cell.empty()) return -1;
      if (cell.compare(0, text.size(), text) == 0) return c;
    }
    return -1;
  }
  // The first column of the first filled substance block of row r (-1: none).
  int FilledSubBlock(Workbook& book, int r) {
    for (int c = 31; book.Text(L"Source", 0, c).compare(0, 13, L"Emission sub ") == 0; c += 7) {
      if (!book.Text(L"Source", r, c + 1).empty()) return c;
    }
    return -1;
  }
  // Moves every cell from column `from` on `by` columns to the right, rows 0 .. rows.
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
  Steps sources_;
};

TEST_F(SourceRoundTrip, LoadThenSaveLeavesTheStoredRecordsAsTheyWere) {
  std::string before = server_->dumpRecords();
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    EXPECT_EQ(sources_.back().count, L"240");
    EXPECT_EQ(book.Text(L"Source", 0, 31), L"Emission sub 1: NOx");
    EXPECT_EQ(book.Text(L"Source", 0, 37), L"Emission sub 1: ALOB");
    EXPECT_NE(Column(book, L"Emission fac 1: "), -1);
    EXPECT_NE(Column(book, L"Emission func 1: Var 1"), -1);
    ASSERT_NO_FATAL_FAILURE(Save(5));  // mode 1 + 4: the upload with TransferFlags bit 1
  }
  ExpectStoredAsBefore(before);
}

TEST_F(SourceRoundTrip, EditsInTheSheetAreSavedAndLoadedAgain) {
  std::wstring facility;
  int changed = -1;
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
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
    std::wstring timevar = book.Text(L"Source", 1, filled + 1);
    ASSERT_TRUE(book.Set(L"Source", 1, groups + 1, timevar));
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
    ASSERT_NO_FATAL_FAILURE(Save());
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(Load(fresh));
  int sf6 = Column(fresh, L"Emission sub ");
  while (sf6 != -1 && fresh.Text(L"Source", 0, sf6).find(L": SF6") == std::wstring::npos) sf6 += 7;
  ASSERT_NE(fresh.Text(L"Source", 0, sf6), L"");
  EXPECT_EQ(fresh.Text(L"Source", 1, sf6 + 2), L"0.125");
  EXPECT_EQ(fresh.Text(L"Source", 2, changed + 2), L"42.75");
  EXPECT_EQ(fresh.Text(L"Source", 3, 3), L"");
  EXPECT_EQ(fresh.Text(L"Source", 3, 13), L"1.5");
  EXPECT_EQ(fresh.Text(L"Source", 4, 5), facility);
}

TEST_F(SourceRoundTrip, DamagedHeadingsAreReportedAtTheirCellsAndStopTheSave) {
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

}  // namespace
}  // namespace e2e
