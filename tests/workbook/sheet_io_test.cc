// Reading and writing sheets: 30-row blocks, the cell rule, marked numbers, cutting to the buffer, failures.
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "port/xlcall.h"
#include "sheet_fixture.h"
#include "workbook/cell_text.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

namespace {

using sheethost::Cell;

struct RowBuffers {  // a row reader's text buffers, each of `size` characters
  RowBuffers(int columns, int size) : store(columns, std::vector<wchar_t>(size, L'#')) {
    for (auto& s : store) pointers.push_back(s.data());
  }
  std::wstring operator[](size_t j) const { return store[j].data(); }
  std::vector<std::vector<wchar_t>> store;
  std::vector<wchar_t*> pointers;
};

class RowReaderTest : public SheetTest {};
class CellReaderTest : public SheetTest {};
class RowWriterTest : public SheetTest {};
class CellWriterTest : public SheetTest {};

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
  // Rows, columns and the values outstanding at each call: the first block is freed before the second call.
  std::vector<std::vector<size_t>> coercions;
  for (auto& c : host.Calls()) {
    if (c.xlfn != xlCoerce) continue;
    coercions.push_back({size_t(c.area.rwFirst), size_t(c.area.rwLast), size_t(c.area.colFirst),
                         size_t(c.area.colLast), c.outstanding});
  }
  EXPECT_EQ(coercions, (std::vector<std::vector<size_t>>{{0, 30, 2, 4, 0}, {30, 60, 2, 4, 0}}));
}

TEST_F(RowReaderTest, SkipRowsFetchesTheBlocksItPassesAndRowsBelowTheGridAreEmpty) {
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

  s->Set(kXlRows - 1, 0, Cell::Str(L"last"));
  CSheetRowReader bottom(kXlRows - 1, 0, 1, 16, L"Data");
  ASSERT_EQ(bottom.Init(), 1);
  ASSERT_EQ(bottom.ReadRow(row.pointers.data()), 1) << Error();
  EXPECT_EQ(row[0], L"last");
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(bottom.ReadRow(row.pointers.data()), 1) << i;
    EXPECT_EQ(row[0], L"");
  }
}

TEST_F(RowReaderTest, BooleansAndErrorsAreNamedAtTheirCellsAndTheRowIsReadWhole) {
  auto* s = AddSheet(L"Data");
  s->Set(1, 0, Cell::Str(L"kept"));
  s->Set(1, 1, Cell::Bool(true));
  s->Set(1, 2, Cell::Err(xlerrDiv0));
  s->Set(2, 1, Cell::Str(L"next"));
  RowBuffers row(3, 8);
  CSheetRowReader reader(0, 0, 3, 8, L"Data");
  ASSERT_EQ(reader.Init(), 1);
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), 0);
  EXPECT_EQ(Error(), "Cell holds an error or logical value, not a text or number (sheet Data, cell B2, row 2).");
  EXPECT_EQ(reader.UnreadableColumns(), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(row[0], L"kept");
  EXPECT_EQ(row[2], L"");
  ASSERT_EQ(reader.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[1], L"next");
  EXPECT_TRUE(reader.UnreadableColumns().empty());
}

TEST_F(RowReaderTest, MissingOrActiveSheetAndFailedCoercion) {
  CSheetRowReader active(0, 0, 1, 8, L"");
  EXPECT_EQ(active.Init(), -1);
  EXPECT_EQ(Error(), "Couldn't set active sheet.");
  AddSheet(L"Data")->Set(0, 0, Cell::Str(L"here"));
  CSheetRowReader missing(0, 0, 1, 8, L"Nope");
  EXPECT_EQ(missing.Init(), 0);
  EXPECT_EQ(Error(), "Couldn't set sheet Nope");
  RowBuffers row(1, 8);
  CSheetRowReader reader(0, 0, 1, 8, L"data");
  ASSERT_EQ(reader.Init(), 1);
  host.FailNextCall(xlretInvXloper, xlCoerce);
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), -1);
  EXPECT_EQ(Error(), "Couldn't retrieve data. Error 8, sheet data.");
  EXPECT_EQ(reader.RowsConsumed(), 0);
  EXPECT_EQ(reader.ReadRow(row.pointers.data()), 1);  // the retry fetches the same block
  EXPECT_EQ(reader.BlocksFetched(), 1);
  EXPECT_EQ(row[0], L"here");
  CSheetRowReader first(0, 0, 1, 8, nullptr);  // no name: the active sheet
  ASSERT_EQ(first.Init(), 1);
  ASSERT_EQ(first.ReadRow(row.pointers.data()), 1);
  EXPECT_EQ(row[0], L"here");
}

