// The resource sheets ("Speed-Temp-Scen", "Units", "Rsrc"): rows written and
// read back equal, the readers' numbering and ends, the resource lists
// rebuilt from the sheets, and a resource file taken through the sheets and
// back unchanged.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/edb_rsrc_rows.h"
#include "catalogue/edb_rsrc_tables.h"
#include "sheet_fixture.h"
#include "workbook/edb_rsrc_update_idx.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

using sheethost::Cell;

class RsrcSheetsTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    stt = AddSheet(SpeedTempScenSheet);
    units = AddSheet(UnitsSheet);
    rsrc = AddSheet(RsrcSheet);
  }
  void TearDown() override {
    for (CRecordList* list : {&SpeedList, &TemperatureList, &ScenarioList, &UnitSubList, &UnitSubGrpList,
                              &UnitSubGrpEmList}) {
      list->Clear();
    }
    SheetTest::TearDown();
  }

  static std::wstring Pairs(CRecordList& list) {
    std::wstring all;
    wchar_t name[RsrcTextSize];
    int32_t index = 0;
    for (int32_t first = 1; list.ListWithIndex(first, name, RsrcTextSize, &index); first = 0) {
      all += (all.empty() ? L"" : L",") + std::to_wstring(index) + L"=" + name;
    }
    return all;
  }

  sheethost::Sheet* stt = nullptr;
  sheethost::Sheet* units = nullptr;
  sheethost::Sheet* rsrc = nullptr;
};

std::wstring RandomText(std::mt19937& rng, size_t maxLength) {
  size_t n = std::uniform_int_distribution<size_t>(0, maxLength)(rng);
  std::wstring text;
  for (size_t i = 0; i < n; ++i) text += static_cast<wchar_t>(std::uniform_int_distribution<int>(0x20, 0xFF)(rng));
  return text;
}

TEST_F(RsrcSheetsTest, SpeedTempScenRowsReadBackByNumber) {
  std::mt19937 rng(17);
  for (int32_t column : {SpeedColumn, TemperatureColumn, ScenarioColumn}) {
    int32_t count = SpeedTempScenCount(column);
    std::vector<std::wstring> names(static_cast<size_t>(count) + 1);
    {
      CExcelWriteSpeedTempScen writer;
      ASSERT_EQ(writer.Init(column), 1);
      for (int32_t n = 1; n <= count; ++n) {
        names[static_cast<size_t>(n)] = n == 2 ? std::wstring(RsrcTextSize - 1, L'y') : RandomText(rng, 40);
        if (n == 5) names[5].clear();  // an unnamed number in the middle
        if (!names[static_cast<size_t>(n)].empty()) {
          ASSERT_EQ(writer.Write(static_cast<uint16_t>(n), names[static_cast<size_t>(n)].c_str()), 1);
        }
      }
      ASSERT_EQ(writer.Write(0, L"no row 0"), 1);
    }
    ASSERT_TRUE(stt->Set(count + 1, column, Cell::Str(L"beyond")));
    CExcelReadSpeedTempScen reader;
    ASSERT_EQ(reader.Init(column), 1);
    RsrcNameRow row;
    for (int32_t n = 1; n <= count; ++n) {
      ASSERT_EQ(reader.Read(&row), 1) << Error();
      EXPECT_EQ(row.number, n);
      EXPECT_EQ(std::wstring(row.name), names[static_cast<size_t>(n)]);
    }
    EXPECT_EQ(reader.Read(&row), 0);
  }
  EXPECT_TRUE(stt->Get(0, 1).IsEmpty());
  EXPECT_EQ(stt->Get(3, 2).kind, sheethost::CellKind::Text);

  CExcelReadSpeedTempScen bad;
  EXPECT_EQ(bad.Init(4), -1);
  EXPECT_EQ(Error(), "Only comns 1,2,3 are valid for SpeedTempScen");
  CExcelWriteSpeedTempScen badWriter;
  EXPECT_EQ(badWriter.Init(0), -1);
  EXPECT_EQ(Error(), "Only comns 1,2,3 are valid for SpeedTempScen");
}

