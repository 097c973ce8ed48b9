// Reading sheets: the row reader's 30-row blocks, the cell rule for every
// value type, cutting to the caller's buffer, and the failures of sheet
// selection and coercion with their messages.
#include <cstring>
#include <cwchar>
#include <memory>

#include "port/xlcall.h"
#include "sheet_fixture.h"
#include "workbook/cell_text.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_row_reader.h"

namespace {

using sheethost::Cell;

// Text buffers for a row reader, each of `size` characters.
struct RowBuffers {
  RowBuffers(int columns, int size) : store(columns, std::vector<wchar_t>(size, L'#')) {
    for (auto& s : store) pointers.push_back(s.data());
  }
  std::wstring operator[](size_t j) const { return store[j].data(); }
  std::vector<std::vector<wchar_t>> store;
  std::vector<wchar_t*> pointers;
};

class RowReaderTest : public SheetTest {};
class CellReaderTest : public SheetTest {};

TEST_F(RowReaderTest, ThirtyOneRowsTakeTwoBlocksTheFirstFreedBeforeTheSecond) {
  auto* s = AddSheet(L"Data");
  for (int r = 0; r < 31; ++r) {
    s->Set(r, 2, Cell::Str(L"r" + std::to_wstring(r)));
    s->Set(r, 3, Cell::Num(r));
  }
  RowBuffers row(3, 16);
  {
    CSheetRowReader reader(0, 2, 3, 16, L"Data");
    ASSERT_EQ(reader.Init(), 1);
    for (int r = 0; r < 31; ++r) {
      ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1) << Error();
      EXPECT_EQ(row[0], L"r" + std::to_wstring(r));
      EXPECT_EQ(row[1], std::to_wstring(r));
      EXPECT_EQ(row[2], L"");
    }
    EXPECT_EQ(reader.BlocksFetched(), 2);
  }
  ASSERT_EQ(host.CallCount(xlCoerce), 2u);
  std::vector<sheethost::CallRecord> coercions;
  for (auto& call : host.Calls()) {
    if (call.xlfn == xlCoerce) coercions.push_back(call);
  }
  EXPECT_EQ(coercions[0].area.rwFirst, 0);
  EXPECT_EQ(coercions[0].area.rwLast, 30);
  EXPECT_EQ(coercions[0].area.colFirst, 2);
  EXPECT_EQ(coercions[0].area.colLast, 4);
  EXPECT_EQ(coercions[1].area.rwFirst, 30);
  EXPECT_EQ(coercions[1].area.rwLast, 60);
  EXPECT_EQ(coercions[1].outstanding, 0u) << "the first block must be freed before the second call";
}

TEST_F(RowReaderTest, SkipRowsFetchesTheBlocksItPasses) {
  auto* s = AddSheet(L"Data");
  s->Set(45, 0, Cell::Str(L"row 45"));
  s->Set(10, 0, Cell::Str(L"row 10"));
  RowBuffers row(1, 16);
  CSheetRowReader reader(10, 0, 1, 16, L"Data");
  ASSERT_EQ(reader.Init(), 1);
  EXPECT_EQ(reader.SkipRows(0), 1);
  EXPECT_EQ(reader.SkipRows(-3), 1);
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[0], L"row 10");
  ASSERT_EQ(reader.SkipRows(34), 1);
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[0], L"row 45");
  EXPECT_EQ(reader.RowsConsumed(), 36);
  EXPECT_EQ(reader.BlocksFetched(), 2);
}

TEST_F(RowReaderTest, RowsBelowTheGridReadAsEmpty) {
  auto* s = AddSheet(L"Data");
  s->Set(kXlRows - 1, 0, Cell::Str(L"last"));
  RowBuffers row(1, 8);
  CSheetRowReader reader(kXlRows - 2, 0, 1, 8, L"Data");
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1) << Error();
  EXPECT_EQ(row[0], L"");
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[0], L"last");
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1) << i;
    EXPECT_EQ(row[0], L"");
  }
}

TEST_F(RowReaderTest, BooleansAndErrorsStopTheRowAfterTheEarlierColumns) {
  auto* s = AddSheet(L"Data");
  s->Set(1, 0, Cell::Str(L"kept"));
  s->Set(1, 1, Cell::Bool(true));
  s->Set(2, 0, Cell::Err(xlerrNA));
  RowBuffers row(2, 8);
  CSheetRowReader reader(0, 0, 2, 8, L"Data");
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), -1);
  EXPECT_EQ(Error(), "Unknown type of cell, row: 2.");
  EXPECT_EQ(row[0], L"kept");
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), -1);
  EXPECT_EQ(Error(), "Unknown type of cell, row: 3.");
}

TEST_F(RowReaderTest, MissingSheetAndFailedCoercion) {
  AddSheet(L"Data");
  {
    CSheetRowReader reader(0, 0, 1, 8, L"Nope");
    EXPECT_EQ(reader.Init(), 0);
    EXPECT_EQ(Error(), "Couldn't set sheet Nope");
  }
  RowBuffers row(1, 8);
  CSheetRowReader reader(0, 0, 1, 8, L"data");
  ASSERT_EQ(reader.Init(), 1);
  host.FailNextCall(xlretInvXloper, xlCoerce);
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), -1);
  EXPECT_EQ(Error(), "Couldn't retrieve data. Error 8, sheet data.");
  EXPECT_EQ(reader.RowsConsumed(), 0);
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), 1);  // the retry fetches the same block
  EXPECT_EQ(reader.BlocksFetched(), 1);
}

