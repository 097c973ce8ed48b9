// The "Source" sheet: the verifier, a damaged heading row, the Save reader and writer.
#include <cfloat>
#include <cwchar>
#include <string>

#include "catalogue/catalogue.h"
#include "sheet_fixture.h"
#include "workbook/source_sheet.h"

namespace {

class SourceSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    subs[0].Add(L"NOx", 1);
    subs[1].Add(L"Energy", 1);
    timevars.Add(L"Flat", 1);
    emfacs.Add(L"NOx gas boiler", 12);
    subgrps.Add(L"Boiler", 7);
    facilities.Add(L"Main plant", L"1270000 6160000");
    subUnits.Add(L"kg/year", 1);
    groupUnits.Add(L"MWh/year", 2);
    lists = SourceSheetLists{subs, &timevars, &emfacs, &subgrps, &facilities, &subUnits, &groupUnits};
    // One block of each kind; the function has two variables.
    Put(L"Source", 0, 31, {L"Emission sub 1: NOx", L"Emission sub 1: Timevar", L"Emission sub 1: Emission",
                           L"Emission sub 1: Unit", L"Emission sub 1: Macro", L"Emission sub 1: Actcode",
                           L"Emission sub 1: ALOB", L"Emission fac 1: Boiler", L"Emission fac 1: Timevar",
                           L"Emission fac 1: Activity", L"Emission fac 1: Unit", L"Emission fac 1: Actcode",
                           L"Emission fac 1: ALOB", L"Emission func 1: NOx gas boiler", L"Emission func 1: Timevar",
                           L"Emission func 1: Actcode", L"Emission func 1: ALOB", L"Emission func 1: Var 1",
                           L"Emission func 1: Var 2"});
  }
  // A clean point source in row r: name, corners, facility, the chimney and
  // house columns, no segments.
  void Row(int r, const std::wstring& name, const std::wstring& x2 = L"", const std::wstring& y2 = L"") {
    Put(L"Source", r, 0, {name, L"1270001", L"6160001", x2, y2, L"Main plant", L"info"});
    if (x2.empty() && y2.empty()) Put(L"Source", r, 10, {L"25", L"140", L"12", L"1.5", L"1.25", L"20", L"15"});
    Put(L"Source", r, 17, {L"0"});
  }

  CRecordList subs[kSubListCount];
  CRecordList timevars, emfacs, subgrps, subUnits, groupUnits;
  CRecordListKey facilities;
  SourceSheetLists lists{};
  CSourceInfo layout;
};

