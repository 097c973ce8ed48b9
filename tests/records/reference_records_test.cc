// Substance, time-variation, substance-group and emission-factor records on the wire.
#include <functional>
#include <string>

#include "record_fixture.h"
#include "records/emfac.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"

namespace records_test {
namespace {

using ReferenceRecordsTest = RecordTest;

// A complete time-variation record text with the given TYPEDAY line for hour 5.
std::string TimevarText(const std::string& name, int index, const std::string& hour5 = "\t5 5 5 5") {
  std::string text = "NAME \"" + name + "\"\nINDEX " + std::to_string(index) + "\n";
  for (int h = 1; h <= 24; ++h) {
    std::string v = std::to_string(h);
    text += h == 5 ? hour5 + "\n" : (h == 1 ? "TYPEDAY\t" : "\t") + v + " " + v + "b " + v + "c " + v + "d\n";
  }
  return text + "MONTH\t1 2 3 4 5 6\n\t7 8 9 10 11 -12\nSCENARIO\t1 2 3 4 5\n\t6 7 8 9 0.5\n";
}

TEST_F(ReferenceRecordsTest, SubstanceLines) {
  Reply("7 \"\"\n7\n12 \"Benzene\"\n13   \"a \"quoted\" b\"\n1 \"" + std::string(400, 'q') + "\"\n\n");
  // The name ends at the next double quote and is cut to 255 characters.
  const std::pair<uint16_t, std::wstring> expected[] = {
      {7, L""}, {7, L""}, {12, L"Benzene"}, {13, L"a "}, {1, std::wstring(255, L'q')}};
  static SubRec r;
  for (int32_t i = 0; i < 5; ++i) {
    ASSERT_EQ(IORSubGetRec(i == 0, 3, &r), 1) << Error();
    EXPECT_EQ(r.index, expected[i].first);
    EXPECT_EQ(std::wstring(r.name), expected[i].second);
  }
  EXPECT_EQ(IORSubGetRec(0, 3, &r), -1);
  EXPECT_EQ(Error(), "Error in input: \n");
}

TEST_F(ReferenceRecordsTest, TimevarRecordAndItsSeparator) {
  Reply(TimevarText("Weekday", 3, "\t" + std::string(40, 'v') + " 5 5 5") + "x\n" + TimevarText("Roads", 4) + "ab\n");
  static TimevarRec r;
  // (Every field of records the writer printed: RoundTripTest.TimeVariations.)
  ASSERT_EQ(IORTimevarGetRec(1, 1, 0, &r), 1) << Error();
  EXPECT_EQ(std::wstring(r.typeday[0][4]), std::wstring(15, L'v'));  // cut to the field
  EXPECT_STREQ(r.typeday[1][4], L"5");
  EXPECT_STREQ(r.typeday[3][23], L"24d");
  // A separator of one character is taken, one of two characters is not.
  EXPECT_EQ(IORTimevarGetRec(1, 0, 0, &r), -1);
  EXPECT_EQ(Error(), "FORMULA 4: Unexpected end of record: ab");
}

TEST_F(ReferenceRecordsTest, NamesOnlyReadsOfEveryKind) {
  static TimevarRec tv;
  static SubgrpRec sg;
  static EmfacRec ef;
  struct Case {
    std::string reply;
    std::function<int32_t(int32_t)> get;  // first
    const wchar_t* name;                  // the record read
    const char* query;
    const char* error;  // after two records, or null when the reply ends there
  };
  const Case cases[] = {
      {"NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\n",
       [](int32_t first) { return IORTimevarGetRec(0, first, TransferFlagNamesOnly, &tv); }, tv.name, "timevarp&1", nullptr},
      {"NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\nx\nNAME \"C\"\nINDEX 3\nSUBSTANCES\n",
       [](int32_t first) { return IORSubgrpGetRec(first, TransferFlagNamesOnly, &sg); }, sg.name, "subgrp&1",
       "SUBGRP 3: Unexpected end of record: SUBSTANCES"},
      {"NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\n\nNAME \"C\"\nINDEX 3\nSUBSTANCE 4\n",
       [](int32_t first) { return IOREmfacGetRec(first, TransferFlagNamesOnly, &ef); }, ef.name, "emfac&1",
       "EMFAC 3: Unexpected end of record: SUBSTANCE 4"},
  };
  for (size_t i = 0; i < 3; ++i) {
    const Case& c = cases[i];
    Reply(c.reply);
    ASSERT_EQ(c.get(1), 1) << Error();
    EXPECT_EQ(Query(i + 1), std::string("/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&") + c.query);
    EXPECT_STREQ(c.name, L"A");
    ASSERT_EQ(c.get(0), 1) << Error();
    EXPECT_STREQ(c.name, L"B");
    EXPECT_EQ(c.get(0), c.error ? -1 : 0);
    EXPECT_EQ(Error(), c.error ? c.error : "");
  }
}

// (Groups read back whole, slots left over from an earlier record cleared: RoundTripTest.SubstanceGroups.)
TEST_F(ReferenceRecordsTest, SubgrpUnusedSlotsAreNotWritten) {
  static SubgrpRec r;
  wcscpy(r.name, L"VOC");
  r.index = 4;
  r.substance[0] = 5;
  r.slope[0] = 0.5f;
  wcscpy(r.unit[0], L"kg");
  r.substance[2] = -3;  // slot 1 is unused and not written
  r.slope[2] = 2;
  r.m[2] = 1e-7f;
  wcscpy(r.unit[2], L"t/yr");
  EXPECT_EQ(Posted([](int32_t op) { return IORSubgrpPutRec(op, &r); }),
            SaveHeader("subgrp", -1, "0", "0") +
                "NAME \"VOC\"\nINDEX 4\nSUBSTANCES\n\t5 \t0.5 \t0 \tkg\n\t-3 \t2 \t1e-07 \tt/yr\n\nEOF\n");
}

const char* const EmfacHead = "NAME \"NOx\"\nINDEX 5\nSUBSTANCE 2\nFORMULA a*speed+b\n";

TEST_F(ReferenceRecordsTest, EmfacVariablesAndWhereTheirListEnds) {
  std::string all46;
  for (int n = 1; n <= 46; ++n) {
    all46 += "VAR." + std::to_string(n) + " v" + std::to_string(n) + "\nTYPE." + std::to_string(n) + " VAR\n";
  }
  // The keyword alone ends the list, the rest of that record (more variable lines or none) passed over; 46 variables
  // are followed by the next record.
  std::string head = EmfacHead;
  Reply(head + "VAR.1 speed\nTYPE.1 VAR\nVAR.2 a\nTYPE.2 CONST\nVAR.3 b\nTYPE.3 other\n\n" + head +
        "VAR.1 w\nTYPE.1 CONST\nVAR.2 \nTYPE.2 VAR\nVAR.3 z\nTYPE.3 VAR\n\n" + head + "VAR.1\n" + head + all46 + "\n" +
        "NAME \"Last\"\nINDEX 9\nSUBSTANCE 1\nFORMULA x\n\n");
  // (The fields of written records read back: RoundTripTest.EmissionFactors.)
  static EmfacRec r;
  ASSERT_EQ(IOREmfacGetRec(1, 0, &r), 1) << Error();
  ASSERT_EQ(r.novariable, 3);
  EXPECT_EQ(r.varconst[2], 1) << "any other value marks a constant";
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 1);
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 0);
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_EQ(r.novariable, 46);
  EXPECT_STREQ(r.varname[45], L"v46");
  ASSERT_EQ(IOREmfacGetRec(0, 0, &r), 1) << Error();
  EXPECT_STREQ(r.name, L"Last");
  EXPECT_EQ(r.novariable, 0);
  EXPECT_EQ(IOREmfacGetRec(0, 0, &r), 0);
  EXPECT_EQ(Error(), "") << "the separators leave no message behind";
}

