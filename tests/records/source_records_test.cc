// Source records: the listing header, every block kind read and written back, refusals.
#include <string>

#include "record_fixture.h"
#include "records/source.h"

namespace records_test {
namespace {

using SourceRecordsTest = RecordTest;

std::string Fixed(const std::string& x2y2, int segments, const std::string& build) {
  return "X1 1270001\nY1 6160001\n" + x2y2 + "PX 1270000\nPY 6160000\nNAME \"Boiler 1\"\nINFO \"i\"\nINFO2 \"\"\n"
         "DATE 250115\nCHANGED 000000\nCHIMNEY HEIGHT 45\nGASTEMPERATURE 120\nGAS FLOW 30\nSEARCHKEY1 1\n"
         "SEARCHKEY2 0\nSEARCHKEY3 3\nSEARCHKEY4 4\nSEARCHKEY5 0\nCHIMNEY OUT 1.25\nCHIMNEY IN 0.33333334\n"
         "HOUSE WIDTH 12\nHOUSE HEIGHT 8\nNOSEGMENTS " + std::to_string(segments) + "\n" + build +
         "GEOCODE 1480-1\nFORMULAMACRO \"WORKDAYS\"\nALOB 2\nA=1\n\n";
}

std::string Replaced(std::string text, const std::string& what, const std::string& by) {
  return text.replace(text.find(what), what.size(), by);
}

const char* const kNoBuilding = "BUILD_WIDTHS\nBUILD_HEIGHTS\nBUILD_LENGTHS\nBUILD_DISTFARWALL\nBUILD_CENTER\n";

// Two emissions of one substance, a substance-group block (read before the
// emission blocks when groupFirst, written after them), an activity with
// three variables.
std::string Blocks(bool groupFirst) {
  std::string group = "SUBGRP.1.SUBGRP 7\nSUBGRP.1.ACTIVITY 2.5e-05\nSUBGRP.1.TIMEVAR 3\nSUBGRP.1.UNIT MWh/year\n"
                      "SUBGRP.1.ACTCODE 1.A.4.b\nSUBGRP.1.ALOB 0\n";
  std::string emissions =
         "EMISSION.1.SUBSTANCE 1\nEMISSION.1.EMISSION 1e-07\nEMISSION.1.TIMEVAR 5\nEMISSION.1.UNIT kg/year\n"
         "EMISSION.1.MACRO \nEMISSION.1.ACTCODE \nEMISSION.1.ALOB 1\nMETHOD=measured\n"
         "EMISSION.2.SUBSTANCE 1\nEMISSION.2.EMISSION -3.4028235e+38\nEMISSION.2.TIMEVAR 1\n"
         "EMISSION.2.UNIT ton/year\nEMISSION.2.MACRO CORR\nEMISSION.2.ACTCODE 1.A.1.a\nEMISSION.2.ALOB 0\n";
  return (groupFirst ? group + emissions : emissions + group) +
         "ACTIVITY.1.EMFAC 12\nACTIVITY.1.TIMEVAR 2\nACTIVITY.1.VAR.1 0.1\nACTIVITY.1.VAR.2 123456.79\n"
         "ACTIVITY.1.VAR.3 0\nACTIVITY.1.ACTCODE 2.D.3\nACTIVITY.1.ALOB 0\n";
}

TEST_F(SourceRecordsTest, ListingReadsTheHeaderAndWritesEachSourceBackLineForLine) {
  std::string area = Fixed("X2 1270101\nY2 6160101\n", 2,
                           "BUILD_WIDTHS 10 20\nBUILD_HEIGHTS 5 6\nBUILD_LENGTHS 1 2\nBUILD_DISTFARWALL 3 4\n"
                           "BUILD_CENTER 32000 0\n");
  std::string point = Fixed("X2 0\nY2 0\n", 0, kNoBuilding);
  Reply("3 1 4 9\n1 7\n2 12:3 15:0 99\n" + point + Blocks(true) + "\n" + area + "\n");
  SourceRec rec;
  ASSERT_EQ(IORSourceGetRec(1, &rec), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&source2&0");
  EXPECT_EQ(rec.header.subs, (std::vector<int32_t>{1, 4, 9}));
  EXPECT_EQ(rec.header.groups, (std::vector<int32_t>{7}));
  EXPECT_EQ(rec.header.formulas, (std::vector<int32_t>{12, 15}));
  EXPECT_EQ(rec.header.maxvars, (std::vector<int32_t>{3, 0}));
  EXPECT_EQ(rec.emissions.Count(), 2);
  EXPECT_EQ(rec.subgroups.Count(), 1);
  ASSERT_EQ(rec.activities.Count(), 1);
  EXPECT_EQ(rec.activities[0].novariable, 3);
  EXPECT_FALSE(rec.IsArea());

  SourceRec second;
  ASSERT_EQ(IORSourceGetRec(0, &second), 1) << Error();
  EXPECT_TRUE(second.IsArea());
  EXPECT_EQ(second.build[BuildCenter][0], 32000);
  SourceRec end;
  EXPECT_EQ(IORSourceGetRec(0, &end), 0);
  Reply("Import OK\nImport OK\n");
  ASSERT_EQ(IORSourcePutRec(RecordStartFlag1, &rec), 1) << Error();
  ASSERT_EQ(IORSourcePutRec(RecordWrite, &rec), 1) << Error();
  ASSERT_EQ(IORSourcePutRec(RecordWrite, &second), 1) << Error();
  ASSERT_EQ(IORSourcePutRec(RecordFinish, &rec), 1) << Error();
  std::string body = Body(Requests() - 1);
  EXPECT_NE(body.find(SaveHeader("source", -1, "1", "0") + point + Blocks(false) + "\n" + area + "\nEOF\n"),
            std::string::npos)
      << body;
}

TEST_F(SourceRecordsTest, RefusedRecordsNameWhatIsWrong) {
  std::string activity = "ACTIVITY.1.EMFAC 12\nACTIVITY.1.TIMEVAR 2\n";
  std::string vars;
  for (int v = 1; v <= 46; ++v) vars += "ACTIVITY.1.VAR." + std::to_string(v) + " 1\n";
  struct Case {
    std::string reply;
    const char* message;
  } cases[] = {
      {"0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding) + activity + vars + "ACTIVITY.1.ACTCODE \n", "To many actvities"},
      {"0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 2, kNoBuilding), "BUILD_WIDTHS holds 0 values for 2 segments"},
      {"0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding).substr(0, 60), "Out of data"},
      {"0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding) + "EMISSION.2.SUBSTANCE 1\n", "No substance specified"},
      {"0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding) + activity + "ACTIVITY.1.VAR.1 x\n", "Error in ACTIVITY.1.VAR.1"},
      {"0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding) + "EMISSION.1.SUBSTANCE 1\nEMISSION.1.EMISSION 1\n"
           "EMISSION.1.TIMEVAR 1\nEMISSION.1.UNIT " + std::string(64, 'u') + "\n", "longer than 63"},
      {"x\n", "Source: Error parsing new record"},
      {"0\n0\n0\n" + Replaced(Fixed("X2 0\nY2 0\n", 0, kNoBuilding), "CHIMNEY OUT 1.25", "CHIMNEY OUT 1.25x"),
       "Source (Boiler 1): Error in CHIMNEY OUT: CHIMNEY OUT 1.25x"},
      {"0\n0\n0\n" + Replaced(Fixed("X2 0\nY2 0\n", 0, kNoBuilding), "HOUSE WIDTH 12", "HOUSE WIDTH 65536"),
       "Source (Boiler 1): Error in HOUSE WIDTH: HOUSE WIDTH 65536"},
  };
  SourceRec rec;
  for (const Case& c : cases) ExpectRefused(c.reply, [&] { return IORSourceGetRec(1, &rec); }, c.message, true);
}

TEST_F(SourceRecordsTest, VariableKeywordAloneReadsAsZero) {
  Reply("0\n0\n1 12:2\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding) +
        "ACTIVITY.1.EMFAC 12\nACTIVITY.1.TIMEVAR 2\nACTIVITY.1.VAR.1 4\nACTIVITY.1.VAR.2\nACTIVITY.1.ACTCODE\n"
        "ACTIVITY.1.ALOB 0\n");  // the reply ends after a whole block
  SourceRec rec;
  ASSERT_EQ(IORSourceGetRec(1, &rec), 1) << Error();
  ASSERT_EQ(rec.activities[0].novariable, 2);
  EXPECT_EQ(rec.activities[0].var[0], 4.0f);
  EXPECT_EQ(rec.activities[0].var[1], 0.0f);
  EXPECT_STREQ(rec.geocode.Text(), L"1480-1");
  EXPECT_STREQ(rec.alob.Text(), L"A=1\n");
}

}  // namespace
}  // namespace records_test
