// The name-index readers: the pairs they put into the catalogue lists and the
// issues they report (duplicates, missing and invalid indexes, long names,
// garbage where a sheet's data ends), for every kind of sheet.
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

using sheethost::Cell;

class NameIndexTest : public SheetTest {
 protected:
  sheethost::Sheet* Sheet(const wchar_t* name) {
    auto* s = host.Book().FindSheet(name);
    return s ? s : AddSheet(name);
  }
  void Put(const wchar_t* sheet, RW row, COL column, const std::wstring& text) {
    ASSERT_TRUE(Sheet(sheet)->Set(row, column, Cell::Str(text)));
  }
  void PutNum(const wchar_t* sheet, RW row, COL column, double value) {
    ASSERT_TRUE(Sheet(sheet)->Set(row, column, Cell::Num(value)));
  }
  std::wstring Pairs(CRecordList& list) {
    std::wstring all;
    wchar_t name[256];
    int32_t index = 0;
    for (int32_t first = 1; list.ListWithIndex(first, name, 256, &index); first = 0) {
      all += std::wstring(all.empty() ? L"" : L",") + name + L"=" + std::to_wstring(index);
    }
    return all;
  }
  std::vector<std::wstring> ErrorLines() { return Lines(errors); }
  std::vector<std::wstring> WarningLines() { return Lines(warnings); }

  IssueList errors;
  IssueList warnings;
};

using Lines_ = std::vector<std::wstring>;

TEST_F(NameIndexTest, EmissionFunctionsDuplicatesAndSameIndex) {
  Put(L"Emission function", 0, 0, L"Name");
  Put(L"Emission function", 1, 0, L"CO2");
  PutNum(L"Emission function", 1, 1, 3);
  Put(L"Emission function", 2, 0, L"CO2");
  PutNum(L"Emission function", 2, 1, 4);
  Put(L"Emission function", 3, 0, L"NOx");
  PutNum(L"Emission function", 3, 1, 1);
  Put(L"Emission function", 4, 0, L"NOx");
  PutNum(L"Emission function", 4, 1, 1);
  Put(L"Emission function", 5, 0, L"SO2");
  PutNum(L"Emission function", 5, 1, 1);  // another name with the same index is fine
  CRecordList list;
  {
    CExcelReadEmifacIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1) << Error();
  }
  EXPECT_EQ(Pairs(list), L"CO2=3,CO2=4,NOx=1,SO2=1");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Emission function [A3]: Duplicate emission factor name"}));
}

TEST_F(NameIndexTest, MissingAndInvalidIndexesAddTheNameWithZero) {
  const wchar_t* sheet = L"Emission factor";
  Put(sheet, 1, 0, L"a");
  Put(sheet, 1, 1, L"abc");
  Put(sheet, 2, 0, L"b");
  PutNum(sheet, 2, 1, 0);
  Put(sheet, 3, 0, L"c");
  Put(sheet, 4, 0, L"d");
  PutNum(sheet, 4, 1, -1);  // would read as "not in the list"
  Put(sheet, 5, 0, L"e");
  Put(sheet, 5, 1, L" 12abc");
  Put(sheet, 6, 0, std::wstring(20, L'n'));
  PutNum(sheet, 6, 1, 8);
  Put(sheet, 7, 0, std::wstring(19, L'm'));
  PutNum(sheet, 7, 1, 9);
  CRecordList list;
  {
    CExcelReadSubgrpIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1) << Error();
  }
  EXPECT_EQ(Pairs(list), L"a=0,b=0,c=0,d=0,e=12," + std::wstring(20, L'n') + L"=8," +
                             std::wstring(19, L'm') + L"=9");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Emission factor [B2]: Invalid index", L"Emission factor [B3]: Invalid index",
                                  L"Emission factor [B4]: Missing index", L"Emission factor [B5]: Invalid index",
                                  L"Emission factor [A7]: Emission factor name can only be 19 characters"}));
}

TEST_F(NameIndexTest, EndTestFollowsTheFilledHeadings) {
  const wchar_t* sheet = L"Emission function";
  Put(sheet, 0, 0, L"Name");
  Put(sheet, 0, 1, L"Index");
  Put(sheet, 0, 2, L"Unit");
  Put(sheet, 0, 3, L"Formula");
  Put(sheet, 1, 0, L"f");
  PutNum(sheet, 1, 1, 1);
  Put(sheet, 2, 3, L"left behind");
  Put(sheet, 2, 5, L"under no heading");
  Put(sheet, 4, 0, L"after the end");
  CRecordList list;
  {
    CExcelReadEmifacIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1);
  }
  EXPECT_EQ(Pairs(list), L"f=1");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Emission function [D3]: Missing name or garbage data in row."}));

  // A value under an empty heading is not seen.
  errors.Clear();
  Sheet(sheet)->Clear(2, 3);
  list.Clear();
  CExcelReadEmifacIdx again;
  ASSERT_EQ(again.Init(errors, warnings), 1);
  ASSERT_EQ(again.Update(list), 1);
  EXPECT_TRUE(ErrorLines().empty());
}

