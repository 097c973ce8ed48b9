// Companies and facilities through the workbook: the round trip leaves the
// server's records as they were, and edits come back in a fresh Load.
#include <gtest/gtest.h>

#include <string>

#include "e2e/transfer_fixture.h"

namespace e2e {
namespace {

class CompanyRoundTrip : public TransferTest {
 protected:
  void Load(Workbook& book) {
    ASSERT_NE(book.Book().AddSheet(L"Company"), nullptr);
    ASSERT_NE(book.Book().AddSheet(L"Facility"), nullptr);
    companies_ = Calls(VKCompaniesLoad);
    facilities_ = Calls(VKFacilitiesLoad);
    ASSERT_EQ(facilities_.back().result, 0) << TakeError();
  }
  void Save(int32_t facilityMode = 1) {
    ASSERT_EQ(VKVerifyCompany(), 1) << TakeError();
    ASSERT_EQ(VKVerifyFacility(), 1) << TakeError();
    ASSERT_EQ(Calls(VKCompaniesSave).back().result, 0) << TakeError();
    ASSERT_EQ(Calls(VKFacilitiesSave, facilityMode).back().result, 0) << TakeError();
  }
  Steps companies_, facilities_;
};

TEST_F(CompanyRoundTrip, LoadThenSaveLeavesTheStoredRecordsAsTheyWere) {
  std::string before = server_->dumpRecords();
  ASSERT_NE(GothenburgRecords(before).find("ID \"556001-0001\""), std::string::npos);
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    EXPECT_EQ(companies_, (Steps{{1, L"10"}, {1, L"20"}, {0, L"23"}}));
    EXPECT_EQ(facilities_.back().count, L"51");
    EXPECT_EQ(Names(VKCompaniesList).size(), 23u);
    EXPECT_EQ(Names(VKFacilitiesList).size(), 51u);
    // Latin-1 letters, the facility's company by name, a two-line ALOB.
    EXPECT_EQ(book.Text(L"Company", 2, 0), L"G\u00f6teborgs Raffinaderi AB");
    EXPECT_EQ(book.Text(L"Facility", 1, 3), L"\u00c5kesson Bruk AB");
    EXPECT_EQ(book.Text(L"Company", 1, 8), L"EMPLOYEES=47\nCONTACT=Ms Sm\u00e5land");
    ASSERT_NO_FATAL_FAILURE(Save(5));  // mode 1 + 4: the facilities' upload with TransferFlags bit 1
  }
  ExpectStoredAsBefore(before);
}

TEST_F(CompanyRoundTrip, EditsInTheSheetsAreSavedAndLoadedAgain) {
  const std::vector<Workbook::Edit> edits = {
      {L"Company", 3, 0, L"V\u00e4stra Energi AB"},  // was "V\u00e4stra Kraftv\u00e4rme AB"
      {L"Facility", 2, 1, L"1280000"},                // was 1271468
      {L"Company", 2, 8, L"ISO14001=yes\n\nNEW=\u00e9t\u00e9"},
  };
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(Load(book));
    ASSERT_EQ(book.Text(L"Company", 3, 0), L"V\u00e4stra Kraftv\u00e4rme AB");
    book.SetAll(edits);
    ASSERT_NO_FATAL_FAILURE(Save());
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(Load(fresh));
  fresh.ExpectAll(edits);
  // The facilities of the renamed company name it by its new name.
  EXPECT_EQ(fresh.Text(L"Facility", 5, 3), L"V\u00e4stra Energi AB");
  std::string stored = GothenburgRecords(server_->dumpRecords());
  EXPECT_NE(stored.find("ALOB 3\nISO14001=yes\n\nNEW=\xe9t\xe9\n"), std::string::npos);
}

}  // namespace
}  // namespace e2e