TEST_F(RowReaderTest, ActiveSheetWhenTheNameIsEmpty) {
  {
    CSheetRowReader reader(0, 0, 1, 8, L"");
    EXPECT_EQ(reader.Init(), -1);
    EXPECT_EQ(Error(), "Couldn't set active sheet.");
  }
  auto* s = AddSheet(L"Data");
  s->Set(0, 0, Cell::Str(L"here"));
  RowBuffers row(1, 8);
  CSheetRowReader reader(0, 0, 1, 8, nullptr);
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[0], L"here");
}

TEST_F(CellReaderTest, TheCellRule) {
  auto* s = AddSheet(L"Data");
  s->Set(0, 0, Cell::Num(0.1));
  s->Set(0, 1, Cell::Num(7));
  s->Set(0, 2, Cell::Str(L"text \u00e9\u20ac"));
  s->Set(0, 3, Cell::Str(L""));
  wchar_t text[32];
  CSheetCellReader reader(32, L"Data");
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_EQ(reader.ReadCell(0, 0, text), 1);
  EXPECT_STREQ(text, L"0.10000000000000001");
  ASSERT_EQ(reader.ReadCell(0, 1, text), 1);
  EXPECT_STREQ(text, L"7");
  ASSERT_EQ(reader.ReadCell(0, 2, text), 1);
  EXPECT_STREQ(text, L"text \u00e9\u20ac");
  ASSERT_EQ(reader.ReadCell(0, 3, text), 1);
  EXPECT_STREQ(text, L"");
  ASSERT_EQ(reader.ReadCell(9, 9, text), 1);
  EXPECT_STREQ(text, L"");

  // Integer-typed values, which only other hosts hand out.
  XLOPER12 w;
  std::memset(&w, 0, sizeof w);
  w.xltype = xltypeInt;
  w.val.w = -7;
  ASSERT_TRUE(CellValueText(w, text, 32));
  EXPECT_STREQ(text, L"-7");
}

TEST_F(CellReaderTest, TextsAndNumbersAreCutToTheBuffer) {
  auto* s = AddSheet(L"Data");
  s->Set(0, 0, Cell::Str(L"abcdefgh"));
  s->Set(0, 1, Cell::Num(-1.2345678901234567e+300));
  s->Set(0, 2, Cell::Str(std::wstring(32767, L'x')));
  // Buffers of exactly the reader's size, so that writing past them shows.
  auto small = std::make_unique<wchar_t[]>(5);
  CSheetCellReader reader(5, L"Data");
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_EQ(reader.ReadCell(0, 0, small.get()), 1);
  EXPECT_STREQ(small.get(), L"abcd");
  ASSERT_EQ(reader.ReadCell(0, 1, small.get()), 1);
  EXPECT_STREQ(small.get(), L"-1.2");

  // The sheets' 20-character buffers and a number printed with 24.
  wchar_t printed[64];
  swprintf(printed, 64, L"%.17g", -1.2345678901234567e+300);
  ASSERT_EQ(wcslen(printed), 24u);
  auto twenty = std::make_unique<wchar_t[]>(20);
  CSheetCellReader narrow(20, L"Data");
  ASSERT_EQ(narrow.Init(), 1);
  ASSERT_EQ(narrow.ReadCell(0, 1, twenty.get()), 1);
  EXPECT_EQ(std::wstring(twenty.get()), std::wstring(printed, 19));

  auto full = std::make_unique<wchar_t[]>(32766);
  CSheetCellReader wide(32766, L"Data");
  ASSERT_EQ(wide.Init(), 1);
  ASSERT_EQ(wide.ReadCell(0, 2, full.get()), 1);
  EXPECT_EQ(std::wstring(full.get()), std::wstring(32765, L'x'));

  RowBuffers row(2, 5);
  CSheetRowReader rows(0, 0, 2, 5, L"Data");
  ASSERT_EQ(rows.Init(), 1);
  ASSERT_EQ(rows.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[0], L"abcd");
  EXPECT_EQ(row[1], L"-1.2");
}

TEST_F(CellReaderTest, BooleansErrorsMissingSheetsAndHostFailures) {
  auto* s = AddSheet(L"Data \u0100");
  s->Set(3, 4, Cell::Bool(false));
  s->Set(3, 5, Cell::Err(xlerrValue));
  wchar_t text[16];
  {
    CSheetCellReader missing(16, L"Nope");
    EXPECT_EQ(missing.Init(), 0);
    EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  }
  CSheetCellReader reader(16, L"Data \u0100");
  ASSERT_EQ(reader.Init(), 1);
  EXPECT_EQ(reader.ReadCell(3, 4, text), -1);
  EXPECT_EQ(Error(), "Unknown data type at cell: (3, 4), sheet Data ?.");
  EXPECT_EQ(reader.ReadCell(3, 5, text), -1);
  EXPECT_EQ(Error(), "Unknown data type at cell: (3, 5), sheet Data ?.");
  host.FailNextCall(xlretFailed, xlCoerce);
  EXPECT_EQ(reader.ReadCell(2, 3, text), -1);
  EXPECT_EQ(Error(), "Couldn't read cell: (2, 3). Error 32, sheet Data ?.");
  EXPECT_EQ(reader.ReadCell(kXlRows, 0, text), -1);
  EXPECT_EQ(Error(), "Couldn't read cell: (1048576, 0). Error 8, sheet Data ?.");
  host.FailNextCall(xlretFailed, xlSheetId);
  CSheetCellReader failing(16, L"Data \u0100");
  EXPECT_EQ(failing.Init(), 0);
}

TEST_F(CellReaderTest, NamesAreCutTo63Characters) {
  std::wstring name(70, L'n');
  CSheetCellReader reader(16, name.c_str());
  EXPECT_EQ(reader.Sheet().Length(), 63);
  EXPECT_EQ(std::wstring(reader.Sheet().Chars()), name.substr(0, 63));
  EXPECT_EQ(reader.Init(), 0);  // the host has no such sheet
}

}  // namespace
