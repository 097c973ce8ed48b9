// Interoperation with an independent reader and writer, openpyxl (Debian's
// python3-openpyxl for /usr/bin/python3): what we write it reads with the
// same values and types, and what it writes (an edit of our file, or a
// workbook of its own) we read with the right types.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "xlsx_file.h"
#include "xlsx_test_files.h"

namespace {

using sheethost::Cell;
using sheethost::CellPosition;
using sheethost::Workbook;

// Checks our file cell by cell (value, Python type and openpyxl's data type,
// and that no other cell holds a value), then edits it and saves a copy.
const char kCheckAndEdit[] = R"PY(
path, edited = sys.argv[1], sys.argv[2]
wb = openpyxl.load_workbook(path)
problems = []
want_names = ["Substance", "\u00c5r & <\u00e9t\u00e9>", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", "Gaps"]
if wb.sheetnames != want_names:
    problems.append("sheet names %r" % wb.sheetnames)
want = {
    "Substance": {
        "A1": ("Name", str, "s"), "B1": (0.1, float, "n"), "C1": (-1e-300, float, "n"),
        "D1": (1 / 3, float, "n"), "E1": (45366, int, "n"), "F1": (1.5e308, float, "n"),
        "G1": (-2.5, float, "n"),
        "A2": (True, bool, "b"), "B2": (False, bool, "b"),
        "C2": ("#NULL!", str, "e"), "D2": ("#DIV/0!", str, "e"), "E2": ("#VALUE!", str, "e"),
        "F2": ("#REF!", str, "e"), "G2": ("#NAME?", str, "e"), "H2": ("#NUM!", str, "e"), "I2": ("#N/A", str, "e"),
        "A3": ("  blanks around\t", str, "s"), "B3": ("line\nbreak", str, "s"), "C3": ("<&>\"'", str, "s"),
        "D3": ("Name", str, "s"), "E3": ("\u00e5\u20ac\u4e2d\U0001F600", str, "s"),
    },
    "\u00c5r & <\u00e9t\u00e9>": {"A1": (1, int, "n")},
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde": {},
    "Gaps": {"A1": (1, int, "n"), "C1": (3, int, "n"), "A3": ("x" * 32767, str, "s"), "XFD20": (4, int, "n")},
}
for name, cells in want.items():
    if name not in wb.sheetnames:
        continue
    ws = wb[name]
    for coord, (value, kind, data_type) in cells.items():
        c = ws[coord]
        if c.value != value or type(c.value) is not kind or c.data_type != data_type:
            problems.append("%s!%s: %r (%s, %s)" % (name, coord, c.value, type(c.value).__name__, c.data_type))
    present = {c.coordinate for row in ws.iter_rows() for c in row if c.value is not None}
    if present != set(cells):
        problems.append("%s: cells %r" % (name, sorted(present ^ set(cells))))
ws = wb["Gaps"]
ws["B1"] = "edited"
ws["C1"] = None
ws["D5"] = 2.25
wb.save(edited)
print("\n".join(problems), end="")
)PY";

TEST(XlsxOpenpyxl, ItReadsWhatWeWriteAndWeReadItsEdit) {
  TempFolder folder;
  Workbook book;
  auto* s = book.AddSheet(L"Substance");
  s->Set(0, 0, Cell::Str(L"Name"));
  s->Set(0, 1, Cell::Num(0.1));
  s->Set(0, 2, Cell::Num(-1e-300));
  s->Set(0, 3, Cell::Num(1.0 / 3));
  s->Set(0, 4, Cell::Num(45366));
  // openpyxl writes 16 significant digits: these values survive its edit.
  s->Set(0, 5, Cell::Num(1.5e308));
  s->Set(0, 6, Cell::Num(-2.5));
  s->Set(1, 0, Cell::Bool(true));
  s->Set(1, 1, Cell::Bool(false));
  int column = 2;
  for (int code : {xlerrNull, xlerrDiv0, xlerrValue, xlerrRef, xlerrName, xlerrNum, xlerrNA}) {
    s->Set(1, column++, Cell::Err(code));
  }
  s->Set(2, 0, Cell::Str(L"  blanks around\t"));
  s->Set(2, 1, Cell::Str(L"line\nbreak"));
  s->Set(2, 2, Cell::Str(L"<&>\"'"));
  s->Set(2, 3, Cell::Str(L"Name"));
  s->Set(2, 4, Cell::Str(L"\u00e5\u20ac\u4e2d\U0001F600"));
  book.AddSheet(L"\u00c5r & <\u00e9t\u00e9>")->Set(0, 0, Cell::Num(1));
  book.AddSheet(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
  auto* gaps = book.AddSheet(L"Gaps");
  gaps->Set(0, 0, Cell::Num(1));
  gaps->Set(0, 2, Cell::Num(3));
  gaps->Set(2, 0, Cell::Str(std::wstring(static_cast<size_t>(kXlMaxText), L'x')));
  gaps->Set(19, kXlColumns - 1, Cell::Num(4));

  std::string path = folder.Path("ours.xlsx"), edited = folder.Path("edited.xlsx"), error;
  ASSERT_TRUE(SaveXlsx(path, book, &error)) << error;
  ASSERT_EQ(Python(folder, kCheckAndEdit, {path, edited}), "");

  Workbook back;
  ASSERT_TRUE(LoadXlsx(edited, back, &error)) << error;
  ASSERT_EQ(back.SheetCount(), 4u);
  EXPECT_EQ(back.Sheets()[1]->Name(), L"\u00c5r & <\u00e9t\u00e9>");
  EXPECT_TRUE(back.Sheets()[0]->Cells() == s->Cells());
  std::map<CellPosition, Cell> edits = gaps->Cells();
  edits[{0, 1}] = Cell::Str(L"edited");
  edits.erase({0, 2});
  edits[{4, 3}] = Cell::Num(2.25);
  EXPECT_TRUE(back.FindSheet(L"Gaps")->Cells() == edits);
}

// A workbook of openpyxl's own: shared strings, booleans, errors, dates, an
// empty (formatted) cell between values, a formula it never computed.
const char kWriteOwn[] = R"PY(
import datetime
from openpyxl.styles import Font
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Road"
ws["A1"] = "Name"
ws["B1"] = "Name"
ws["C1"] = True
ws["D1"] = False
ws["A2"] = 1.5
ws["B2"].font = Font(bold=True)
ws["C2"] = 3
ws["D2"] = -0.1
ws["A3"] = datetime.datetime(2024, 3, 15, 12, 0)
ws["B3"] = datetime.date(2024, 3, 15)
ws["A4"] = "#DIV/0!"
ws["B4"] = "#N/A"
ws["A5"] = "\u00c5ngstr\u00f6m \u20ac"
ws["A6"] = "=1+1"
other = wb.create_sheet("\u03a3heet \u00fc")
other["C3"] = 0.1
wb.save(sys.argv[1])
)PY";

TEST(XlsxOpenpyxl, WeReadWhatItWritesWithTheRightTypes) {
  TempFolder folder;
  std::string path = folder.Path("theirs.xlsx"), error;
  ASSERT_EQ(Python(folder, kWriteOwn, {path}), "");

  Workbook book;
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  ASSERT_EQ(book.SheetCount(), 2u);
  EXPECT_EQ(book.Sheets()[0]->Name(), L"Road");
  EXPECT_EQ(book.Sheets()[1]->Name(), L"\u03a3heet \u00fc");
  // B2 (formatted, empty) and A6 (a formula without a computed value) hold nothing.
  const std::map<CellPosition, Cell> road = {
      {{0, 0}, Cell::Str(L"Name")},     {{0, 1}, Cell::Str(L"Name")},
      {{0, 2}, Cell::Bool(true)},       {{0, 3}, Cell::Bool(false)},
      {{1, 0}, Cell::Num(1.5)},         {{1, 2}, Cell::Num(3)},
      {{1, 3}, Cell::Num(-0.1)},        {{2, 0}, Cell::Num(45366.5)},
      {{2, 1}, Cell::Num(45366)},       {{3, 0}, Cell::Err(xlerrDiv0)},
      {{3, 1}, Cell::Err(xlerrNA)},     {{4, 0}, Cell::Str(L"\u00c5ngstr\u00f6m \u20ac")},
  };
  EXPECT_TRUE(book.Sheets()[0]->Cells() == road);
  EXPECT_EQ(book.GetCell(L"\u03a3heet \u00fc", 2, 2), Cell::Num(0.1));
}

}  // namespace
