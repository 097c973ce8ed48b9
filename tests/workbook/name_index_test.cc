// The name-index readers: the pairs they list and the issues they report, per sheet.
#include <string>

#include "catalogue/record_list.h"
#include "catalogue/record_list_key.h"
#include "catalogue/road_vehicle_def.h"
#include "port/xlcall.h"
#include "sheet_fixture.h"
#include "workbook/read_company_idx.h"
#include "workbook/read_facility_idx.h"
#include "workbook/read_one_row_idx.h"
#include "workbook/read_road_vehicle_def_idx.h"
#include "workbook/read_road_vehicle_idx.h"
#include "workbook/read_roadtype_idx.h"
#include "workbook/read_sub_idx.h"
#include "workbook/read_timevar_idx.h"
#include "workbook/read_vehicle_idx.h"

namespace {

class NameIndexTest : public SheetTest {
 protected:
  // Runs a reader over a list: Init, then Update; the pairs taken.
  template <class Reader, class... Args>
  std::wstring Updated(Reader& reader, CRecordList& list, Args... args) {
    EXPECT_EQ(reader.Init(errors, warnings), 1) << Error();
    EXPECT_EQ(reader.Update(list, args...), 1) << Error();
    return Pairs(list);
  }
};

TEST_F(NameIndexTest, OneRowSheetsIndexesDuplicatesAndLongNames) {
  const wchar_t* sheet = L"Emission factor";
  Put(sheet, 1, 0, {L"CO2", L"3"});
  Put(sheet, 2, 0, {L"CO2", L"4"});
  Put(sheet, 3, 0, {L"NOx", L"1"});
  Put(sheet, 4, 0, {L"NOx", L"1"});  // the same pair again
  Put(sheet, 5, 0, {L"SO2", L"1"});  // another name with the same index is fine
  Put(sheet, 6, 0, {L"a", L"abc"});
  PutNum(sheet, 7, 1, 0);
  Put(sheet, 7, 0, {L"b"});
  Put(sheet, 8, 0, {L"c"});
  Put(sheet, 9, 0, {L"d", L"-1"});  // would read as "not in the list"
  Put(sheet, 10, 0, {L"e", L" 12abc"});  // an index is a whole number and nothing else
  Put(sheet, 11, 0, {std::wstring(20, L'n'), L"8"});
  Put(sheet, 12, 0, {std::wstring(19, L'm'), L"9"});
  CRecordList list;
  CExcelReadSubgrpIdx reader;
  EXPECT_EQ(Updated(reader, list), L"CO2=3,CO2=4,NOx=1,SO2=1,a=0,b=0,c=0,d=0,e=0," + std::wstring(20, L'n') +
                                        L"=8," + std::wstring(19, L'm') + L"=9");
  EXPECT_EQ(Lines(errors), (Lines_{L"Emission factor [A3]: Duplicate substance group name",
                                   L"Emission factor [B7]: Invalid index", L"Emission factor [B8]: Invalid index",
                                   L"Emission factor [B9]: Missing index", L"Emission factor [B10]: Invalid index",
                                   L"Emission factor [B11]: Invalid index",
                                   L"Emission factor [A12]: Emission factor name can only be 19 characters"}));
}

TEST_F(NameIndexTest, EndTestFollowsTheFilledHeadings) {
  CExcelReadEmifacIdx missing;
  EXPECT_EQ(missing.Init(errors, warnings), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Emission function.");
  const wchar_t* sheet = L"Emission function";
  Put(sheet, 0, 0, {L"Name", L"Index", L"Unit", L"Formula"});
  Put(sheet, 1, 0, {L"f", L"1"});
  Put(sheet, 2, 3, {L"left behind", L"", L"under no heading"});
  Put(sheet, 4, 0, {L"after the end"});
  CRecordList list;
  CExcelReadEmifacIdx reader;
  EXPECT_EQ(Updated(reader, list), L"f=1");
  EXPECT_EQ(Lines(errors), (Lines_{L"Emission function [D3]: Missing name or garbage data in row."}));
  // A value under an empty heading is not seen.
  errors.Clear();
  list.Clear();
  Sheet(sheet)->Clear(2, 3);
  CExcelReadEmifacIdx again;
  Updated(again, list);
  EXPECT_EQ(errors.Count(), 0);
}

TEST_F(NameIndexTest, SpacedRecordsOfTimevarsAndVehicles) {
  const wchar_t* sheet = L"Road timevar";
  Put(sheet, 1, 0, {std::wstring(19, L'a'), L"1"});
  Put(sheet, 2, 0, {L"stray"});
  Put(sheet, 4, 1, {L"stray"});
  Put(sheet, 5, 0, {std::wstring(20, L'b'), L"2"});
  Put(sheet, 9, 40, {L"garbage"});
  CRecordList list;
  CExcelReadTimevarIdx reader;
  ASSERT_EQ(reader.Init(1, errors, warnings), 1);
  ASSERT_EQ(reader.Update(list), 1) << Error();
  EXPECT_EQ(reader.Records(), 2);
  EXPECT_EQ(Pairs(list), std::wstring(19, L'a') + L"=1," + std::wstring(20, L'b') + L"=2");
  EXPECT_EQ(Lines(errors), (Lines_{L"Road timevar [A3]: Garbage data. Should be empty.",
                                   L"Road timevar [B5]: Garbage data. Should be empty.",
                                   L"Road timevar [A6]: Timevar name can only be 19 characters",
                                   L"Road timevar [AO10]: Missing name or garbage data in row."}));
  CExcelReadTimevarIdx source;
  EXPECT_EQ(source.Init(0, errors, warnings), -1);  // kind 0 chooses "Source timevar", which is missing
  EXPECT_EQ(Error(), "Couldn't set sheet Source timevar.");

  errors.Clear();
  list.Clear();
  sheet = L"Vehicle";
  Put(sheet, 1, 0, {L"car", L"1"});
  Put(sheet, 11, 1, {L"x"});
  Put(sheet, 12, 0, {L"bus", L"2"});
  Put(sheet, 23, 254, {L"far right"});
  CExcelReadVehicleIdx vehicles;
  EXPECT_EQ(Updated(vehicles, list), L"car=1,bus=2");
  EXPECT_EQ(vehicles.Records(), 2);
  EXPECT_EQ(Lines(errors), (Lines_{L"Vehicle [B12]: Garbage data. Should be empty.",
                                   L"Vehicle [IU24]: Missing name or garbage data in row."}));
  CExcelReadVehicleIdx failing;
  ASSERT_EQ(failing.Init(errors, warnings), 1);
  host.FailNextCall(xlretAbort, xlCoerce);
  EXPECT_EQ(failing.Update(list), -1);
  EXPECT_EQ(Error(), "Couldn't read cell: (1, 0). Error 1, sheet Vehicle.");
}

TEST_F(NameIndexTest, SubstancesAndSearchkeysUseTheRowAsIndex) {
  const wchar_t* sheet = L"Substance";
  Put(sheet, 1, 1, {L"NOx"});
  Put(sheet, 2, 1, {L"-"});
  Put(sheet, 4, 1, {L"CO2"});  // after an empty row
  Put(sheet, 5, 1, {L"NOx"});
  Put(sheet, 6, 1, {std::wstring(40, L'l')});  // no length limit for substances
  Put(sheet, 1023, 1, {L"last"});
  Put(sheet, 1024, 1, {L"one too many"});
  sheet = L"Searchkey";
  Put(sheet, 1, 3, {std::wstring(32, L'k')});
  Put(sheet, 2, 3, {std::wstring(31, L'k')});
  Put(sheet, 64, 3, {L"beyond"});
  Put(sheet, 127, 2, {L"last of two"});
  CRecordList lists[3];
  for (int32_t kind : {0, 3, 2}) {
    CExcelReadSubIdx reader;
    ASSERT_EQ(reader.Init(kind, errors, warnings), 1);
    ASSERT_EQ(reader.Update(lists[kind == 0 ? 0 : kind - 1]), 1);
  }
  EXPECT_EQ(Pairs(lists[0]), L"NOx=1,CO2=4,NOx=5," + std::wstring(40, L'l') + L"=6,last=1023");
  EXPECT_EQ(Pairs(lists[2]), std::wstring(32, L'k') + L"=1," + std::wstring(31, L'k') + L"=2");
  EXPECT_EQ(Pairs(lists[1]), L"last of two=127");
  EXPECT_EQ(Lines(warnings), (Lines_{L"Substance [B6]: Duplicate searchkey1"}));
  EXPECT_EQ(Lines(errors), (Lines_{L"Substance [B1025]: Can only have 1024 number of Searchkey1",
                                   L"Searchkey [D2]: Searchkey can only be 31 characters",
                                   L"Searchkey [D65]: Can only have 64 number of Searchkey3"}));
  CExcelReadSubIdx bad;
  EXPECT_EQ(bad.Init(6, errors, warnings), -1);
  EXPECT_EQ(Error(), "Unknown sub column: 6");
  EXPECT_EQ(bad.Init(-1, errors, warnings), -1);
}

TEST_F(NameIndexTest, RoadVehicleDefinition) {
  const wchar_t* sheet = L"Road Vehicle Def.";
  Put(sheet, 0, 0, {L"heading"});
  Put(sheet, 3, 0, {L"Size", L"a", L"b", L"a", L"c"});
  Put(sheet, 4, 0, {L"Fuel", L"", L"after a gap"});
  Put(sheet, 6, 0, {L"after the dimensions"});
  CRoadVehicleDef def;
  def.Create(7);  // an earlier definition is replaced
  CExcelReadRoadVehicleDefIdx reader;
  ASSERT_EQ(reader.Init(errors, warnings), 1);
  ASSERT_EQ(reader.Update(def), 1);
  ASSERT_EQ(def.Dimensions(), 2);
  EXPECT_STREQ(def.Name(0), L"Size");
  EXPECT_STREQ(def.Name(1), L"Fuel");
  EXPECT_EQ(Pairs(*def.List(0)), L"a=0,b=1,c=3");
  EXPECT_EQ(def.List(1)->Count(), 0);
  EXPECT_EQ(Lines(errors), (Lines_{L"Road Vehicle Def. [D4]: Duplicate text",
                                   L"Road Vehicle Def. [B5]: A dimension must have at least one text"}));
}

TEST_F(NameIndexTest, RoadVehiclesWithContinuationRows) {
  const wchar_t* sheet = L"Road Vehicle";
  // Two dimensions: columns K..Q (10..16) carry data.
  for (RW row : {1, 2, 3, 4}) {
    for (COL c = 10; c <= 16; ++c) PutNum(sheet, row, c, c);
  }
  Put(sheet, 1, 0, {L"rv1", L"1"});
  Put(sheet, 3, 4, {L"bad"});  // garbage on a continuation row
  Sheet(sheet)->Clear(3, 12);
  Put(sheet, 4, 0, {std::wstring(20, L'r'), L"2"});
  Put(sheet, 6, 0, {L"not reached"});  // row 5 is empty and ends the data
  CRecordList list;
  CExcelReadRoadVehicleIdx reader;
  EXPECT_EQ(Updated(reader, list, 2), L"rv1=1," + std::wstring(20, L'r') + L"=2");
  EXPECT_EQ(reader.Records(), 2);
  EXPECT_EQ(Lines(errors), (Lines_{L"Road Vehicle [E4]: Garbage data.", L"Road Vehicle [M4]: No data.",
                                   L"Road Vehicle [A5]: RoadVehicle name can only be 19 characters"}));
  Sheet(sheet)->ClearAll();
  errors.Clear();
  list.Clear();
  Put(sheet, 1, 15, {L"orphan"});
  Put(sheet, 1, 20, {L"beyond the last column"});
  CExcelReadRoadVehicleIdx orphan;
  EXPECT_EQ(Updated(orphan, list, 1), L"");
  EXPECT_EQ(Lines(errors), (Lines_{L"Road Vehicle [P2]: Missing name or garbage data in row."}));
}

TEST_F(NameIndexTest, RoadtypesTakeOneVehiclePerFourRows) {
  const wchar_t* sheet = L"Roadtype";
  Put(sheet, 1, 0, {L"motorway", L"1", L"car"});
  Put(sheet, 3, 2, {L"stray"});  // between vehicle rows
  Put(sheet, 5, 2, {L"bus"});    // a second vehicle
  Put(sheet, 9, 0, {L"street", L"2"});  // the next record, without a vehicle
  Put(sheet, 13, 2, {L"car"});
  Put(sheet, 17, 3, {L"garbage"});  // row 17: empty in A and C, ends the data
  CRecordList list;
  CExcelReadRoadtypeIdx reader;
  EXPECT_EQ(Updated(reader, list), L"motorway=1,street=2");
  EXPECT_EQ(reader.Records(), 2);
  EXPECT_EQ(reader.Vehicles(), 2);
  EXPECT_EQ(Lines(errors), (Lines_{L"Roadtype [C4]: Garbage data in cell", L"Roadtype [C10]: Missing vehicle name",
                                   L"Roadtype [D18]: Missing name or garbage data in row."}));
}

TEST_F(NameIndexTest, CompaniesAndFacilitiesByKey) {
  const wchar_t* sheet = L"Company";
  Put(sheet, 0, 0, {L"Name", L"ID"});
  Put(sheet, 1, 0, {L"Acme", L"C-1"});
  Put(sheet, 2, 0, {L"Acme", L"C-1"});  // same key: skipped
  Put(sheet, 3, 0, {L"Acme", L"C-2"});
  Put(sheet, 4, 0, {std::wstring(32, L'c'), L"17"});
  Put(sheet, 5, 0, {std::wstring(31, L'd')});
  sheet = L"Facility";
  Put(sheet, 0, 0, {L"Name", L"X", L"Y"});
  Put(sheet, 1, 0, {L"Plant", L"6400000", L"1300000"});
  Put(sheet, 2, 0, {L"Plant", L"6400000", L"1300000"});
  Put(sheet, 3, 0, {L"Plant", L"6400001", L"1300000"});
  Put(sheet, 4, 0, {L"Mill", L"", L"y"});
  Put(sheet, 5, 0, {L"Kiln", L"-3", L"2.5"});  // a fraction is no coordinate
  CRecordListKey companies;
  CRecordListKey facilities;
  CExcelReadCompanyIdx companyReader;
  ASSERT_EQ(companyReader.Init(errors, warnings), 1);
  ASSERT_EQ(companyReader.Update(companies), 1);
  CExcelReadFacilityIdx facilityReader;
  ASSERT_EQ(facilityReader.Init(errors, warnings), 1);
  ASSERT_EQ(facilityReader.Update(facilities), 1);
  EXPECT_EQ(companies.Count(), 4);
  EXPECT_STREQ(companies.FindKey(std::wstring(32, L'c').c_str()), L"17");
  EXPECT_STREQ(companies.FindKey(std::wstring(31, L'd').c_str()), L"");
  EXPECT_EQ(facilities.Count(), 4);
  EXPECT_STREQ(facilities.FindName(L"6400001 1300000"), L"Plant");
  EXPECT_STREQ(facilities.FindKey(L"Mill"), L"0 0");
  EXPECT_EQ(Lines(errors), (Lines_{L"Company [A4]: Duplicate company name",
                                   L"Company [A5]: Company name can only be 32 characters",
                                   L"Company [B6]: Missing index", L"Facility [A4]: Duplicate facility",
                                   L"Facility [B5]: Missing x coordinate", L"Facility [C5]: Invalid y coordinate",
                                   L"Facility [B6]: Invalid x coordinate", L"Facility [C6]: Invalid y coordinate"}));
}

}  // namespace
