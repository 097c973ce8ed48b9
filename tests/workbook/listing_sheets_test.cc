// The listing kinds' sheets: the verifiers' findings, the Save readers' and the source writer's refusals. (The
// definition's lines and the emission lines read for a Save: tests/e2e RoundTrip.)
#include <cfloat>
#include <cwchar>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/record_list.h"
#include "catalogue/road_vehicle_def.h"
#include "sheet_fixture.h"
#include "workbook/company_sheet.h"
#include "workbook/road_vehicle_def_sheet.h"
#include "workbook/road_vehicle_sheet.h"
#include "workbook/roadtype_sheet.h"
#include "workbook/source_sheet.h"
#include "workbook/vehicle_sheet.h"

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
  Put(L"Company", 3, 0, {L"C", L"556-1", L"say \"hi\"", L"", L"Road\tX"});
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
  Put(L"Facility", 3, 0, {std::wstring(48, L'n'), L"1", L"2147483647"});
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
                               L"Facility [B5]: Cell holds an error or logical value, not a text or number",
                               L"Facility [A5]: Name cell holds the character U+20AC, which has no ISO 8859-1 form",
                               L"Facility [C5]: Empty Y1 cell",
                           }));
}

TEST_F(CompanySheetTest, ReadersGiveRecordsAndRefuseUnknownCompanies) {
  // (Whole facilities read for a Save: tests/e2e RoundTrip.LoadThenSaveLeavesTheServerAsItWas.) No company:
  Put(L"Facility", 1, 0, {L"Depot", L"5", L"6"});
  Put(L"Facility", 2, 0, {L"Yard", L"7", L"8", L"Nobody AB"});
  CExcelReadFacility reader;
  ASSERT_EQ(reader.Init(companies), 1) << Error();
  FacilityRec record;
  Alob alob;
  ASSERT_EQ(reader.Read(&record, &alob), 1) << Error();
  EXPECT_STREQ(record.company, L"");
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
  // A clean point source in row r: name, corners, facility, the chimney and house columns, no segments.
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
  // The layout the verifier found (one substance block, a function of two variables) is the reader's.
  CExcelReadSource reader;
  ASSERT_EQ(reader.Init(lists, &layout), 1) << Error();
  SourceRec rec;
  ASSERT_EQ(reader.Read(&rec), 1) << Error();
  ASSERT_EQ(rec.emissions.Count(), 1);
  EXPECT_EQ(rec.emissions[0].emission, FLT_MAX);
  ASSERT_EQ(rec.activities.Count(), 1);
  EXPECT_EQ(rec.activities[0].emfac, 12);
  ASSERT_EQ(rec.activities[0].novariable, 2);
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

class TrafficSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    substances.Add(L"NOx", 1);
    substances.Add(L"PM10", 3);
    for (int s = 1; s <= 11; ++s) speeds.Add((L"s" + std::to_wstring(s)).c_str(), s);
    vehicles.Add(L"Car", 1);
    roadVehicles.Add(L"PC", 1);
    ASSERT_TRUE(definition.Create(1));
    definition.SetName(0, L"Fuel");
    definition.List(0)->Add(L"Petrol", 0);
    definition.List(0)->Add(L"Diesel", 1);
  }

  // A well-formed vehicle at rows row .. row + 10 with NOx in column E.
  void PutVehicle(RW row, const std::wstring& name) {
    Put(L"Vehicle", row, 0, {name, L"1", L"7.1"});
    for (int s = 0; s < 11; ++s) Put(L"Vehicle", row + s, 3, {L"s" + std::to_wstring(s + 1), L"0.5"});
  }
  // A roadtype vehicle at rows row .. row + 3.
  void PutRoadtypeVehicle(RW row, const std::wstring& name, const std::wstring& vehicle) {
    Put(L"Roadtype", row, 0, {name, name.empty() ? L"" : L"4", vehicle, L"s2", L"s5"});
    for (COL c = 5; c < 41; ++c) Put(L"Roadtype", row, c, {L"100"});
    for (COL c = 41; c < 51; ++c) Put(L"Roadtype", row, c, {L"1"});
    for (RW d = 1; d <= 3; ++d) {
      for (COL c = 5; c < 29; ++c) Put(L"Roadtype", row + d, c, {L"90:1"});
    }
  }
  // A road vehicle's name row (D = 1: emission line in columns K..P).
  void PutRoadVehicle(RW row, std::initializer_list<std::wstring> cells) { Put(L"Road Vehicle", row, 0, cells); }

  CRecordList substances, speeds, vehicles, roadVehicles;
  CRoadVehicleDef definition;
};