// Numbers as the shortest text that reads back, cut like texts to buffers of exactly the reader's size (so that
// writing past them shows; 20 is the sheets' narrowest).
TEST_F(CellReaderTest, TheCellRuleCutToTheBuffer) {
  auto* s = AddSheet(L"Data");
  const double wide = -1.2345678901234567e+300;
  wchar_t printed[64];
  swprintf(printed, 64, L"%.17g", wide);
  ASSERT_EQ(wcslen(printed), 24u);
  const struct {
    Cell cell;
    int32_t size;
    std::wstring text;
  } cases[] = {{Cell::Num(0.1), 32, L"0.1"}, {Cell::Num(7), 32, L"7"}, {Cell::Num(-0.000001), 32, L"-1e-06"},
               {Cell::Num(0.1 + 0.2), 32, L"0.30000000000000004"},
               {Cell::Num(1234567890123456789.0), 32, L"1.2345678901234568e+18"},
               {Cell::Str(L"text \u00e9\u20ac"), 32, L"text \u00e9\u20ac"}, {Cell(), 32, L""},
               {Cell::Str(L"abcdefgh"), 5, L"abcd"}, {Cell::Num(wide), 5, L"-1.2"},
               {Cell::Num(wide), 20, std::wstring(printed, 19)},
               {Cell::Str(std::wstring(32767, L'x')), 32766, std::wstring(32765, L'x')}};
  for (const auto& c : cases) {
    s->Set(0, 0, c.cell);
    std::vector<wchar_t> buffer(static_cast<size_t>(c.size), L'#');
    buffer.back() = 0;
    CSheetCellReader reader(c.size, L"Data");
    ASSERT_EQ(reader.Init(), 1);
    ASSERT_EQ(reader.ReadCell(0, 0, buffer.data()), 1);
    EXPECT_EQ(std::wstring(buffer.data()), c.text);
  }
  // Integer-typed values, which only other hosts hand out.
  XLOPER12 w{};
  w.xltype = xltypeInt;
  w.val.w = -7;
  wchar_t text[32];
  ASSERT_TRUE(CellValueText(w, text, 32));
  EXPECT_STREQ(text, L"-7");
  s->Set(0, 0, Cell::Str(L"abcdefgh"));
  s->Set(0, 1, Cell::Num(wide));
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
  CSheetCellReader missing(16, L"Nope");
  EXPECT_EQ(missing.Init(), 0);
  EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  CSheetCellReader reader(16, L"Data \u0100");
  ASSERT_EQ(reader.Init(), 1);
  EXPECT_EQ(reader.ReadCell(3, 4, text), 0);
  EXPECT_EQ(Error(), "Cell holds an error or logical value, not a text or number (sheet Data ?, cell E4, row 4).");
  EXPECT_EQ(reader.ReadCell(3, 5, text), 0);
  EXPECT_EQ(text[0], L'\0');
  host.FailNextCall(xlretFailed, xlCoerce);
  EXPECT_EQ(reader.ReadCell(2, 3, text), -1);
  EXPECT_EQ(Error(), "Couldn't read cell: (2, 3). Error 32, sheet Data ?.");
  EXPECT_EQ(reader.ReadCell(kXlRows, 0, text), -1);
  EXPECT_EQ(Error(), "Couldn't read cell: (1048576, 0). Error 8, sheet Data ?.");
  host.FailNextCall(xlretFailed, xlSheetId);
  CSheetCellReader failing(16, L"Data \u0100");
  EXPECT_EQ(failing.Init(), 0);
  // Names are cut to 63 characters.
  std::wstring name(70, L'n');
  CSheetCellReader longName(16, name.c_str());
  EXPECT_EQ(std::wstring(longName.Sheet().Chars()), name.substr(0, 63));
  EXPECT_EQ(longName.Init(), 0);
}



// Only the mark and a number's digits make a number cell: a server text starting with the mark stays the text it is.
TEST_F(RowWriterTest, MarkedNumbersBecomeNumbersOthersStrings) {
  auto* s = AddSheet(L"Out");
  CSheetRowWriter writer(1, 2, 4, 20, L"Out");
  ASSERT_EQ(writer.Init(), 1);
  const wchar_t* texts[] = {L"\x01" L"42", L"abc", L"\x01" L"-7x", L"\x01" L"-36526.000000"};
  ASSERT_EQ(writer.WriteRow(texts), 1);
  const Cell cells[] = {Cell::Num(42), Cell::Str(L"abc"), Cell::Str(L"\x01" L"-7x"), Cell::Num(-36526)};
  for (COL c = 2; c < 6; ++c) EXPECT_EQ(s->Get(1, c), cells[c - 2]);
  EXPECT_EQ(writer.CurrentRow(), 2);

  // Consecutive rows, a gap after SkipRows; the buffers are reused.
  const wchar_t* next[] = {L"b", L"\x01", L"", nullptr};
  ASSERT_EQ(writer.WriteRow(next), 1);
  EXPECT_EQ(writer.SkipRows(3), 1);
  ASSERT_EQ(writer.WriteRow(texts), 1);
  const wchar_t* written[] = {L"b", L"\x01", L"", L""};  // a null text writes an empty one
  for (COL c = 2; c < 6; ++c) EXPECT_EQ(s->Get(2, c), Cell::Str(written[c - 2]));
  EXPECT_TRUE(s->Get(3, 2).IsEmpty());
  EXPECT_EQ(s->Get(6, 3), Cell::Str(L"abc"));
  EXPECT_EQ(writer.CurrentRow(), 7);
}