TEST_F(RsrcSheetsTest, UnitRowsAreNumberedFromZero) {
  std::mt19937 rng(23);
  for (int32_t column : {UnitSubColumn, UnitSubGrpColumn, UnitSubGrpEmColumn, UnitSearchColumn}) {
    std::vector<RsrcUnitRow> rows;
    {
      CExcelWriteUnits writer;
      ASSERT_EQ(writer.Init(column), 1);
      for (uint16_t n = 0; n < 40; ++n) {
        RsrcUnitRow row;
        std::memset(&row, 0, sizeof row);
        row.number = n;
        std::wstring name = L"u" + std::to_wstring(n) + RandomText(rng, 30);
        if (n == 7) name = std::wstring(RsrcTextSize - 1, L'n');
        std::wcsncpy(row.name, name.c_str(), RsrcTextSize - 1);
        std::wcsncpy(row.factor, RandomText(rng, 12).c_str(), RsrcTextSize - 1);
        ASSERT_EQ(writer.Write(row.number, row.name, row.factor), 1);
        rows.push_back(row);
      }
    }
    EXPECT_EQ(units->Get(1, column).text, std::wstring(rows[0].name));
    CExcelReadUnits reader;
    ASSERT_EQ(reader.Init(column), 1);
    RsrcUnitRow back;
    for (const RsrcUnitRow& row : rows) {
      ASSERT_EQ(reader.Read(&back), 1);
      EXPECT_EQ(back.number, row.number);
      EXPECT_EQ(std::wstring(back.name), std::wstring(row.name));
      EXPECT_EQ(std::wstring(back.factor), std::wstring(row.factor));
    }
    EXPECT_EQ(reader.Read(&back), 0);
  }
  // A table ends at its first empty name, whatever follows.
  units->Clear(5, UnitSubGrpColumn);
  CExcelReadUnits reader;
  ASSERT_EQ(reader.Init(UnitSubGrpColumn), 1);
  RsrcUnitRow back;
  int32_t count = 0;
  while (reader.Read(&back) == 1) ++count;
  EXPECT_EQ(count, 4);

  EXPECT_EQ(reader.Init(1), -1);
  EXPECT_EQ(Error(), "Only columns 0,2,4,6 are valid for Units");
}

TEST_F(RsrcSheetsTest, FreeSettingsReadBackAndTraced) {
  std::string log = ::testing::TempDir() + "rsrc_sheet_trace.log";
  std::mt19937 rng(29);
  std::vector<RsrcFreeRow> rows;
  {
    CExcelWriteRsrc writer;
    ASSERT_EQ(writer.Init(), 1);
    ASSERT_EQ(writer.Write(0, L"Tag", L"Value"), 1);
    for (uint16_t r = 1; r <= 70; ++r) {
      RsrcFreeRow row;
      std::memset(&row, 0, sizeof row);
      row.row = r;
      std::wcsncpy(row.tag, (L"T" + std::to_wstring(r) + RandomText(rng, 20)).c_str(), RsrcTextSize - 1);
      std::wcsncpy(row.value, RandomText(rng, r == 9 ? 255 : 60).c_str(), RsrcTextSize - 1);
      ASSERT_EQ(writer.Write(row.row, row.tag, row.value), 1);
      rows.push_back(row);
    }
  }
  EXPECT_EQ(rsrc->Get(0, 0), Cell::Str(L"Tag"));
  EXPECT_EQ(rsrc->Get(0, 1), Cell::Str(L"Value"));

  CExcelReadRsrc reader;
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_TRUE(OpenDebugLog(log.c_str()));
  DebugLevel = 1;
  RsrcFreeRow back;
  for (const RsrcFreeRow& row : rows) {
    ASSERT_EQ(reader.Read(&back), 1);
    EXPECT_EQ(back.row, row.row);
    EXPECT_EQ(std::wstring(back.tag), std::wstring(row.tag));
    EXPECT_EQ(std::wstring(back.value), std::wstring(row.value));
  }
  EXPECT_EQ(reader.Read(&back), 0);
  DebugLevel = 0;
  CloseDebugLog();
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  std::string expected;
  for (size_t i = 0; i < rows.size(); ++i) expected += "--> CExcelReadRsrc\n<-- CExcelReadRsrc = 1\n";
  expected += "--> CExcelReadRsrc\n<-- CExcelReadRsrc = 0\n";
  EXPECT_EQ(text.str(), expected);
  std::remove(log.c_str());
}