// (The lines themselves: RoundTripTest.EmissionFactors.)
TEST_F(ReferenceRecordsTest, EmfacWriterNeverReadsPastTheVariables) {
  static EmfacRec r;
  wcscpy(r.name, L"NOx");
  r.novariable = 1000;
  std::string body = Posted([](int32_t op) { return IOREmfacPutRec(op, &r); });
  EXPECT_NE(body.find("VAR.46 \t"), std::string::npos);
  EXPECT_EQ(body.find("VAR.47"), std::string::npos);
}

// A record that goes wrong or ends inside itself fails the read with its message, never the end of the records.
TEST_F(ReferenceRecordsTest, MalformedRecordsOfEveryKind) {
  static TimevarRec tv;
  static SubgrpRec sg;
  static EmfacRec ef;
  auto timevar = [] { return IORTimevarGetRec(0, 1, 0, &tv); };
  auto subgrp = [] { return IORSubgrpGetRec(1, 0, &sg); };
  auto emfac = [] { return IOREmfacGetRec(1, 0, &ef); };
  std::string keyword = TimevarText("W", 3), month = TimevarText("W", 3), full = TimevarText("W", 3);
  keyword.replace(keyword.find("TYPEDAY"), 7, "TYPEDAX");
  month.replace(month.find("\t7 8"), 4, "\t7 x");
  const std::string group = "NAME \"G\"\nINDEX 1\n", emfacHead = EmfacHead;
  std::string slots;
  for (int i = 1; i <= 250; ++i) slots += "\t" + std::to_string(i) + "\t1\t0\tkg\n";
  const struct {
    std::function<int32_t()> read;
    std::string text;
    std::string error;
  } cases[] = {
      {timevar, TimevarText("W", 3, "\ta b c") + "\n",
       "TIMEVAR 3: Error scanning TYPEDAY, hour 5: \ta b c (Number of fields 3) (pattern  %ls %ls %ls %ls)"},
      {timevar, keyword, "TIMEVAR 3: Error scanning TYPEDAY, hour 1: TYPEDAX\t1 1b 1c 1d (Number of fields 0) "
                         "(pattern TYPEDAY %ls %ls %ls %ls)"},
      {timevar, month, "TIMEVAR 3: Error scanning MONTH, part 2: \t7 x 9 10 11 -12"},
      {timevar, full.substr(0, full.find("\t7 8")), "TIMEVAR 3: Out of data scanning MONTH, part 2"},
      {subgrp, group + "SUBSTANCES\n\t5\t0.5\tkg\n", "SUBGRP G: Error in SUBSTANCES line 1: \t5\t0.5\tkg\n"},
      {subgrp, group + "SUBSTANCES\n\t0\t0.3\t0\tkg\n\n", "SUBGRP G: Error in SUBSTANCES line 1: \t0\t0.3\t0\tkg\n"},
      {subgrp, group + "SUBSTANZEN\n", "SUBGRP G: Error in SUBSTANCES header: SUBSTANZEN\n"},
      {subgrp, group, "SUBGRP G: Out of data scanning SUBSTANCES\n"},
      {subgrp, group + "SUBSTANCES\n\t1 1 1 kg\n", "SUBGRP G: Out of data scanning SUBSTANCE line 2\n"},
      {subgrp, group + "SUBSTANCES\n" + slots + "\t251\t1\t0\tkg\n\n",
       "SUBGRP G: More than 250 SUBSTANCES lines: \t251\t1\t0\tkg\n"},
      {emfac, emfacHead + "VAR.1 v\nTYPE.1 VAR\njunk\n", "EMFAC (NOx): Error in VAR.2: junk\n"},
      {emfac, emfacHead + "VAR.1 v\nTYPE.1 VAR\n", "EMFAC (NOx): Out of data scanning VAR.2\n"},
      {emfac, emfacHead + "VAR.1 v\nTYPO.1 VAR\n", "EMFAC (NOx): Error in TYPE.1: TYPO.1 VAR\n"},
      {emfac, "NAME \"NOx\"\nINDEX 5\nFORMULA x\n", "EMFAC (NOx): Error in SUBSTANCE: FORMULA x\n"},
  };
  for (const auto& c : cases) ExpectRefused(c.text, c.read, c.error);
  // 250 slots are the most, and fit.
  Reply(group + "SUBSTANCES\n" + slots + "\n");
  ASSERT_EQ(subgrp(), 1) << Error();
  EXPECT_EQ(sg.substance[249], 250);
}

}  // namespace
}  // namespace records_test