TEST_F(NameIndexTest, TimevarsTakeFourRowsAndCheckTheirLength) {
  const wchar_t* sheet = L"Road timevar";
  Put(sheet, 1, 0, std::wstring(19, L'a'));
  PutNum(sheet, 1, 1, 1);
  Put(sheet, 2, 0, L"stray");
  Put(sheet, 4, 1, L"stray");
  Put(sheet, 5, 0, std::wstring(20, L'b'));
  PutNum(sheet, 5, 1, 2);
  Put(sheet, 9, 40, L"garbage");
  CRecordList list;
  int32_t records = 0;
  {
    CExcelReadTimevarIdx reader;
    ASSERT_EQ(reader.Init(1, errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1) << Error();
    records = reader.Records();
  }
  EXPECT_EQ(records, 2);
  EXPECT_EQ(Pairs(list), std::wstring(19, L'a') + L"=1," + std::wstring(20, L'b') + L"=2");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Road timevar [A3]: Garbage data. Should be empty.",
                                  L"Road timevar [B5]: Garbage data. Should be empty.",
                                  L"Road timevar [A6]: Timevar name can only be 19 characters",
                                  L"Road timevar [AO10]: Missing name or garbage data in row."}));
}

TEST_F(NameIndexTest, TimevarKindChoosesTheSheet) {
  Put(L"Source timevar", 1, 0, L"s");
  PutNum(L"Source timevar", 1, 1, 4);
  CRecordList list;
  CExcelReadTimevarIdx reader;
  ASSERT_EQ(reader.Init(0, errors, warnings), 1);
  ASSERT_EQ(reader.Update(list), 1);
  EXPECT_EQ(Pairs(list), L"s=4");
  CExcelReadTimevarIdx road;
  EXPECT_EQ(road.Init(2, errors, warnings), -1);  // no "Road timevar" sheet
  EXPECT_EQ(Error(), "Couldn't set sheet Road timevar.");
}

TEST_F(NameIndexTest, VehiclesTakeElevenRows) {
  const wchar_t* sheet = L"Vehicle";
  Put(sheet, 1, 0, L"car");
  PutNum(sheet, 1, 1, 1);
  Put(sheet, 11, 1, L"x");
  Put(sheet, 12, 0, L"bus");
  PutNum(sheet, 12, 1, 2);
  Put(sheet, 23, 254, L"far right");
  CRecordList list;
  {
    CExcelReadVehicleIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1);
    EXPECT_EQ(reader.Records(), 2);
  }
  EXPECT_EQ(Pairs(list), L"car=1,bus=2");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Vehicle [B12]: Garbage data. Should be empty.",
                                  L"Vehicle [IU24]: Missing name or garbage data in row."}));
}

TEST_F(NameIndexTest, SubstancesUseTheRowAsIndex) {
  const wchar_t* sheet = L"Substance";
  Put(sheet, 1, 1, L"NOx");
  Put(sheet, 2, 1, L"-");
  Put(sheet, 4, 1, L"CO2");  // after an empty row
  Put(sheet, 5, 1, L"NOx");
  Put(sheet, 6, 1, std::wstring(40, L'l'));  // no length limit for substances
  Put(sheet, 1023, 1, L"last");
  Put(sheet, 1024, 1, L"one too many");
  CRecordList list;
  {
    CExcelReadSubIdx reader;
    ASSERT_EQ(reader.Init(0, errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1);
  }
  EXPECT_EQ(Pairs(list), L"NOx=1,CO2=4,NOx=5," + std::wstring(40, L'l') + L"=6,last=1023");
  EXPECT_EQ(WarningLines(), (Lines_{L"Substance [B6]: Duplicate searchkey1"}));
  EXPECT_EQ(ErrorLines(), (Lines_{L"Substance [B1025]: Can only have 1024 number of Searchkey1"}));
}

TEST_F(NameIndexTest, SearchkeysLimitsAndUnknownKinds) {
  const wchar_t* sheet = L"Searchkey";
  Put(sheet, 1, 3, std::wstring(32, L'k'));
  Put(sheet, 2, 3, std::wstring(31, L'k'));
  Put(sheet, 64, 3, L"beyond");
  Put(sheet, 127, 2, L"last of two");
  CRecordList three;
  CRecordList two;
  {
    CExcelReadSubIdx reader;
    ASSERT_EQ(reader.Init(3, errors, warnings), 1);
    ASSERT_EQ(reader.Update(three), 1);
    CExcelReadSubIdx second;
    ASSERT_EQ(second.Init(2, errors, warnings), 1);
    ASSERT_EQ(second.Update(two), 1);
  }
  EXPECT_EQ(Pairs(three), std::wstring(32, L'k') + L"=1," + std::wstring(31, L'k') + L"=2");
  EXPECT_EQ(Pairs(two), L"last of two=127");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Searchkey [D2]: Searchkey can only be 31 characters",
                                  L"Searchkey [D65]: Can only have 64 number of Searchkey3"}));
  CExcelReadSubIdx bad;
  EXPECT_EQ(bad.Init(6, errors, warnings), -1);
  EXPECT_EQ(Error(), "Unknown sub column: 6");
  EXPECT_EQ(bad.Init(-1, errors, warnings), -1);
}