TEST_F(RowWriterTest, LongTextsAreCut) {
  auto* s = AddSheet(L"Out");
  CSheetRowWriter writer(0, 0, 2, 5, L"Out");
  ASSERT_EQ(writer.Init(), 1);
  std::wstring huge(40000, L'z');
  const wchar_t* texts[] = {L"abcdefghij", huge.c_str()};
  ASSERT_EQ(writer.WriteRow(texts), 1);
  EXPECT_EQ(s->Get(0, 0), Cell::Str(L"abcde"));
  EXPECT_EQ(s->Get(0, 1), Cell::Str(L"zzzzz"));

  // A maximum beyond the host's limit still writes no more than it takes.
  CSheetRowWriter wide(1, 0, 1, 50000, L"Out");
  ASSERT_EQ(wide.Init(), 1);
  const wchar_t* one[] = {huge.c_str()};
  ASSERT_EQ(wide.WriteRow(one), 1) << Error();
  EXPECT_EQ(s->Get(1, 0).text.size(), 32767u);
}

TEST_F(RowWriterTest, FailuresAndTheirMessages) {
  CSheetRowWriter active(0, 0, 1, 8, L"");
  EXPECT_EQ(active.Init(), -1);
  AddSheet(L"Out");
  auto* second = AddSheet(L"Second");
  host.Book().SetActiveSheet(L"second");
  CSheetRowWriter toActive(0, 0, 1, 8, L"");
  ASSERT_EQ(toActive.Init(), 1);
  const wchar_t* texts[] = {L"a"};
  ASSERT_EQ(toActive.WriteRow(texts), 1);
  EXPECT_EQ(second->Get(0, 0), Cell::Str(L"a"));
  CSheetRowWriter missing(0, 0, 2, 8, L"Nope");
  EXPECT_EQ(missing.Init(), -1);
  CSheetRowWriter none(0, 0, 0, 8, L"Out");
  EXPECT_EQ(none.Init(), -1);
  EXPECT_EQ(Error(), "Could not allocate m_pData memory. 0 columns");
  EXPECT_EQ(none.WriteRow(texts), -1);  // never writes through half-made buffers
  CSheetRowWriter writer(5, 0, 1, 8, L"Out");
  ASSERT_EQ(writer.Init(), 1);
  host.FailNextCall(xlretFailed, xlSet);
  EXPECT_EQ(writer.WriteRow(texts), -1);
  EXPECT_EQ(Error(), "Couldn't write row: 6.");
  EXPECT_EQ(writer.CurrentRow(), 6);
}

TEST_F(CellWriterTest, WritesCutTextsAndReportsFailures) {
  auto* s = AddSheet(L"Out");
  CSheetCellWriter missing(8, L"Nope");
  EXPECT_EQ(missing.Init(), -1);
  CSheetCellWriter writer(4, L"Out");
  ASSERT_EQ(writer.Init(), 1);
  ASSERT_EQ(writer.WriteCell(3, 7, L"abcdefg"), 1);
  EXPECT_EQ(s->Get(3, 7), Cell::Str(L"abcd"));
  ASSERT_EQ(writer.WriteCell(3, 8, L"\x01" L"5"), 1);
  EXPECT_EQ(s->Get(3, 8).kind, sheethost::CellKind::Text);  // the cell writer writes strings only
  host.FailNextCall(xlretAbort);
  EXPECT_EQ(writer.WriteCell(4, 5, L"x"), -1);
  EXPECT_EQ(Error(), "Could not write cell: (4 5).");
  EXPECT_TRUE(s->Get(4, 5).IsEmpty());
}

TEST(Excel12Entry, NoEntryPointAndTooManyArguments) {
  SetExcel12EntryPt(nullptr);
  XLOPER12 result;
  EXPECT_EQ(Excel12(xlSheetId, &result, 0), xlretFailed);
  sheethost::Host host;
  host.Book().AddSheet(L"S");
  SetExcel12EntryPt(sheethost::Host::EntryPoint());
  EXPECT_EQ(Excel12(xlSheetId, &result, 0), xlretSuccess);
  std::vector<XLOPER12*> args(256, &result);
  EXPECT_EQ(Excel12v(xlFree, nullptr, 256, args.data()), xlretInvCount);
  EXPECT_EQ(Excel12v(xlFree, nullptr, -1, args.data()), xlretInvCount);
  EXPECT_EQ(host.Calls().size(), 1u);  // refused calls never reach the host
  EXPECT_EQ(host.Outstanding(), 0u);
  SetExcel12EntryPt(nullptr);
}

}  // namespace
