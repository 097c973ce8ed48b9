// The time-variation sheets: round trips, the scenario heading, refusals, the verifier.
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "sheet_fixture.h"
#include "workbook/timevar_sheet.h"

namespace {

using sheethost::Cell;

class TimevarSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    for (int32_t s = 1; s <= 10; ++s) scenarios.Add((L"Scen " + std::to_wstring(s)).c_str(), s);
  }

  static void Set(wchar_t* field, size_t size, const std::wstring& text) {
    std::wcsncpy(field, text.c_str(), size - 1);
    field[size - 1] = 0;
  }

  static TimevarRec Valid(const std::wstring& name, uint16_t index) {
    TimevarRec r;
    std::memset(&r, 0, sizeof r);
    Set(r.name, TimevarNameSize, name);
    r.index = index;
    for (int d = 0; d < TimevarDayTypes; ++d) {
      for (int h = 0; h < TimevarHours; ++h) Set(r.typeday[d][h], TimevarValueSize, std::to_wstring(100 + h));
    }
    for (int m = 0; m < TimevarMonths; ++m) r.month[m] = static_cast<int16_t>(80 + m);
    for (int s = 0; s < TimevarScenarios; ++s) r.scenario[s] = 1.5f;
    return r;
  }

  int32_t WriteAll(int32_t kind, const std::vector<TimevarRec>& records) {
    CExcelWriteTimevar writer;
    if (writer.Init(kind, scenarios) != 1) return -1;
    for (const TimevarRec& r : records) {
      if (writer.Write(r) != 1) return -1;
    }
    return 1;
  }

  CRecordList scenarios;
};

// Both records cleared before they were filled: equal to the byte.
void ExpectSame(const TimevarRec& a, const TimevarRec& b) {
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "record " << std::wstring(b.name);
}

TEST_F(TimevarSheetTest, ManyRecordsWrittenAreReadBackEqual) {
  auto* sheet = AddSheet(L"Road timevar");
  std::vector<TimevarRec> records;
  for (int k = 0; k < 45; ++k) {  // 180 rows: across many blocks of both row readers
    TimevarRec r = Valid(L"tv" + std::to_wstring(k), static_cast<uint16_t>(k + 1));
    Set(r.typeday[k % 4][k % 24], TimevarValueSize, std::to_wstring(k * 700) + L":" + std::to_wstring(k % 4));
    Set(r.typeday[(k + 1) % 4][k % 23], TimevarValueSize, L"");
    r.month[k % 12] = static_cast<int16_t>(k % 2 ? -32768 : 32767);
    r.scenario[k % 10] = static_cast<float>(-k) / 8;
    records.push_back(r);
  }
  records[0].index = 65535;
  Set(records[3].name, TimevarNameSize, L"with blank");
  Set(records[4].name, TimevarNameSize, L"\x00e5\x00e4\x00f6 \x00ff" + std::wstring(14, L'x'));  // 19 characters
  Set(records[1].typeday[2][5], TimevarValueSize, std::wstring(15, L'7'));  // a full field
  records[5].scenario[9] = 3.40282e+38f;
  ASSERT_EQ(WriteAll(1, records), 1) << Error();

  // The layout: record k on rows 4k - 3 .. 4k, scenario names in row 0.
  EXPECT_EQ(sheet->Get(0, 38), Cell::Str(L"Scen 1"));
  EXPECT_EQ(sheet->Get(0, 47), Cell::Str(L"Scen 10"));
  EXPECT_EQ(sheet->Get(5, 0).text, std::wstring(records[1].name));
  EXPECT_EQ(sheet->Get(5, 1), Cell::Str(std::to_wstring(records[1].index)));
  EXPECT_EQ(sheet->Get(7, 2 + 5).text, std::wstring(15, L'7'));  // Saturday of record 2, hour 6
  EXPECT_TRUE(sheet->Get(6, 0).IsEmpty());
  EXPECT_TRUE(sheet->Get(6, 26).IsEmpty());

  CExcelReadTimevar reader;
  ASSERT_EQ(reader.Init(1), 1);
  TimevarRec back;
  for (const TimevarRec& r : records) {
    ASSERT_EQ(reader.Read(&back), 1) << Error();
    ExpectSame(back, r);
  }
  EXPECT_EQ(reader.Read(&back), 0);
}