TEST_F(TrafficSheetTest, VehicleVerifierFindings) {
  Put(L"Vehicle", 0, 4, {L"NOx", L"CO"});
  PutVehicle(1, L"Car with a much too long name");
  Put(L"Vehicle", 1, 1, {L"0"});
  Put(L"Vehicle", 2, 2, {L"heavy"});
  Put(L"Vehicle", 5, 3, {L"s99"});
  Sheet(L"Vehicle")->Set(6, 4, sheethost::Cell());  // NOx missing at speed 6
  Put(L"Vehicle", 7, 4, {L"abc"});
  Put(L"Vehicle", 8, 4, {L"2e9"});
  PutVehicle(12, L"Bus");
  for (RW r = 12; r < 23; ++r) Sheet(L"Vehicle")->Set(r, 4, sheethost::Cell());
  CExcelVerifyVehicle verifier;
  ASSERT_EQ(verifier.Init(substances, speeds, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Vehicle [F1]: Unknown substance: CO",
                               L"Vehicle [A2]: To long string for Name. Max is 19",
                               L"Vehicle [B2]: Invalid index",
                               L"Vehicle [C3]: Is heavy cell not a number",
                               L"Vehicle [D6]: Unknown speed: s99",
                               L"Vehicle [E7]: Inconsistent emission factors. Differs from first row of record.",
                               L"Vehicle [E8]: Emission factor cell not a number",
                               L"Vehicle [E9]: Emission factor cell value out of range [0,1e+09]",
                           }));
  EXPECT_EQ(Lines(warnings), (Lines_{L"Vehicle [13]: No emission factors defined"}));
}

TEST_F(TrafficSheetTest, RoadVehicleVerifierFindings) {
  Put(L"Road Vehicle", 0, 11, {L"Fuel"});
  PutRoadVehicle(1, {L"PC with a long name, 21", L"9.7", L"", L"2", L"1", L"1000000", L"4", L"-1", L"Ghost", L"", L"XX", L"Kerosene",
                     L"1", L"1", L"1", L"2e9"});
  Put(L"Road Vehicle", 2, 10, {L"NOx", L"Petrol", L"1", L"1", L"x", L"1"});
  PutRoadVehicle(3, {L"Bus", L"", L"", L"0", L"0", L"1", L"0", L"1", L"", L"an info of 20 chars.", L"NOx",
                     L"Diesel", L"1", L"1", L"1", L"1"});
  CExcelVerifyRoadVehicle verifier;
  ASSERT_EQ(verifier.Init(substances, definition, roadVehicles, 1, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 0) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Road Vehicle [A2]: To long string for Name. Max is 19",
                               L"Road Vehicle [B2]: Invalid index",
                               L"Road Vehicle [D2]: Is heavy cell value out of range [0,1]",
                               L"Road Vehicle [F2]: Weight cell value out of range [0,999999]",
                               L"Road Vehicle [G2]: Emission model cell value out of range [0,3]",
                               L"Road Vehicle [H2]: Flow equi cell value out of range [0,1e+09]",
                               L"Road Vehicle [I2]: Unknown road vehicle: Ghost",
                               L"Road Vehicle [K2]: Unknown substance: XX",
                               L"Road Vehicle [L2]: Unknown text for variable: Kerosene",
                               L"Road Vehicle [P2]: Stop and go cell value out of range [0,1e+09]",
                               L"Road Vehicle [O3]: Congested cell not a number",
                               L"Road Vehicle [B4]: Missing index",
                               L"Road Vehicle [J4]: To long string for Info. Max is 19",
                           }));
}

// An emission line in the first row has no vehicle: the readers stop at its
// empty name, and nothing of the sheet would be saved.
TEST_F(TrafficSheetTest, AnEmissionLineWithoutAVehicleIsReported) {
  Put(L"Road Vehicle", 1, 10, {L"NOx", L"Petrol", L"1", L"1", L"1", L"1"});
  PutRoadVehicle(2, {L"PC", L"1", L"", L"0", L"1", L"1500", L"1", L"1"});
  CExcelVerifyRoadVehicle verifier;
  ASSERT_EQ(verifier.Init(substances, definition, roadVehicles, 1, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 0) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{L"Road Vehicle [A2]: row 2 and below would not be saved: cell A2 is empty"}));
  CExcelReadRoadVehicle reader;
  ASSERT_EQ(reader.Init(substances, 1, roadVehicles), 1) << Error();
  RoadVehicleRec record;
  CodeString code;
  EXPECT_EQ(reader.Read(&record, &code), -1);
  EXPECT_EQ(Error(), "row 2 and below would not be saved: cell A2 is empty (sheet Road Vehicle, cell A2, row 2).");
}

