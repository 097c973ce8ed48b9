// The resource sheets: limits, ends and refusals of their writers and readers, the lists rebuilt.
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/edb_rsrc_rows.h"
#include "host/verification_fixture.h"
#include "workbook/edb_rsrc_update_idx.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

using sheethost::Cell;

// The workbook of the verification tests (catalogue lists emptied around each test), with the three resource sheets.
class RsrcSheetsTest : public VerificationTest {
 protected:
  void SetUp() override {
    VerificationTest::SetUp();
    stt = Sheet(SpeedTempScenSheet);
    units = Sheet(UnitsSheet);
    rsrc = Sheet(RsrcSheet);
  }
  using SheetTest::Put;

  sheethost::Sheet* stt = nullptr;
  sheethost::Sheet* units = nullptr;
  sheethost::Sheet* rsrc = nullptr;
};

// (A whole file through these sheets and back: tests/e2e RoundTrip.ResourceFileKeepsEveryLineOrNamesIt.)
TEST_F(RsrcSheetsTest, LimitsEndsAndRefusals) {
  std::wstring full(RsrcTextSize - 1, L'f');
  {
    CExcelWriteSpeedTempScen names;
    EXPECT_EQ(names.Write(1, L"x"), -1);
    EXPECT_EQ(Error(), "Could not write cell: (1 1).");
    EXPECT_EQ(names.Init(0), -1);
    EXPECT_EQ(Error(), "Only comns 1,2,3 are valid for SpeedTempScen");
    ASSERT_EQ(names.Init(ScenarioColumn), 1);
    ASSERT_EQ(names.Write(0, L"no row 0"), 1);
    ASSERT_EQ(names.Write(10, full.c_str()), 1);
    CExcelWriteUnits units;
    EXPECT_EQ(units.Init(1), -1);
    EXPECT_EQ(Error(), "Only columns 0,2,4,6 are valid for Units");
    ASSERT_EQ(units.Init(UnitSearchColumn), 1);
    for (uint16_t n : {0, 1, 3}) ASSERT_EQ(units.Write(n, n == 1 ? full.c_str() : L"u", full.c_str()), 1);
  }
  EXPECT_TRUE(stt->Get(0, ScenarioColumn).IsEmpty());
  ASSERT_TRUE(stt->Set(11, ScenarioColumn, Cell::Str(L"beyond the last scenario")));
  CExcelReadSpeedTempScen names;
  EXPECT_EQ(names.Init(4), -1);
  EXPECT_EQ(Error(), "Only comns 1,2,3 are valid for SpeedTempScen");
  ASSERT_EQ(names.Init(ScenarioColumn), 1);
  RsrcNameRow name;
  for (uint16_t n = 1; n <= 10; ++n) {  // every number, named or not
    ASSERT_EQ(names.Read(&name), 1);
    EXPECT_EQ(name.number, n);
    EXPECT_EQ(std::wstring(name.name), n == 10 ? full : L"");
  }
  EXPECT_EQ(names.Read(&name), 0);
  // Units are numbered from 0 and end at the first empty name.
  CExcelReadUnits units;
  ASSERT_EQ(units.Init(UnitSearchColumn), 1);
  RsrcUnitRow unit;
  ASSERT_EQ(units.Read(&unit), 1);
  ASSERT_EQ(units.Read(&unit), 1);
  EXPECT_EQ(unit.number, 1);
  EXPECT_EQ(std::wstring(unit.name) + std::wstring(unit.factor), full + full);
  EXPECT_EQ(units.Read(&unit), 0);
}

TEST_F(RsrcSheetsTest, FreeSettingsEndAtTheFirstEmptyTag) {
  {
    CExcelWriteRsrc writer;
    ASSERT_EQ(writer.Init(), 1);
    ASSERT_EQ(writer.Write(0, L"Tag", L"Value"), 1);
    for (uint16_t r = 1; r <= 40; ++r) ASSERT_EQ(writer.Write(r, (L"T" + std::to_wstring(r)).c_str(), L""), 1);
    ASSERT_EQ(writer.Write(42, L"after a gap", L"x"), 1);
  }
  EXPECT_EQ(rsrc->Get(0, 1), Cell::Str(L"Value"));
  CExcelReadRsrc reader;
  ASSERT_EQ(reader.Init(), 1);
  RsrcFreeRow back;
  for (uint16_t r = 1; r <= 40; ++r) {
    ASSERT_EQ(reader.Read(&back), 1);
    EXPECT_EQ(back.row, r);
  }
  EXPECT_EQ(reader.Read(&back), 0);
}

TEST_F(RsrcSheetsTest, ResourceListsRebuiltFromTheSheets) {
  Put(SpeedTempScenSheet, 1, SpeedColumn, {L"30 km/h"});
  Put(SpeedTempScenSheet, 3, SpeedColumn, {L"70 km/h"});
  Put(SpeedTempScenSheet, 2, TemperatureColumn, {L"-10 C"});
  Put(SpeedTempScenSheet, 10, ScenarioColumn, {L"last"});
  Put(UnitsSheet, 1, UnitSubColumn, {L"ton/year", L"1.0", L"%", L"1.0", L"ton/year", L"1.0"});
  Put(UnitsSheet, 2, UnitSubColumn, {L"kg/year", L"1000"});
  Put(UnitsSheet, 3, UnitSubGrpEmColumn, {L"g/s", L"31.5"});  // after a gap: not seen
  SpeedList.Add(L"stale", 99);
  EXPECT_EQ(EdbRsrcUpdateIdx(), 0) << Error();
  EXPECT_EQ(Pairs(SpeedList), L"30 km/h=1,=2,70 km/h=3,=4,=5,=6,=7,=8,=9,=10,=11");
  EXPECT_EQ(TemperatureList.Count(), 30);
  EXPECT_EQ(std::wstring(TemperatureList.NameOf(2)), L"-10 C");
  EXPECT_EQ(std::wstring(ScenarioList.NameOf(10)), L"last");
  EXPECT_EQ(Pairs(UnitSubList), L"ton/year=0,kg/year=1");
  EXPECT_EQ(Pairs(UnitSubGrpList), L"%=0");
  EXPECT_EQ(Pairs(UnitSubGrpEmList), L"ton/year=0");
  EXPECT_TRUE(UnitSubList.IsSorted());
  EXPECT_EQ(UnitSubList.SortKey(), CRecordList::kByIndex);
  host.Book().RemoveSheet(UnitsSheet);
  EXPECT_EQ(EdbRsrcUpdateIdx(), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Units.");
}

}  // namespace
