// Writing sheets: marked numbers and strings, skipped rows, cutting, failures.
#include <string>
#include <vector>

#include "port/xlcall.h"
#include "sheet_fixture.h"
#include "workbook/cell_text.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_row_writer.h"

namespace {

using sheethost::Cell;

class RowWriterTest : public SheetTest {};
class CellWriterTest : public SheetTest {};

// Only the mark and a number's digits make a number cell: a server text
// starting with the mark stays the text it is.
TEST_F(RowWriterTest, MarkedNumbersBecomeNumbersOthersStrings) {
  auto* s = AddSheet(L"Out");
  CSheetRowWriter writer(1, 2, 4, 20, L"Out");
  ASSERT_EQ(writer.Init(), 1);
  const wchar_t* texts[] = {L"\x01" L"42", L"abc", L"\x01" L"-7x", L"\x01" L"-36526.000000"};
  ASSERT_EQ(writer.WriteRow(texts), 1);
  EXPECT_EQ(s->Get(1, 2), Cell::Num(42));
  EXPECT_EQ(s->Get(1, 3), Cell::Str(L"abc"));
  EXPECT_EQ(s->Get(1, 4), Cell::Str(L"\x01" L"-7x"));
  EXPECT_EQ(s->Get(1, 5), Cell::Num(-36526));
  EXPECT_EQ(writer.CurrentRow(), 2);

  // Consecutive rows, a gap after SkipRows; the buffers are reused.
  const wchar_t* next[] = {L"b", L"\x01", L"", nullptr};
  ASSERT_EQ(writer.WriteRow(next), 1);
  EXPECT_EQ(writer.SkipRows(3), 1);
  ASSERT_EQ(writer.WriteRow(texts), 1);
  EXPECT_EQ(s->Get(2, 2), Cell::Str(L"b"));
  EXPECT_EQ(s->Get(2, 3), Cell::Str(L"\x01"));
  EXPECT_EQ(s->Get(2, 4), Cell::Str(L""));
  EXPECT_EQ(s->Get(2, 5), Cell::Str(L""));
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
  EXPECT_EQ(Error(), "Couldn't set active sheet.");
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
  EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  {
    CSheetRowWriter none(0, 0, 0, 8, L"Out");
    EXPECT_EQ(none.Init(), -1);
    EXPECT_EQ(Error(), "Could not allocate m_pData memory. 0 columns");
    EXPECT_EQ(none.WriteRow(texts), -1);  // never writes through half-made buffers
  }
  CSheetRowWriter writer(5, 0, 1, 8, L"Out");
  ASSERT_EQ(writer.Init(), 1);
  host.FailNextCall(xlretFailed, xlSet);
  EXPECT_EQ(writer.WriteRow(texts), -1);
  EXPECT_EQ(Error(), "Couldn't write row: 6.");
  EXPECT_EQ(writer.CurrentRow(), 6);
}

TEST_F(CellWriterTest, WritesCutTextsAndReportsFailures) {
  auto* s = AddSheet(L"Out");
  {
    CSheetCellWriter missing(8, L"Nope");
    EXPECT_EQ(missing.Init(), -1);
    EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  }
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