TEST_F(TrafficSheetTest, HeadingAndDefinitionFindings) {
  // A 252nd substance column, and a two-word class text an emission line cannot carry.
  for (COL c = 4; c < 4 + 252; ++c) Put(L"Vehicle", 0, c, {L"NOx"});
  CExcelVerifyVehicle vehicles;
  ASSERT_EQ(vehicles.Init(substances, speeds, errors, warnings), 1) << Error();
  Put(L"Road Vehicle Def.", 3, 0, {L"Euro class", L"Euro4", L"Euro 5"});
  CExcelVerifyRoadVehicleDef def;
  ASSERT_EQ(def.Init(1, errors, warnings), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{L"Vehicle [IV1]: Too many substances. Maximum is 251.",
                                   L"Road Vehicle Def. [C4]: Class text cell holds a blank, which a one-word field "
                                   L"cannot carry"}));
}

TEST_F(TrafficSheetTest, RoadtypeVerifierFindings) {
  PutRoadtypeVehicle(1, L"", L"Truck");
  Put(L"Roadtype", 1, 3, {L"s0"});
  Put(L"Roadtype", 1, 5, {L"9000", L"12000", L"12000:1", L"50:7"});
  Put(L"Roadtype", 1, 29, {L"10000"});
  Put(L"Roadtype", 1, 41, {L"-1"});
  Put(L"Roadtype", 3, 5, {L"12000"});  // Saturday
  for (RW v = 0; v < 11; ++v) PutRoadtypeVehicle(5 + 4 * v, v == 0 ? L"Ring" : L"", L"Car");
  CExcelVerifyRoadtype verifier;
  ASSERT_EQ(verifier.Init(vehicles, speeds, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 0) << Error();  // the eleventh vehicle ends the sheet
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Roadtype [A2]: Missing roadtype name",
                               L"Roadtype [B2]: Missing index",
                               L"Roadtype [C2]: Unknown vehicle",
                               L"Roadtype [D2]: Unknown min speed",
                               L"Roadtype [G2]: Typeday (Mon-Thu) cell value out of range [0,9999] 12000",
                               L"Roadtype [I2]: Typeday (Mon-Thu) cell value out of range [0,3] 7",
                               L"Roadtype [AD2]: Month cell value out of range [0,9999]",
                               L"Roadtype [AP2]: Scenario cell value out of range [0,9999]",
                               L"Roadtype [F4]: Typeday (Sat) cell value out of range [0,9999] 12000",
                               L"Roadtype [B46]: Too many vehicles. Only 10 per roadtype allowed.",
                           }));
}

TEST_F(TrafficSheetTest, SaveReadersRefuseWhatRecordsCannotCarry) {
  PutRoadVehicle(1, {L"PC", L"1", L"", L"2", L"1", L"1500", L"1", L"1", L"", L"", L"NOx", L"Petrol", L"1", L"1", L"1", L"1"});
  CExcelReadRoadVehicle reader;
  ASSERT_EQ(reader.Init(substances, 1, roadVehicles), 1) << Error();
  RoadVehicleRec record;
  CodeString code;
  EXPECT_EQ(reader.Read(&record, &code), -1);
  EXPECT_EQ(Error(), "Only 0 or 1 are valid values: PC (sheet Road Vehicle, cell D2, row 2).");
  Put(L"Road Vehicle", 1, 3, {L"1"});
  Sheet(L"Road Vehicle")->Set(1, 14, sheethost::Cell());
  CExcelReadRoadVehicle again;
  ASSERT_EQ(again.Init(substances, 1, roadVehicles), 1) << Error();
  ASSERT_EQ(again.Read(&record, &code), 1) << Error();
  std::wstring line;
  EXPECT_EQ(again.ReadEmFac(&line), -1);
  EXPECT_EQ(Error(), "Missing or malformed value in an emission line of road vehicle: PC (sheet Road Vehicle, cell O2, "
                     "row 2).");

  for (RW v = 0; v < 11; ++v) PutRoadtypeVehicle(1 + 4 * v, v == 0 ? L"Ring" : L"", L"Car");
  CExcelReadRoadtype roadtypes;
  ASSERT_EQ(roadtypes.Init(vehicles, speeds), 1) << Error();
  std::unique_ptr<RoadtypeRec> roadtype(new RoadtypeRec());
  EXPECT_EQ(roadtypes.Read(roadtype.get()), -1);
  EXPECT_EQ(Error(), "To many vehicles specified (sheet Roadtype, cell C42, row 42).");

  Put(L"Vehicle", 0, 4, {L"NOx"});
  PutVehicle(1, L"Car");
  Put(L"Vehicle", 4, 4, {L"0,5"});
  CExcelReadVehicle vehicleReader;
  ASSERT_EQ(vehicleReader.Init(substances, speeds), 1) << Error();
  std::unique_ptr<VehicleRec> vehicle(new VehicleRec());
  EXPECT_EQ(vehicleReader.Read(vehicle.get(), &code), -1);
  EXPECT_EQ(Error(), "Emission factor cell not a number: 0,5 (sheet Vehicle, cell E5, row 5).");
}

}  // namespace