TEST_F(SourceSheetTest, VerifierFindsOneFaultOfEachKind) {
  Row(1, L"Clean");
  Put(L"Source", 1, 31, {L"", L"Flat", L"3.40282347e+38", L"kg/year", L"", L"1.A.1", L"A=1"});
  Put(L"Source", 1, 45, {L"Flat", L"", L"", L"0.5", L"-2"});
  Row(2, L"Half area", L"1270100");
  Row(3, L"Area", L"1270100", L"6160100");
  Put(L"Source", 3, 10, {L"25"});
  Row(4, L"Segments");
  Put(L"Source", 4, 5, {L"Nowhere"});
  Put(L"Source", 4, 17, {L"2", L"1 2 3", L"300 1", L"", L"1 2", L"1 2"});
  Row(5, L"Keys");
  Put(L"Source", 5, 8, {L"tomorrow"});
  Put(L"Source", 5, 23, {L"Mining"});
  Put(L"Source", 5, 28, {std::wstring(20, L'm')});
  Row(6, L"Blocks");
  Put(L"Source", 6, 31, {L"x", L"Hourly", L"-1", L""});
  Put(L"Source", 6, 39, {L"Flat", L"5", L"parsec"});
  Row(7, L"Gaps");
  Put(L"Source", 7, 40, {L"5"});
  Put(L"Source", 7, 45, {L"Flat", L"", L"", L"", L"7"});
  Row(8, std::wstring(48, L'n'));
  Put(L"Source", 10, 3, {L"left behind"});
  CExcelVerifySource verifier;
  ASSERT_EQ(verifier.Init(lists, &layout, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
      L"Source [E3]: Must specify none or both of (X2,Y2)",
      L"Source [K4]: Chimney height can not be set for an area source",
      L"Source [F5]: Unknown facility: Nowhere",
      L"Source [S5]: Number of building widths does not match the ones specified in number of segments",
      L"Source [T5]: Building heights must be in the interval of 0 to 255",
      L"Source [U5]: Must specify no seg building lengths",
      L"Source [I6]: Date cell is not a date: tomorrow",
      L"Source [X6]: Unknown SearchKey1",
      L"Source [AC6]: To long string for Formula macro. Max is 19",
      L"Source [AF7]: Cell not empty",
      L"Source [AG7]: Unknown timevar",
      L"Source [AH7]: Emission cell value out of range [0,3.40282e+38]",
      L"Source [AI7]: Emission without unit",
      L"Source [AP7]: Unknown sub grp activity unit",
      L"Source [AN8]: Emission fac 1 has values but no Timevar; give one or empty the block",
      L"Source [AX8]: Var 2 is given after an empty Var cell; variables must stand without gaps",
      L"Source [A9]: To long string for Name. Max is 47",
  }));
  EXPECT_EQ(Lines(warnings), (Lines_{}));
  EXPECT_EQ(layout.SubCount(), 1);
  EXPECT_EQ(layout.Formula(0), 12);
  EXPECT_EQ(layout.Variables(0), 2);

  // The Save's reader takes the clean row and refuses the next with its place.
  CExcelReadSource reader;
  ASSERT_EQ(reader.Init(lists, &layout), 1) << Error();
  SourceRec rec;
  ASSERT_EQ(reader.Read(&rec), 1) << Error();
  EXPECT_EQ(rec.px, 1270000u);
  ASSERT_EQ(rec.emissions.Count(), 1);
  EXPECT_EQ(rec.emissions[0].emission, FLT_MAX);
  ASSERT_EQ(rec.activities.Count(), 1);
  EXPECT_EQ(rec.activities[0].novariable, 2);
  EXPECT_EQ(rec.activities[0].var[1], -2.0f);
  EXPECT_EQ(reader.Read(&rec), -1);
  EXPECT_NE(Error().find("Must specify none or both of (X2,Y2) (sheet Source, cell E3, row 3)"), std::string::npos)
      << Error();
}

TEST_F(SourceSheetTest, DamagedHeadingRowIsReported) {
  Put(L"Source", 0, 31, {L"Emission sub 1: Krypton"});
  Put(L"Source", 0, 40, {L"Emission fac 1: Unit"});  // a heading moved into the group block's place
  CExcelVerifySource verifier;
  ASSERT_EQ(verifier.Init(lists, &layout, errors, warnings), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{L"Source [AF1]: Unknown substance: Krypton",
                                   L"Source [AO1]: Heading should be \"Emission fac 1: Activity\", not \"Emission "
                                   L"fac 1: Unit\": the block's columns were moved or deleted"}));
  // (The Save's reader refusing it: tests/e2e RoundTrip.DamagedSourceHeadingsAreReportedAtTheirCellsAndStopTheSave.)
}

TEST_F(SourceSheetTest, WriterRefusesWhatTheSheetCannotShow) {
  CExcelWriteSource writer;
  ASSERT_EQ(writer.Init(lists), 1);
  SourceRec rec;
  rec.header.subs = {1};
  rec.header.subUsed = {0};
  ASSERT_EQ(writer.WriteHeader(rec), 0) << Error();
  wcscpy(rec.name, L"Stack");
  rec.x1 = rec.y1 = 5;
  rec.date = 250231;  // 31 February
  EXPECT_EQ(writer.Write(rec), -1);
  EXPECT_NE(Error().find("Source Stack: DATE 250231 is not a date the sheet can show"), std::string::npos) << Error();
  rec.date = 250228;
  SourceEmission* e = rec.emissions.Append();
  e->substance = 4;  // no heading entry for it
  e->timevar = 1;
  EXPECT_EQ(writer.Write(rec), -1);
  EXPECT_NE(Error().find("the listing heading has no free substance block for 4"), std::string::npos) << Error();
  e->substance = 1;
  EXPECT_EQ(writer.Write(rec), 1) << Error();
  EXPECT_EQ(Sheet(L"Source")->Get(0, 31).text, L"Emission sub 1: NOx");
  EXPECT_EQ(Sheet(L"Source")->Get(1, 32).text, L"Flat");
}

}  // namespace