TEST_F(RsrcSheetsTest, ResourceListsRebuiltFromTheSheets) {
  stt->Set(1, SpeedColumn, Cell::Str(L"30 km/h"));
  stt->Set(3, SpeedColumn, Cell::Str(L"70 km/h"));
  stt->Set(2, TemperatureColumn, Cell::Str(L"-10 C"));
  stt->Set(10, ScenarioColumn, Cell::Str(L"last"));
  {
    CExcelWriteUnits sub;
    ASSERT_EQ(sub.Init(UnitSubColumn), 1);
    sub.Write(0, L"ton/year", L"1.0");
    sub.Write(1, L"kg/year", L"1000");
    CExcelWriteUnits grp;
    ASSERT_EQ(grp.Init(UnitSubGrpColumn), 1);
    grp.Write(0, L"%", L"1.0");
    CExcelWriteUnits em;
    ASSERT_EQ(em.Init(UnitSubGrpEmColumn), 1);
    em.Write(0, L"ton/year", L"1.0");
    em.Write(2, L"g/s", L"31.5");  // after a gap: not seen
  }
  SpeedList.Add(L"stale", 99);
  EXPECT_EQ(EdbRsrcUpdateIdx(), 0) << Error();
  EXPECT_EQ(Pairs(SpeedList), L"1=30 km/h,2=,3=70 km/h,4=,5=,6=,7=,8=,9=,10=,11=");
  EXPECT_EQ(TemperatureList.Count(), 30);
  EXPECT_EQ(std::wstring(TemperatureList.NameOf(2)), L"-10 C");
  EXPECT_EQ(std::wstring(ScenarioList.NameOf(10)), L"last");
  EXPECT_EQ(Pairs(UnitSubList), L"0=ton/year,1=kg/year");
  EXPECT_EQ(Pairs(UnitSubGrpList), L"0=%");
  EXPECT_EQ(Pairs(UnitSubGrpEmList), L"0=ton/year");
  EXPECT_TRUE(UnitSubList.IsSorted());
  EXPECT_EQ(UnitSubList.SortKey(), CRecordList::kByIndex);

  host.Book().RemoveSheet(UnitsSheet);
  EXPECT_EQ(EdbRsrcUpdateIdx(), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Units.");
}

// A resource file shown on the sheets as a load shows it and taken back from
// the sheets as a save takes it is the same file.
TEST_F(RsrcSheetsTest, AFileThroughTheSheetsComesBackUnchanged) {
  const std::vector<std::wstring> file = {
      L"# Malmo2024",          L"speed 1: 30 km/h",     L"speed  2:50 km/h",     L"speed 11: 110 km/h",
      L"",                     L"scenario 1: base",     L"temperature 3: 0 C",   L"Search 1: 3.6 kg/h",
      L"Sub 1: 1000 kg/year",  L"Sub 2: 1e6 g/year x",  L"Sub 4: 1000",          L"SubGrp 1: 0.01 %/100",
      L"SubGrpEm 1: 1 t/y",    L"speed 5:",             L"NAME 0: Town",         L"PROJ: SWEREF99: 13",
      L"NOTE: " + std::wstring(300, L'n'),
  };
  CEdbRsrcTables tables;
  for (const std::wstring& line : file) ASSERT_TRUE(tables.AddLine(line.c_str()));

  struct UnitTable {
    RsrcKind kind;
    int32_t column;
  };
  const UnitTable unitTables[] = {{RsrcKind::UnitSub, UnitSubColumn},
                                  {RsrcKind::UnitSubGrp, UnitSubGrpColumn},
                                  {RsrcKind::UnitSubGrpEm, UnitSubGrpEmColumn},
                                  {RsrcKind::UnitSearch, UnitSearchColumn}};
  const std::pair<RsrcKind, int32_t> nameTables[] = {{RsrcKind::Speed, SpeedColumn},
                                                     {RsrcKind::Temperature, TemperatureColumn},
                                                     {RsrcKind::Scenario, ScenarioColumn}};
  // Onto the sheets.
  for (const auto& t : nameTables) {
    CExcelWriteSpeedTempScen writer;
    ASSERT_EQ(writer.Init(t.second), 1);
    for (const RsrcLine& line : tables.Rows(t.first)) ASSERT_EQ(writer.Write(line.number, line.name.c_str()), 1);
  }
  for (const UnitTable& t : unitTables) {
    CExcelWriteUnits writer;
    ASSERT_EQ(writer.Init(t.column), 1);
    ASSERT_EQ(writer.Write(0, L"fixed", L"1.0"), 1);
    for (const RsrcLine& line : tables.Rows(t.kind)) {
      ASSERT_EQ(writer.Write(line.number, line.name.c_str(), line.value.c_str()), 1);
    }
  }
  {
    CExcelWriteRsrc writer;
    ASSERT_EQ(writer.Init(), 1);
    ASSERT_EQ(writer.Write(0, L"Tag", L"Value"), 1);
    uint16_t row = 1;
    for (const RsrcLine& line : tables.Rows(RsrcKind::Free)) {
      ASSERT_EQ(writer.Write(row++, line.name.c_str(), line.value.c_str()), 1);
    }
  }

  // And back.
  for (const auto& t : nameTables) {
    CExcelReadSpeedTempScen reader;
    ASSERT_EQ(reader.Init(t.second), 1);
    std::vector<RsrcLine> rows;
    RsrcNameRow row;
    while (reader.Read(&row) == 1) rows.push_back(RsrcLine{t.first, row.number, row.name, L""});
    ASSERT_TRUE(tables.ReplaceRows(t.first, rows));
  }
  for (const UnitTable& t : unitTables) {
    CExcelReadUnits reader;
    ASSERT_EQ(reader.Init(t.column), 1);
    std::vector<RsrcLine> rows;
    RsrcUnitRow row;
    while (reader.Read(&row) == 1) rows.push_back(RsrcLine{t.kind, row.number, row.name, row.factor});
    ASSERT_TRUE(tables.ReplaceRows(t.kind, rows));
  }
  {
    CExcelReadRsrc reader;
    ASSERT_EQ(reader.Init(), 1);
    std::vector<RsrcLine> rows;
    RsrcFreeRow row;
    while (reader.Read(&row) == 1) rows.push_back(RsrcLine{RsrcKind::Free, 0, row.tag, row.value});
    ASSERT_TRUE(tables.ReplaceRows(RsrcKind::Free, rows));
  }
  EXPECT_EQ(tables.Lines(), file);
}

}  // namespace
