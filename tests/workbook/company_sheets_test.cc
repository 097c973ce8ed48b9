// The "Company" and "Facility" sheets: verifiers, the Save readers, missing sheets.
#include <cwchar>
#include <string>

#include "catalogue/catalogue.h"
#include "sheet_fixture.h"
#include "workbook/company_sheet.h"

namespace {

class CompanySheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    companies.Add(L"Bruk AB", L"556-1");
    companies.Add(L"Kemi AB", L"556-2");
  }
  CRecordListKey companies;
};

TEST_F(CompanySheetTest, CompanyVerifierFindings) {
  Put(L"Company", 1, 0, {std::wstring(47, L'n'), L"556-1", L"i", std::wstring(63, L'x')});  // at the limits
  Put(L"Company", 2, 0, {std::wstring(48, L'n'), L"556-2", L"", std::wstring(64, L'x')});
  Put(L"Company", 3, 0, {L"C", L"556-1", L"say \"hi\"", L"", L"Road\tX", L"", L"", std::wstring(48, L'm')});
  Put(L"Company", 4, 0, {L"D", L"", L"", L"", L"", L"", L"", L"", std::wstring(255, L'a') + L"\nb"});
  Put(L"Company", 5, 0, {L"E", std::wstring(32, L'i'), L"", L"", L"", L"", L"", L"", L"ok\r\nno"});
  Put(L"Company", 6, 0, {L"", L"", L"x", L"", L"", L"y"});  // ends the data
  CExcelVerifyCompany verifier;
  ASSERT_EQ(verifier.Init(errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Company [A3]: To long string for Name. Max is 47",
                               L"Company [D3]: To long string for Info2. Max is 63",
                               L"Company [B4]: Duplicate company ID",
                               L"Company [C4]: Info cell holds a double quote, which a quoted field cannot carry",
                               L"Company [E4]: Address cell holds a control character (code 9), which a record "
                               L"cannot carry",
                               L"Company [H4]: To long string for Misc. Max is 47",
                               L"Company [B5]: Missing company ID",
                               L"Company [I5]: To long string for ALOB line 1. Max is 254",
                               L"Company [B6]: To long string for Company ID. Max is 31",
                               L"Company [I6]: ALOB line 1 cell holds a line break, which a record cannot carry",
                           }));
  EXPECT_EQ(Lines(warnings), (Lines_{L"Company [C7]: Missing name or garbage data in row.",
                                     L"Company [F7]: Missing name or garbage data in row."}));
}

TEST_F(CompanySheetTest, FacilityVerifierFindings) {
  Put(L"Facility", 1, 0, {L"Plant", L"1", L"2147483647", L"Bruk AB"});
  Put(L"Facility", 2, 0, {L"Depot", L"0", L"12abc", L"Nobody AB"});
  Put(L"Facility", 3, 0, {std::wstring(48, L'n'), L"1", L"2147483647", L"", L"", std::wstring(64, L'x')});
  Put(L"Facility", 4, 0, {L"Stack \u20ac"});
  Sheet(L"Facility")->Set(4, 1, sheethost::Cell::Bool(true));
  CExcelVerifyFacility verifier;
  ASSERT_EQ(verifier.Init(companies, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Facility [B3]: X1 cell value out of range [1,2147483647]",
                               L"Facility [C3]: Y1 cell not a number",
                               L"Facility [D3]: Could not get key for company.",
                               L"Facility [A4]: To long string for Name. Max is 47",
                               L"Facility [B4]: Duplicate facility: another row has X 1 and Y 2147483647",
                               L"Facility [F4]: To long string for Info2. Max is 63",
                               L"Facility [B5]: Cell holds an error or logical value, not a text or number",
                               L"Facility [A5]: Name cell holds the character U+20AC, which has no ISO 8859-1 form",
                               L"Facility [C5]: Empty Y1 cell",
                           }));
}

TEST_F(CompanySheetTest, ReadersGiveRecordsAndRefuseUnknownCompanies) {
  // (Facilities with their coordinates, company and attribute lines read for
  // a Save: tests/e2e RoundTrip.LoadThenSaveLeavesTheServerAsItWas.) A facility without a company:
  Put(L"Facility", 1, 0, {L"Depot", L"5", L"6"});
  Put(L"Facility", 2, 0, {L"Yard", L"7", L"8", L"Nobody AB"});
  CExcelReadFacility reader;
  ASSERT_EQ(reader.Init(companies), 1) << Error();
  FacilityRec record;
  Alob alob;
  ASSERT_EQ(reader.Read(&record, &alob), 1) << Error();
  EXPECT_STREQ(record.company, L"");
  EXPECT_STREQ(alob.Text(), L"");
  EXPECT_EQ(reader.Read(&record, &alob), -1);
  EXPECT_EQ(Error(), "Could not get key for company: Nobody AB (sheet Facility, cell D3, row 3).");

  Put(L"Company", 1, 0, {L"Bruk AB", L"556-1", L"", L"", L"", L"", L"", L"", L"x\ry"});
  CExcelReadCompany companyReader;
  ASSERT_EQ(companyReader.Init(), 1) << Error();
  CompanyRec company;
  EXPECT_EQ(companyReader.Read(&company, &alob), -1);
  EXPECT_EQ(Error(), "ALOB line 1 cell holds a line break, which a record cannot carry (sheet Company, cell I2, "
                     "row 2).");
}

TEST_F(CompanySheetTest, MissingSheetsAreNothingToVerify) {
  ErrorList.Clear();
  EXPECT_EQ(VKVerifyCompany(), 1) << Error();
  EXPECT_EQ(VKVerifyFacility(), 1) << Error();
  EXPECT_EQ(ErrorList.Count(), 0);
}

}  // namespace
