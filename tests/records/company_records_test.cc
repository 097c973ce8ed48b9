// Company and facility records: reads, attribute lines by count, saves and broken replies.
#include <cwchar>
#include <string>

#include "record_fixture.h"
#include "records/company.h"
#include "records/facility.h"

namespace records_test {
namespace {

using CompanyRecordsTest = RecordTest;

const char* const kCompany =
    "ID \"556-1\"\nNAME \"Bruk\"\nINFO \"i\"\nINFO2 \"i2\"\nADDRESS \"a\"\nPOSTADDRESS \"p\"\n"
    "INFOSUPPLIER \"s\"\nMISC \"m\"\n";
const char* const kFacility =
    "X 1270000\nY 6160000\nNAME \"Main plant\"\nCOMPANY \"556-1\"\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\n"
    "POSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\n";

TEST_F(CompanyRecordsTest, CompanyWithTwoAlobLinesReadsAndWritesBackTheSame) {
  // The second ALOB line is empty and the third looks like a keyword line:
  // both are attribute text, taken by the count.
  Reply(std::string(kCompany) + "ALOB 3\nA=1\n\nNAME \"x\"\n\n" + "ID \"2\"\nNAME\nINFO \"\"\nINFO2 \"\"\n"
        "ADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\nALOB 0\n\n");
  CompanyRec r;
  Alob alob;
  ASSERT_EQ(IORCompanyGetRec(1, 0, &r, &alob), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&company&0");
  EXPECT_STREQ(r.id, L"556-1");
  EXPECT_STREQ(r.misc, L"m");
  EXPECT_STREQ(alob.Text(), L"A=1\n\nNAME \"x\"");
  CompanyRec second;
  Alob none;
  ASSERT_EQ(IORCompanyGetRec(0, 0, &second, &none), 1) << Error();  // the keyword alone: an empty name
  EXPECT_STREQ(second.name, L"");
  EXPECT_STREQ(none.Text(), L"");
  EXPECT_EQ(IORCompanyGetRec(0, 0, &second, &none), 0);
  EXPECT_EQ(Posted([&](int32_t op) { return IORCompanyPutRec(op, &r, &alob); }),
            SaveHeader("company", -1, "0", "0") + kCompany + "ALOB 3\nA=1\n\nNAME \"x\"\n\nEOF\n");
}

TEST_F(CompanyRecordsTest, SavePostsTheRecordsAsTheyWereRead) {
  FacilityRec f{};
  f.x = 4294967295u;
  f.y = 1;
  wcscpy(f.name, std::wstring(47, L'n').c_str());  // a name of 47 characters is written whole
  wcscpy(f.company, L"556-1");
  Alob alob;
  AlobConcatenate(&alob, L"FUEL=wood", L"");
  EXPECT_EQ(Posted([&](int32_t op) { return IORFacilityPutRec(op, &f, &alob); }, RecordStartFlag1),
            SaveHeader("facility", -1, "1", "0") + "X 4294967295\nY 1\nNAME \"" + std::string(47, 'n') +
                "\"\nCOMPANY \"556-1\"\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\n"
                "MISC \"\"\nALOB 1\nFUEL=wood\n\nEOF\n");
}

TEST_F(CompanyRecordsTest, MalformedRecordsFailWithTheirMessages) {
  struct Case {
    bool facility;
    std::string reply;
    std::string message;
  };
  const std::string company(kCompany);
  const std::string facility(kFacility);
  const Case cases[] = {
      {false, "ID \"\"\n", "Company: Error in ID: ID \"\"\n"},
      {false, company, "Company (Bruk): Out of data scanning ALOB\n"},
      // Texts the record cannot hold whole are refused, never cut.
      {false, "ID \"" + std::string(32, 'i') + "\"\n",
       "Company (" + std::string(31, 'i') + "): ID is longer than 31 characters, which the record cannot hold\n"},
      {true, "X 1\nY 2\nNAME \"" + std::string(48, 'n') + "\"\n",
       "Facility (1,2): NAME is longer than 47 characters, which the record cannot hold\n"},
      {false, company + "ALOB x\n", "Company (Bruk): ALOB must start with label ALOB\n"},
      {false, company + "ALOB 2\nA\n" + std::string(255, 'a') + "\n",
       "Company (Bruk): ALOB error:  " + std::string(255, 'a') + "\n"},
      {false, company + "ALOB 1\nA\n", "Company (Bruk): Out of data scanning empty line\n"},
      {true, "X 12\n", "Facility (12,?\?): Out of data scanning Y1\n"},
      {true, "X -3\n", "Facility: Error in X1: X -3\n"},
      {true, "X 12\nY 4294967296\n", "Facility (12,?\?): Error in Y1: Y 4294967296\n"},
      {true, facility + "ALOB 0\n", "Facility (Main plant): Out of data scanning empty line\n"},
  };
  CompanyRec company_record;
  FacilityRec facility_record;
  Alob alob;
  for (const Case& c : cases) {
    ExpectRefused(c.reply, [&] { return c.facility ? IORFacilityGetRec(1, 0, &facility_record, &alob)
                                                   : IORCompanyGetRec(1, 0, &company_record, &alob); }, c.message);
  }
}

}  // namespace
}  // namespace records_test
