// Readers and writers of substances, time variations, substance groups and
// emission factors: their requests, record texts, names-only reads and the
// edge cases of each kind.
#include <string>

#include "record_fixture.h"
#include "records/emfac.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"

namespace records_test {
namespace {

class ReferenceRecordsTest : public RecordTest {};

// A complete time-variation record text with the given TYPEDAY line for hour 5.
std::string TimevarText(const std::string& name, int index, const std::string& hour5 = "\t5 5 5 5") {
  std::string text = "NAME \"" + name + "\"\nINDEX " + std::to_string(index) + "\n";
  for (int h = 1; h <= 24; ++h) {
    std::string v = std::to_string(h);
    text += h == 5 ? hour5 + "\n" : (h == 1 ? "TYPEDAY" : "") + std::string("\t") + v + " " + v + "b " + v + "c " +
                                        v + "d\n";
  }
  return text + "MONTH\t1 2 3 4 5 6\n\t7 8 9 10 11 -12\nSCENARIO\t1 2 3 4 5\n\t6 7 8 9 0.5\n";
}

TEST_F(ReferenceRecordsTest, SubstanceLines) {
  Reply("7 \"\"\n7\n12 \"Benzene\"\n13   \"a \"quoted\" b\"\n\n");
  static SubRec r;
  ASSERT_EQ(IORSubGetRec(1, 3, &r), 1) << Error();
  EXPECT_EQ(r.index, 7);
  EXPECT_STREQ(r.name, L"");
  ASSERT_EQ(IORSubGetRec(0, 3, &r), 1);
  EXPECT_EQ(r.index, 7);
  EXPECT_STREQ(r.name, L"");
  ASSERT_EQ(IORSubGetRec(0, 3, &r), 1);
  EXPECT_EQ(r.index, 12);
  EXPECT_STREQ(r.name, L"Benzene");
  ASSERT_EQ(IORSubGetRec(0, 3, &r), 1);
  EXPECT_STREQ(r.name, L"a ") << "the name ends at the next double quote";
  EXPECT_EQ(IORSubGetRec(0, 3, &r), -1);
  EXPECT_EQ(Error(), "Error in input: \n");
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadsubs&anna&edb1&3");
}

TEST_F(ReferenceRecordsTest, SubstanceNameIsCutTo255AndTheReplyEnds) {
  Reply("1 \"" + std::string(400, 'q') + "\"\n");
  static SubRec r;
  ASSERT_EQ(IORSubGetRec(1, 0, &r), 1);
  EXPECT_EQ(std::wstring(r.name), std::wstring(255, L'q'));
  EXPECT_EQ(IORSubGetRec(0, 0, &r), 0);
}

TEST_F(ReferenceRecordsTest, TimevarRecordAndItsSeparator) {
  Reply(TimevarText("Weekday", 3) + "x\n" + TimevarText("Roads", 4) + "ab\n");
  static TimevarRec r;
  ASSERT_EQ(IORTimevarGetRec(1, 1, 0, &r), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&timevarr&0");
  EXPECT_STREQ(r.name, L"Weekday");
  EXPECT_EQ(r.index, 3);
  EXPECT_STREQ(r.typeday[0][0], L"1");
  EXPECT_STREQ(r.typeday[3][23], L"24d");
  EXPECT_STREQ(r.typeday[2][4], L"5");
  EXPECT_EQ(r.month[0], 1);
  EXPECT_EQ(r.month[11], -12);
  EXPECT_EQ(r.scenario[9], 0.5f);
  // A separator of one character is taken, one of two characters is not.
  EXPECT_EQ(IORTimevarGetRec(1, 0, 0, &r), -1);
  EXPECT_EQ(Error(), "FORMULA 4: Unexpected end of record: ab");
}

TEST_F(ReferenceRecordsTest, TimevarThreeWordTypedayLine) {
  Reply(TimevarText("W", 3, "\ta b c") + "\n");
  static TimevarRec r;
  EXPECT_EQ(IORTimevarGetRec(0, 1, 0, &r), -1);
  EXPECT_EQ(Error(), "TIMEVAR 3: Error scanning TYPEDAY, hour 5: \ta b c (Number of fields 3) "
                     "(pattern  %ls %ls %ls %ls)");
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&timevarp&0");
}

TEST_F(ReferenceRecordsTest, TimevarFirstTypedayLineNeedsItsKeyword) {
  std::string text = TimevarText("W", 3);
  text.replace(text.find("TYPEDAY"), 7, "TYPEDAX");
  Reply(text);
  static TimevarRec r;
  EXPECT_EQ(IORTimevarGetRec(0, 1, 0, &r), -1);
  EXPECT_EQ(Error(), "TIMEVAR 3: Error scanning TYPEDAY, hour 1: TYPEDAX\t1 1b 1c 1d (Number of fields 0) "
                     "(pattern TYPEDAY %ls %ls %ls %ls)");
}

TEST_F(ReferenceRecordsTest, TimevarValuesAreCutTo15AndTheMonthsChecked) {
  std::string badMonths = TimevarText("B", 9);
  badMonths.replace(badMonths.find("\t7 8"), 4, "\t7 x");
  Reply(TimevarText("W", 3, "\t" + std::string(40, 'v') + " 5 5 5") + "\n" + badMonths + "\n");
  static TimevarRec r;
  ASSERT_EQ(IORTimevarGetRec(0, 1, 0, &r), 1) << Error();
  EXPECT_EQ(std::wstring(r.typeday[0][4]), std::wstring(15, L'v'));
  EXPECT_STREQ(r.typeday[1][4], L"5");
  EXPECT_EQ(IORTimevarGetRec(0, 0, 0, &r), -1);
  EXPECT_EQ(Error(), "TIMEVAR 9: Error scanning MONTH, part 2: \t7 x 9 10 11 -12");
}

TEST_F(ReferenceRecordsTest, TimevarCutShortAtTheEndOfTheReplyIsAFailure) {
  std::string text = TimevarText("W", 3);
  Reply(text.substr(0, text.find("\t7 8")));
  static TimevarRec r;
  EXPECT_EQ(IORTimevarGetRec(0, 1, 0, &r), -1) << "a record cut short is not taken as the end of the records";
  EXPECT_EQ(Error(), "TIMEVAR 3: Out of data scanning MONTH, part 2");
}

TEST_F(ReferenceRecordsTest, TimevarNamesOnly) {
  Reply("NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\n");
  static TimevarRec r;
  ASSERT_EQ(IORTimevarGetRec(0, 1, TransferFlagNamesOnly, &r), 1) << Error();
  EXPECT_STREQ(r.name, L"A");
  ASSERT_EQ(IORTimevarGetRec(0, 0, TransferFlagNamesOnly, &r), 1) << "the reply may end instead of a separator";
  EXPECT_EQ(r.index, 2);
  EXPECT_EQ(IORTimevarGetRec(0, 0, TransferFlagNamesOnly, &r), 0);
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&timevarp&1");
}

TEST_F(ReferenceRecordsTest, TimevarLinesOnTheWire) {
  static TimevarRec r;
  wcscpy(r.name, L"Weekday");
  r.index = 3;
  for (int d = 0; d < 4; ++d) {
    for (int h = 0; h < 24; ++h) swprintf(r.typeday[d][h], 16, L"%d.%d", d, h);
  }
  for (int m = 0; m < 12; ++m) r.month[m] = static_cast<int16_t>(m * 10 - 30);
  for (int s = 0; s < 10; ++s) r.scenario[s] = 0.25f * static_cast<float>(s);
  r.scenario[9] = 1234567.0f;
  Reply("Ok.\n");
  ASSERT_EQ(IORTimevarPutRec(0, RecordStart, &r), 1);
  ASSERT_EQ(IORTimevarPutRec(0, RecordWrite, &r), 1);
  ASSERT_EQ(IORTimevarPutRec(0, RecordFinish, &r), 1) << Error();
  std::string expected = SaveHeader("timevarp", -1, "0", "0") + "NAME \"Weekday\"\nINDEX 3\n";
  for (int h = 0; h < 24; ++h) {
    std::string hh = std::to_string(h);
    expected += (h == 0 ? "TYPEDAY" : "") + std::string("\t0.") + hh + " 1." + hh + " 2." + hh + " 3." + hh + "\n";
  }
  expected += "MONTH\t-30 -20 -10 0 10 20\n\t30 40 50 60 70 80\n";
  expected += "SCENARIO\t0 0.25 0.5 0.75 1\n\t1.25 1.5 1.75 2 1.23457e+06\n\nEOF\n";
  EXPECT_EQ(Body(1), expected);
}

TEST_F(ReferenceRecordsTest, SubgrpSlotsAndSeparator) {
  Reply("NAME \"VOC\"\nINDEX 70000\nSUBSTANCES\n\t5\t0.5\t0\tkg/year\n\t7 1.5 -2 g/s\n\t9\t1e-3\t3\tt\n\n"
        "NAME \"Empty\"\nINDEX 2\nSUBSTANCES\n\n");
  static SubgrpRec r;
  ASSERT_EQ(IORSubgrpGetRec(1, 0, &r), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&subgrp&0");
  EXPECT_STREQ(r.name, L"VOC");
  EXPECT_EQ(r.index, 70000u);
  EXPECT_EQ(r.substance[0], 5);
  EXPECT_EQ(r.slope[1], 1.5f);
  EXPECT_EQ(r.m[1], -2.0f);
  EXPECT_STREQ(r.unit[0], L"kg/year");
  EXPECT_STREQ(r.unit[2], L"t");
  EXPECT_EQ(r.substance[3], 0) << "three slots";
  ASSERT_EQ(IORSubgrpGetRec(0, 0, &r), 1);
  EXPECT_EQ(r.substance[0], 0);
  EXPECT_EQ(IORSubgrpGetRec(0, 0, &r), 0);
}

TEST_F(ReferenceRecordsTest, SubgrpUnusedSlotsAreNotWritten) {
  static SubgrpRec r;
  wcscpy(r.name, L"VOC");
  r.index = 4;
  r.substance[0] = 5;
  r.slope[0] = 0.5f;
  r.m[0] = 0;
  wcscpy(r.unit[0], L"kg");
  r.substance[2] = -3;
  r.slope[2] = 2;
  r.m[2] = 1e-7f;
  wcscpy(r.unit[2], L"t/yr");
  Reply("Ok.\n");
  ASSERT_EQ(IORSubgrpPutRec(RecordStart, &r), 1);
  ASSERT_EQ(IORSubgrpPutRec(RecordWrite, &r), 1);
  ASSERT_EQ(IORSubgrpPutRec(RecordFinish, &r), 1) << Error();
  EXPECT_EQ(Body(1), SaveHeader("subgrp", -1, "0", "0") +
                         "NAME \"VOC\"\nINDEX 4\nSUBSTANCES\n\t5 \t0.5 \t0 \tkg\n\t-3 \t2 \t1e-07 \tt/yr\n\nEOF\n");
}

TEST_F(ReferenceRecordsTest, SubgrpMalformedRecords) {
  static SubgrpRec r;
  Reply("NAME \"G\"\nINDEX 1\nSUBSTANCES\n\t5\t0.5\tkg\n");
  EXPECT_EQ(IORSubgrpGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "SUBGRP G: Error in SUBSTANCES line 1: \t5\t0.5\tkg\n");
  Reply("NAME \"G\"\nINDEX 1\nSUBSTANZEN\n");
  EXPECT_EQ(IORSubgrpGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "SUBGRP G: Error in SUBSTANCES header: SUBSTANZEN\n");
  Reply("NAME \"G\"\nINDEX 1\n");
  EXPECT_EQ(IORSubgrpGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "SUBGRP G: Out of data scanning SUBSTANCES\n");
  Reply("NAME \"G\"\nINDEX 1\nSUBSTANCES\n\t1 1 1 kg\n");
  EXPECT_EQ(IORSubgrpGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "SUBGRP G: Out of data scanning SUBSTANCE line 2\n");
}

TEST_F(ReferenceRecordsTest, SubgrpHoldsAtMost250Slots) {
  std::string slots;
  for (int i = 1; i <= 250; ++i) slots += "\t" + std::to_string(i) + "\t1\t0\tkg\n";
  Reply("NAME \"Full\"\nINDEX 1\nSUBSTANCES\n" + slots + "\nNAME \"Over\"\nINDEX 2\nSUBSTANCES\n" + slots +
        "\t251\t1\t0\tkg\n\n");
  static SubgrpRec r;
  ASSERT_EQ(IORSubgrpGetRec(1, 0, &r), 1) << Error();
  EXPECT_EQ(r.substance[249], 250);
  EXPECT_EQ(IORSubgrpGetRec(0, 0, &r), -1);
  EXPECT_EQ(Error(), "SUBGRP Over: More than 250 SUBSTANCES lines: \t251\t1\t0\tkg\n");
}

TEST_F(ReferenceRecordsTest, SubgrpNamesOnly) {
  Reply("NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\nx\nNAME \"C\"\nINDEX 3\nSUBSTANCES\n");
  static SubgrpRec r;
  ASSERT_EQ(IORSubgrpGetRec(1, TransferFlagNamesOnly, &r), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&subgrp&1");
  ASSERT_EQ(IORSubgrpGetRec(0, TransferFlagNamesOnly, &r), 1);
  EXPECT_STREQ(r.name, L"B");
  EXPECT_EQ(IORSubgrpGetRec(0, TransferFlagNamesOnly, &r), -1);
  EXPECT_EQ(Error(), "SUBGRP 3: Unexpected end of record: SUBSTANCES");
}

const char* const EmfacHead = "NAME \"NOx\"\nINDEX 5\nSUBSTANCE 2\nFORMULA a*speed+b\n";

TEST_F(ReferenceRecordsTest, EmfacVariableTypes) {
  Reply(std::string(EmfacHead) + "VAR.1 speed\nTYPE.1 VAR\nVAR.2 a\nTYPE.2 CONST\nVAR.3 b\nTYPE.3 other\n\n" +
        EmfacHead + "VAR.1 v\nTYPE.1 VAR\n\n");
  static EmfacRec r;
  ASSERT_EQ(IOREmfacGetRec(1, 0, &r), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&emfac&0");
  EXPECT_STREQ(r.name, L"NOx");
  EXPECT_EQ(r.index, 5u);
  EXPECT_EQ(r.substance, 2);
  EXPECT_STREQ(r.formula, L"a*speed+b");
  ASSERT_EQ(r.novariable, 3);
  EXPECT_STREQ(r.varname[0], L"speed");
  EXPECT_EQ(r.varconst[0], 0);
  EXPECT_EQ(r.varconst[1], 1);
  EXPECT_EQ(r.varconst[2], 1) << "any other value marks a constant";
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 1);
  EXPECT_EQ(IOREmfacGetRec(0, 0, &r), 0);
  EXPECT_EQ(Error(), "") << "the separator leaves no message behind";
}

TEST_F(ReferenceRecordsTest, EmfacListEndsAtAnEmptyVariable) {
  // The keyword alone ends the list; the rest of that record is passed over,
  // whether its separator follows at once or after more variable lines.
  Reply(std::string(EmfacHead) + "VAR.1 v\nTYPE.1 VAR\nVAR.2\n\n" + EmfacHead +
        "VAR.1 w\nTYPE.1 CONST\nVAR.2 \nTYPE.2 VAR\nVAR.3 z\nTYPE.3 VAR\n\n" + EmfacHead + "VAR.1\n" +
        "NAME \"Last\"\nINDEX 9\nSUBSTANCE 1\nFORMULA x\n\n");
  static EmfacRec r;
  ASSERT_EQ(IOREmfacGetRec(1, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 1);
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 1);
  EXPECT_STREQ(r.varname[0], L"w");
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 0);
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_STREQ(r.name, L"Last");
  EXPECT_EQ(r.novariable, 0);
  EXPECT_EQ(IOREmfacGetRec(0, 0, &r), 0);
}

TEST_F(ReferenceRecordsTest, EmfacWith46VariablesIsFollowedByTheNextRecord) {
  std::string text;
  for (int n = 1; n <= 46; ++n) text += "VAR." + std::to_string(n) + " v" + std::to_string(n) + "\nTYPE." +
                                        std::to_string(n) + " VAR\n";
  Reply(std::string(EmfacHead) + text + "\n" + EmfacHead + "\n");
  static EmfacRec r;
  ASSERT_EQ(IOREmfacGetRec(1, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 46);
  EXPECT_STREQ(r.varname[45], L"v46");
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 0);
  EXPECT_EQ(IOREmfacGetRec(0, 0, &r), 0);
}

TEST_F(ReferenceRecordsTest, EmfacMalformedVariables) {
  static EmfacRec r;
  Reply(std::string(EmfacHead) + "VAR.1 v\nTYPE.1 VAR\njunk\n");
  EXPECT_EQ(IOREmfacGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "EMFAC (NOx): Error in VAR.2: junk\n");
  Reply(std::string(EmfacHead) + "VAR.1 v\nTYPE.1 VAR\n");
  EXPECT_EQ(IOREmfacGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "EMFAC (NOx): Out of data scanning VAR.2\n");
  Reply(std::string(EmfacHead) + "VAR.1 v\nTYPO.1 VAR\n");
  EXPECT_EQ(IOREmfacGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "EMFAC (NOx): Error in TYPE.1: TYPO.1 VAR\n");
  Reply("NAME \"NOx\"\nINDEX 5\nFORMULA x\n");
  EXPECT_EQ(IOREmfacGetRec(1, 0, &r), -1);
  EXPECT_EQ(Error(), "EMFAC (NOx): Error in SUBSTANCE: FORMULA x\n");
}

TEST_F(ReferenceRecordsTest, EmfacNamesOnly) {
  Reply("NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\nSUBSTANCE 4\n");
  static EmfacRec r;
  ASSERT_EQ(IOREmfacGetRec(1, TransferFlagNamesOnly, &r), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&emfac&1");
  EXPECT_STREQ(r.name, L"A");
  EXPECT_EQ(IOREmfacGetRec(0, TransferFlagNamesOnly, &r), -1);
  EXPECT_EQ(Error(), "EMFAC 2: Unexpected end of record: SUBSTANCE 4");
}

TEST_F(ReferenceRecordsTest, EmfacLinesOnTheWire) {
  static EmfacRec r;
  wcscpy(r.name, L"NOx");
  r.index = 4000000000u;
  r.substance = -7;
  wcscpy(r.formula, L"a*v^2 + b");
  r.novariable = 2;
  wcscpy(r.varname[0], L"v");
  r.varconst[0] = 0;
  wcscpy(r.varname[1], L"a");
  r.varconst[1] = 1;
  Reply("Ok.\n");
  ASSERT_EQ(IOREmfacPutRec(RecordStart, &r), 1);
  ASSERT_EQ(IOREmfacPutRec(RecordWrite, &r), 1);
  r.novariable = 1000;  // never read past the variables
  ASSERT_EQ(IOREmfacPutRec(RecordWrite, &r), 1);
  ASSERT_EQ(IOREmfacPutRec(RecordFinish, &r), 1) << Error();
  std::string record = "NAME \"NOx\"\nINDEX 4000000000\nSUBSTANCE -7\nFORMULA a*v^2 + b\n"
                       "VAR.1 \tv\nTYPE.1 \tVAR\nVAR.2 \ta\nTYPE.2 \tCONST\n\n";
  std::string body = Body(1);
  EXPECT_EQ(body.substr(0, SaveHeader("emfac", -1, "0", "0").size() + record.size()),
            SaveHeader("emfac", -1, "0", "0") + record);
  EXPECT_NE(body.find("VAR.46 \t"), std::string::npos);
  EXPECT_EQ(body.find("VAR.47"), std::string::npos);
}

}  // namespace
}  // namespace records_test