TEST_F(TimevarSheetTest, ScenarioNamesWithoutAnEntry) {
  AddSheet(L"Source timevar");
  CRecordList some;
  some.Add(L"only one", 1);
  CExcelWriteTimevar writer;
  // The list answers the bad-reference text, which is written like a name.
  ASSERT_EQ(writer.Init(0, some), 1) << Error();
  EXPECT_EQ(host.Book().GetCell(L"Source timevar", 0, 39), Cell::Str(L"Bad reference = 2"));
  some.SetBadReference(false);
  EXPECT_EQ(writer.Init(0, some), -1);
  EXPECT_EQ(Error(), "Can not get scenario 2.");
  EXPECT_EQ(writer.Init(1, scenarios), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Road timevar.");
}

// (Texts longer than their fields, refused by this reader: tests/host TypedValuesTest.)
TEST_F(TimevarSheetTest, ReaderRefusesBadIndexes) {
  auto* sheet = AddSheet(L"Source timevar");
  ASSERT_EQ(WriteAll(0, {Valid(L"ok", 1), Valid(L"zero", 2), Valid(L"empty", 3), Valid(L"big", 4), Valid(L"d", 7)}), 1);
  ASSERT_TRUE(sheet->Set(5, 1, Cell::Num(0)));
  ASSERT_TRUE(sheet->Set(9, 1, Cell::Str(L"")));
  ASSERT_TRUE(sheet->Set(13, 1, Cell::Num(65536)));  // would wrap in the 16-bit field
  // White space around a value's parts is dropped.
  ASSERT_TRUE(sheet->Set(1, 3, Cell::Str(L" 120 : 2 ")));
  ASSERT_TRUE(sheet->Set(4, 25, Cell::Num(17)));
  CExcelReadTimevar reader;
  ASSERT_EQ(reader.Init(0), 1);
  TimevarRec r;
  ASSERT_EQ(reader.Read(&r), 1);
  EXPECT_EQ(std::wstring(r.typeday[0][1]), L"120:2");
  EXPECT_EQ(std::wstring(r.typeday[3][23]), L"17");
  for (const std::string& error : std::vector<std::string>{
           "Could not get index for timevar: zero (sheet Source timevar, cell B6, row 6).",
           "Could not get index for timevar: empty (sheet Source timevar, cell B10, row 10).",
           "Could not get index for timevar: big (sheet Source timevar, cell B14, row 14)."}) {
    EXPECT_EQ(reader.Read(&r), -1);
    EXPECT_EQ(Error(), error);
  }
  // A refused record's rows are passed all the same.
  ASSERT_EQ(reader.Read(&r), 1);
  ExpectSame(r, Valid(L"d", 7));
}

TEST_F(TimevarSheetTest, AnEmptyCellLeavesItsFieldEmpty) {
  Put(L"Source timevar", 1, 0, {L"bare", L"9"});
  Put(L"Source timevar", 1, 30, {L"12"});
  CExcelReadTimevar reader;
  ASSERT_EQ(reader.Init(0), 1);
  TimevarRec r;
  std::memset(&r, 0x55, sizeof r);
  ASSERT_EQ(reader.Read(&r), 1);
  EXPECT_EQ(r.index, 9);
  EXPECT_EQ(r.month[4], 12);
  EXPECT_EQ(r.month[5], 0);
  EXPECT_EQ(r.scenario[0], 0.0f);
  EXPECT_EQ(r.typeday[3][23][0], 0);
  EXPECT_EQ(reader.Read(&r), 0);
  CExcelReadTimevar missing;
  EXPECT_EQ(missing.Init(1), -1);
}

TEST_F(TimevarSheetTest, VerifierReportsEachFaultAtItsCell) {
  auto* sheet = AddSheet(L"Source timevar");
  ASSERT_EQ(WriteAll(0, {Valid(L"first", 1), Valid(L"second", 2), Valid(L"stranger", 3)}), 1);
  // A code out of [0,3], a fine one, out of [0,32000], -1 (4294967295), no
  // number before or after the colon.
  Put(L"Source timevar", 1, 2, {L"120:4", L"120:2", L"", L"-1", L"x:1", L"5:"});
  sheet->Set(1, 4, Cell::Num(40000));
  Put(L"Source timevar", 1, 26, {L"abc", L"10000", L" "});  // months
  Put(L"Source timevar", 1, 38, {L"-0.5"});                 // scenarios
  Put(L"Source timevar", 1, 47, {L"1e4"});
  Put(L"Source timevar", 2, 25, {L"1 2"});   // Friday, hour 24
  Put(L"Source timevar", 7, 10, {L"33000"});  // Saturday of the second record
  Put(L"Source timevar", 8, 2, {L"7:9"});     // its Sunday
  CRecordList timevars;
  timevars.Add(L"first", 1);
  timevars.Add(L"second", 2);
  CExcelVerifyTimevar verifier;
  ASSERT_EQ(verifier.Init(0, timevars, errors, warnings), 1);
  // The third record's name is not in the list: reported, and verification goes on.
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors),
            (Lines_{L"Source timevar [C2]: Typeday (Mon-Thu) cell value out of range [0,3] 4",
                    L"Source timevar [E2]: Typeday (Mon-Thu) cell value out of range [0,32000] 40000",
                    L"Source timevar [F2]: Typeday (Mon-Thu) cell value out of range [0,32000] 4294967295",
                    L"Source timevar [G2]: Typeday (Mon-Thu) cell not a number",
                    L"Source timevar [H2]: Empty Typeday (Mon-Thu) cell",
                    L"Source timevar [AA2]: Month cell not a number",
                    L"Source timevar [AB2]: Month cell value out of range [0,9999] 10000",
                    L"Source timevar [AC2]: Empty Month cell",
                    L"Source timevar [AM2]: Scenario cell value out of range [0,9999]",
                    L"Source timevar [AV2]: Scenario cell value out of range [0,9999]",
                    L"Source timevar [Z3]: Typeday (Fri) cell not a number",
                    L"Source timevar [K8]: Typeday (Sat) cell value out of range [0,32000] 33000",
                    L"Source timevar [C9]: Typeday (Sun) cell value out of range [0,3] 9",
                    L"Source timevar [A10]: Could not get index for timevar: stranger"}));
  EXPECT_EQ(warnings.Count(), 0);
  CExcelVerifyTimevar missing;
  EXPECT_EQ(missing.Init(1, timevars, errors, warnings), -1);
}

}  // namespace