TEST_F(NameIndexTest, RoadVehicleDefinition) {
  const wchar_t* sheet = L"Road Vehicle Def.";
  Put(sheet, 0, 0, L"heading");
  Put(sheet, 3, 0, L"Size");
  Put(sheet, 3, 1, L"a");
  Put(sheet, 3, 2, L"b");
  Put(sheet, 3, 3, L"a");
  Put(sheet, 3, 4, L"c");
  Put(sheet, 4, 0, L"Fuel");
  Put(sheet, 4, 2, L"after a gap");
  Put(sheet, 6, 0, L"after the dimensions");
  CRoadVehicleDef def;
  def.Create(7);  // an earlier definition is replaced
  {
    CExcelReadRoadVehicleDefIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(def), 1);
  }
  ASSERT_EQ(def.Dimensions(), 2);
  EXPECT_STREQ(def.Name(0), L"Size");
  EXPECT_STREQ(def.Name(1), L"Fuel");
  EXPECT_EQ(Pairs(*def.List(0)), L"a=0,b=1,c=3");
  EXPECT_EQ(def.List(1)->Count(), 0);
  EXPECT_EQ(ErrorLines(), (Lines_{L"Road Vehicle Def. [D4]: Duplicate text",
                                  L"Road Vehicle Def. [B5]: A dimension must have at least one text"}));
}

TEST_F(NameIndexTest, RoadVehiclesWithContinuationRows) {
  const wchar_t* sheet = L"Road Vehicle";
  // Two dimensions: columns K..Q (10..16) carry data.
  auto fillData = [&](RW row) {
    for (COL c = 10; c <= 16; ++c) PutNum(sheet, row, c, c);
  };
  Put(sheet, 1, 0, L"rv1");
  PutNum(sheet, 1, 1, 1);
  fillData(1);
  fillData(2);               // a continuation row
  fillData(3);
  Put(sheet, 3, 4, L"bad");  // garbage on a continuation row
  Sheet(sheet)->Clear(3, 12);
  Put(sheet, 4, 0, std::wstring(20, L'r'));
  PutNum(sheet, 4, 1, 2);
  fillData(4);
  Put(sheet, 6, 0, L"not reached");  // row 5 is empty and ends the data
  CRecordList list;
  {
    CExcelReadRoadVehicleIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list, 2), 1);
    EXPECT_EQ(reader.Records(), 2);
  }
  EXPECT_EQ(Pairs(list), L"rv1=1," + std::wstring(20, L'r') + L"=2");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Road Vehicle [E4]: Garbage data.", L"Road Vehicle [M4]: No data.",
                                  L"Road Vehicle [A5]: RoadVehicle name can only be 19 characters"}));
}

