// The substitute spreadsheet host: its workbook and its C API entry point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sheethost/host.h"

namespace {

using sheethost::Cell;
using sheethost::Host;

// A counted string value over storage the test owns.
struct CountedText {
  explicit CountedText(const std::wstring& text) : units(text.size() + 1) {
    units[0] = static_cast<XCHAR>(text.size());
    for (size_t i = 0; i < text.size(); ++i) units[i + 1] = text[i];
    std::memset(&value, 0, sizeof value);
    value.xltype = xltypeStr;
    value.val.str = units.data();
  }
  std::vector<XCHAR> units;
  XLOPER12 value;
};

// A one-area reference on a sheet.
struct Ref {
  Ref(IDSHEET sheet, RW r1, RW r2, COL c1, COL c2) {
    std::memset(&value, 0, sizeof value);
    area.count = 1;
    area.reftbl[0] = {r1, r2, c1, c2};
    value.xltype = xltypeRef;
    value.val.mref.lpmref = &area;
    value.val.mref.idSheet = sheet;
  }
  XLMREF12 area;
  XLOPER12 value;
};

// A value of the given type; a number when num is given.
XLOPER12 Oper(uint32_t type, double num = 0) {
  XLOPER12 v;
  std::memset(&v, 0, sizeof v);
  v.xltype = type;
  v.val.num = num;
  return v;
}

XLOPER12 Multi(XLOPER12* values, RW rows, COL columns) {
  XLOPER12 v = Oper(xltypeMulti);
  v.val.array.lparray = values;
  v.val.array.rows = rows;
  v.val.array.columns = columns;
  return v;
}

int Call(int xlfn, XLOPER12* result, std::vector<XLOPER12*> args) {
  return Host::EntryPoint()(xlfn, static_cast<int>(args.size()), args.data(), result);
}

std::wstring Text(const XLOPER12& v) { return std::wstring(v.val.str + 1, static_cast<size_t>(v.val.str[0])); }

TEST(SheetHostWorkbook, SheetNamesIgnoreCaseAndFollowTheHostsRules) {
  Host host;
  auto& book = host.Book();
  // (Names refused for their length, characters or a twin in another case:
  // tests/vorkab XlsxRead, whose reader adds its sheets through AddSheet.)
  ASSERT_NE(book.AddSheet(L"Source"), nullptr);
  EXPECT_EQ(book.FindSheet(L"sOuRcE"), book.FindSheet(L"Source"));
  ASSERT_NE(book.AddSheet(L"\u00c5r"), nullptr);
  EXPECT_NE(book.FindSheet(L"\u00e5R"), nullptr);

  // The first sheet is active; removing it activates the next; ids are not reused.
  EXPECT_EQ(book.ActiveSheet()->Name(), L"Source");
  IDSHEET removed = book.FindSheet(L"Source")->Id();
  EXPECT_TRUE(book.RemoveSheet(L"source"));
  EXPECT_EQ(book.ActiveSheet()->Name(), L"\u00c5r");
  EXPECT_EQ(book.SheetById(removed), nullptr);
  EXPECT_NE(book.AddSheet(L"Source")->Id(), removed);
  EXPECT_FALSE(book.SetActiveSheet(L"None"));  // one by name: RowWriterTest.FailuresAndTheirMessages
}

// (Cells at the grid's corners, in row order: tests/vorkab XlsxRoundTrip, whose writer walks
// Cells(); an empty cell clearing one: UpdateSubTest.IssuesOfTheSheetsMakeZero...)
TEST(SheetHostWorkbook, CellsOutsideTheGridAndNotANumberAreRefused) {
  Host host;
  auto* sheet = host.Book().AddSheet(L"S");
  EXPECT_TRUE(sheet->Set(kXlRows - 1, kXlColumns - 1, Cell::Num(1)));
  EXPECT_FALSE(sheet->Set(kXlRows, 0, Cell::Num(1)));
  EXPECT_FALSE(sheet->Set(0, kXlColumns, Cell::Num(1)));
  EXPECT_FALSE(sheet->Set(-1, 0, Cell::Num(1)));
  EXPECT_FALSE(sheet->Set(0, 1, Cell::Num(NAN)));
  EXPECT_EQ(sheet->CellCount(), 1u);
}

// Single cells and blocks coerced and freed are the row and cell readers'
// own calls (tests/workbook/sheet_io_test.cc), counted by their fixture.
TEST(SheetHostEntry, CoerceRefusesBadReferences) {
  Host host;
  auto* s = host.Book().AddSheet(L"Data");
  XLOPER12 result;
  Ref reversed(s->Id(), 5, 4, 0, 0);
  EXPECT_EQ(Call(xlCoerce, &result, {&reversed.value}), xlretInvXloper);
  Ref stale(s->Id() + 1000, 0, 0, 0, 0);
  EXPECT_EQ(Call(xlCoerce, &result, {&stale.value}), xlretInvXloper);
  Ref huge(s->Id(), 0, kXlRows - 1, 0, kXlColumns - 1);
  EXPECT_EQ(Call(xlCoerce, &result, {&huge.value}), xlretFailed);
  EXPECT_EQ(host.HandedOut(), 0u);
}

// (A single value filling an area and xlSet clearing one are not tested: the
// library's writers always pass a row of values, one cell a 1 x 1 row.)
TEST(SheetHostEntry, SetWritesRowsOfTheirShapeOnly) {
  Host host;
  auto* s = host.Book().AddSheet(L"Data");
  CountedText text(L"x\u00e9");
  XLOPER12 values[2] = {text.value, Oper(xltypeInt)};
  values[1].val.w = 42;
  XLOPER12 row = Multi(values, 1, 2);
  Ref target(s->Id(), 7, 7, 3, 4);
  ASSERT_EQ(Call(xlSet, nullptr, {&target.value, &row}), xlretSuccess);
  EXPECT_EQ(s->Get(7, 3), Cell::Str(L"x\u00e9"));
  EXPECT_EQ(s->Get(7, 4), Cell::Num(42));  // a cell never holds an integer type

  // A shape that does not match is refused and writes nothing.
  Ref wrong(s->Id(), 8, 8, 3, 5);
  EXPECT_EQ(Call(xlSet, nullptr, {&wrong.value, &row}), xlretInvXloper);
  EXPECT_TRUE(s->Get(8, 3).IsEmpty());

  // Texts beyond the host's limit are refused.
  CountedText tooLong(L"x");
  std::vector<XCHAR> units(32769, L'a');
  units[0] = static_cast<XCHAR>(32768);
  tooLong.value.val.str = units.data();
  Ref cell(s->Id(), 0, 0, 0, 0);
  EXPECT_EQ(Call(xlSet, nullptr, {&cell.value, &tooLong.value}), xlretInvXloper);
  EXPECT_EQ(s->CellCount(), 2u);

  // A host that discards writes still checks the shape, and keeps nothing.
  host.DiscardWrites(true);
  Ref other(s->Id(), 9, 9, 3, 4);
  ASSERT_EQ(Call(xlSet, nullptr, {&other.value, &row}), xlretSuccess);
  EXPECT_EQ(Call(xlSet, nullptr, {&wrong.value, &row}), xlretInvXloper);
  EXPECT_EQ(s->CellCount(), 2u);
}

TEST(SheetHostEntry, FreeAccountingInjectedFailuresAndTheCallLog) {
  XLOPER12 result;
  {
    Host host;
    auto* s = host.Book().AddSheet(L"Data");
    s->Set(0, 0, Cell::Str(L"a"));
    XLOPER12 value;
    Ref cell(s->Id(), 0, 0, 0, 0);
    ASSERT_EQ(Call(xlCoerce, &value, {&cell.value}), xlretSuccess);
    XLOPER12 copy = value;
    Call(xlFree, nullptr, {&value});
    Call(xlFree, nullptr, {&copy});  // freed twice
    CountedText mine(L"mine");
    mine.value.xltype |= xlbitXLFree;
    Call(xlFree, nullptr, {&mine.value});  // never handed out
    EXPECT_EQ(host.Freed(), 1u);
    EXPECT_EQ(host.BadFrees(), 2u);
    EXPECT_EQ(host.Outstanding(), 0u);

    host.ClearCalls();
    Ref other(s->Id(), 4, 4, 2, 2);
    host.FailNextCall(xlretAbort, xlCoerce);
    CountedText name(L"Data");
    EXPECT_EQ(Call(xlSheetId, &result, {&name.value}), xlretSuccess);  // not the function named
    EXPECT_EQ(Call(xlCoerce, &result, {&other.value}), xlretAbort);
    EXPECT_EQ(Call(xlCoerce, &result, {&other.value}), xlretSuccess);
    host.FailNextCall(xlretFailed);
    EXPECT_EQ(Call(xlSheetId, &result, {&name.value}), xlretFailed);
    EXPECT_EQ(Call(12345, &result, {}), xlretInvXlfn);
    ASSERT_EQ(host.Calls().size(), 5u);
    EXPECT_EQ(host.CallCount(xlCoerce), 2u);
    EXPECT_EQ(host.Calls()[1].result, xlretAbort);
    EXPECT_EQ(host.Calls()[2].sheet, s->Id());  // its area: RowReaderTest.ThirtyOneRowsTakeTwoBlocks...
    // With the record off (long transfers) calls are still answered and
    // accounted; only the record stops growing.
    host.RecordCalls(false);
    ASSERT_EQ(Call(xlCoerce, &value, {&cell.value}), xlretSuccess);
    EXPECT_EQ(Text(value), L"a");
    EXPECT_EQ(Call(xlFree, nullptr, {&value}), xlretSuccess);
    EXPECT_EQ(host.Calls().size(), 5u);
    EXPECT_EQ(host.CallCount(xlCoerce), 2u);
    EXPECT_EQ(host.HandedOut(), 2u);
    EXPECT_EQ(host.Freed(), 2u);
    host.RecordCalls(true);
    EXPECT_EQ(Call(xlSheetId, &result, {&name.value}), xlretSuccess);
    ASSERT_EQ(host.Calls().size(), 6u);
    EXPECT_EQ(host.Calls()[5].xlfn, xlSheetId);
  }
  // Only a live host answers.
  EXPECT_EQ(Host::Current(), nullptr);
  EXPECT_EQ(Call(xlSheetId, &result, {}), xlretFailed);
}

}  // namespace