TEST_F(NameIndexTest, RoadVehiclesWithoutAFirstName) {
  const wchar_t* sheet = L"Road Vehicle";
  Put(sheet, 1, 15, L"orphan");
  Put(sheet, 1, 20, L"beyond the last column");
  CRecordList list;
  CExcelReadRoadVehicleIdx reader;
  ASSERT_EQ(reader.Init(errors, warnings), 1);
  ASSERT_EQ(reader.Update(list, 1), 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(ErrorLines(), (Lines_{L"Road Vehicle [P2]: Missing name or garbage data in row."}));
}

TEST_F(NameIndexTest, RoadtypesTakeOneVehiclePerFourRows) {
  const wchar_t* sheet = L"Roadtype";
  Put(sheet, 1, 0, L"motorway");
  PutNum(sheet, 1, 1, 1);
  Put(sheet, 1, 2, L"car");
  Put(sheet, 3, 2, L"stray");  // between vehicle rows
  Put(sheet, 5, 2, L"bus");    // a second vehicle
  Put(sheet, 9, 0, L"street");  // the next record, without a vehicle
  PutNum(sheet, 9, 1, 2);
  Put(sheet, 13, 2, L"car");
  Put(sheet, 17, 3, L"garbage");  // row 17: empty in A and C, ends the data
  CRecordList list;
  int32_t records = 0;
  {
    CExcelReadRoadtypeIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1) << Error();
    records = reader.Records();
    EXPECT_EQ(reader.Vehicles(), 2);
  }
  EXPECT_EQ(records, 2);
  EXPECT_EQ(Pairs(list), L"motorway=1,street=2");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Roadtype [C4]: Garbage data in cell", L"Roadtype [C10]: Missing vehicle name",
                                  L"Roadtype [D18]: Missing name or garbage data in row."}));
}

TEST_F(NameIndexTest, CompaniesKeyedByTheirId) {
  const wchar_t* sheet = L"Company";
  Put(sheet, 0, 0, L"Name");
  Put(sheet, 0, 1, L"ID");
  Put(sheet, 1, 0, L"Acme");
  Put(sheet, 1, 1, L"C-1");
  Put(sheet, 2, 0, L"Acme");
  Put(sheet, 2, 1, L"C-1");  // same key: skipped
  Put(sheet, 3, 0, L"Acme");
  Put(sheet, 3, 1, L"C-2");
  Put(sheet, 4, 0, std::wstring(32, L'c'));
  PutNum(sheet, 4, 1, 17);
  Put(sheet, 5, 0, std::wstring(31, L'd'));
  CRecordListKey list;
  {
    CExcelReadCompanyIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1);
  }
  EXPECT_EQ(list.Count(), 4);
  EXPECT_STREQ(list.FindKey(std::wstring(32, L'c').c_str()), L"17");
  EXPECT_STREQ(list.FindKey(std::wstring(31, L'd').c_str()), L"");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Company [A4]: Duplicate company name",
                                  L"Company [A5]: Company name can only be 32 characters",
                                  L"Company [B6]: Missing index"}));
}

TEST_F(NameIndexTest, FacilitiesKeyedByCoordinates) {
  const wchar_t* sheet = L"Facility";
  Put(sheet, 0, 0, L"Name");
  Put(sheet, 0, 1, L"X");
  Put(sheet, 0, 2, L"Y");
  Put(sheet, 1, 0, L"Plant");
  PutNum(sheet, 1, 1, 6400000);
  PutNum(sheet, 1, 2, 1300000);
  Put(sheet, 2, 0, L"Plant");
  PutNum(sheet, 2, 1, 6400000);
  PutNum(sheet, 2, 2, 1300000);
  Put(sheet, 3, 0, L"Plant");
  PutNum(sheet, 3, 1, 6400001);
  PutNum(sheet, 3, 2, 1300000);
  Put(sheet, 4, 0, L"Mill");
  Put(sheet, 4, 2, L"y");
  Put(sheet, 5, 0, L"Kiln");
  PutNum(sheet, 5, 1, -3);
  CRecordListKey list;
  {
    CExcelReadFacilityIdx reader;
    ASSERT_EQ(reader.Init(errors, warnings), 1);
    ASSERT_EQ(reader.Update(list), 1);
  }
  EXPECT_EQ(list.Count(), 4);
  EXPECT_STREQ(list.FindName(L"6400001 1300000"), L"Plant");
  EXPECT_STREQ(list.FindKey(L"Mill"), L"0 0");
  EXPECT_EQ(ErrorLines(), (Lines_{L"Facility [A4]: Duplicate facility", L"Facility [B5]: Missing x coordinate",
                                  L"Facility [C5]: Invalid y coordinate", L"Facility [B6]: Invalid x coordinate",
                                  L"Facility [C6]: Missing y coordinate"}));
}

TEST_F(NameIndexTest, MissingSheetsAndFailedReads) {
  CExcelReadEmifacIdx missing;
  EXPECT_EQ(missing.Init(errors, warnings), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Emission function.");

  Put(L"Vehicle", 1, 0, L"car");
  PutNum(L"Vehicle", 1, 1, 1);
  CRecordList list;
  CExcelReadVehicleIdx reader;
  ASSERT_EQ(reader.Init(errors, warnings), 1);
  host.FailNextCall(xlretAbort, xlCoerce);
  EXPECT_EQ(reader.Update(list), -1);
  EXPECT_EQ(Error(), "Couldn't read cell: (1, 0). Error 1, sheet Vehicle.");
}

}  // namespace
