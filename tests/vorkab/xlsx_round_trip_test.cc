// Workbook -> file -> workbook for every cell type, odd sheet names, the grid's
// corners and the longest texts; and the same files through openpyxl (Debian's
// python3-openpyxl for /usr/bin/python3) as an independent reader and writer.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "xlsx_cell_text.h"
#include "xlsx_file.h"
#include "xlsx_test_files.h"

namespace {

using sheethost::Cell;
using sheethost::CellPosition;
using sheethost::Sheet;
using sheethost::Workbook;

// The cells of every type on the sheet "Substance".  python is the value
// openpyxl must read, as a Python expression; nullptr for the cells it is not
// asked to carry through its edit (control characters, an empty text, 17
// significant digits: it writes 16).
const struct {
  int row, column;
  Cell cell;
  const char* python;
} kCells[] = {
    {0, 0, Cell::Str(L"Name"), "'Name'"},
    {0, 1, Cell::Num(0.1), "0.1"},
    {0, 2, Cell::Num(-1e-300), "-1e-300"},
    {0, 3, Cell::Num(1.0 / 3), "1 / 3"},
    {0, 4, Cell::Num(45366), "45366"},  // a date as the library writes it
    {0, 5, Cell::Num(1.5e308), "1.5e308"},
    {0, 6, Cell::Num(-2.5), "-2.5"},
    {0, 7, Cell::Num(1.7976931348623157e308), nullptr},
    {1, 0, Cell::Bool(true), "True"},
    {1, 1, Cell::Bool(false), "False"},
    {1, 2, Cell::Err(xlerrNull), "'#NULL!'"},
    {1, 3, Cell::Err(xlerrDiv0), "'#DIV/0!'"},
    {1, 4, Cell::Err(xlerrValue), "'#VALUE!'"},
    {1, 5, Cell::Err(xlerrRef), "'#REF!'"},
    {1, 6, Cell::Err(xlerrName), "'#NAME?'"},
    {1, 7, Cell::Err(xlerrNum), "'#NUM!'"},
    {1, 8, Cell::Err(xlerrNA), "'#N/A'"},
    {2, 0, Cell::Str(L"  blanks around\t"), "'  blanks around\\t'"},
    {2, 1, Cell::Str(L"line\nbreak"), "'line\\nbreak'"},
    {2, 2, Cell::Str(L"<&>\"'"), "'<&>\"\\''"},
    {2, 3, Cell::Str(L"Name"), "'Name'"},  // shared with A1
    {2, 4, Cell::Str(L"\u00e5\u20ac\u4e2d\U0001F600"), "'\\u00e5\\u20ac\\u4e2d\\U0001F600'"},
    {3, 0, Cell::Str(L""), nullptr},
    {3, 1, Cell::Str(L"\u0001" L"42"), nullptr},  // the library's number-cell mark
    {3, 2, Cell::Str(L"line\r\nbreaks\rand _x000D_ literally"), nullptr},
    {5, 0, Cell::Num(7), "7"},  // rows and columns with gaps
};

// The sheet "Substance" of kCells (only those openpyxl carries, or all).
Sheet* AddSubstance(Workbook& book, bool openpyxlOnly) {
  Sheet* s = book.AddSheet(L"Substance");
  for (const auto& c : kCells) {
    if (c.python || !openpyxlOnly) s->Set(c.row, c.column, c.cell);
  }
  return s;
}

// The two workbooks hold the same sheets, in the same order, with the same
// cells (no value here is -0 or NaN, so == compares numbers bit for bit).
void ExpectSameBook(const Workbook& expected, const Workbook& actual) {
  ASSERT_EQ(actual.SheetCount(), expected.SheetCount());
  for (size_t i = 0; i < expected.SheetCount(); ++i) {
    EXPECT_EQ(actual.Sheets()[i]->Name(), expected.Sheets()[i]->Name());
    EXPECT_TRUE(actual.Sheets()[i]->Cells() == expected.Sheets()[i]->Cells()) << "sheet " << i;
  }
}

TEST(XlsxRoundTrip, EveryCellTypeAndOddSheetNamesComeBack) {
  TempFolder folder;
  Workbook book;
  AddSubstance(book, false);
  const std::wstring names[] = {
      L"Sheet With Spaces",
      L"\u00c5ngstr\u00f6m & <\u00e9t\u00e9> \"q\" 'a' x",  // XML's special characters too
      L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde",                 // 31 characters
      L"\u0394\u03b5\u03bb\u03c4\u03b1 \u0416 \u4e2d\U0001F600",
      L"_x0041_ sheet",
  };
  for (const auto& name : names) ASSERT_NE(book.AddSheet(name), nullptr);
  std::wstring longest;
  while (longest.size() < static_cast<size_t>(kXlMaxText)) longest += L"\u00e5bc \u20ac\n";
  longest.resize(kXlMaxText);
  Sheet* corners = book.FindSheet(names[0]);
  corners->Set(0, 0, Cell::Num(1));
  corners->Set(0, kXlColumns - 1, Cell::Num(2));
  corners->Set(kXlRows - 1, 0, Cell::Num(3));
  corners->Set(kXlRows - 1, kXlColumns - 1, Cell::Str(longest));
  book.FindSheet(names[3])->Set(3, 3, Cell::Str(L"\U0001F600 \u4e2d\u6587"));

  std::string path = folder.Path("book.xlsx"), error;
  ASSERT_TRUE(SaveXlsx(path, book, &error)) << error;
  Workbook back;
  ASSERT_TRUE(LoadXlsx(path, back, &error)) << error;
  ExpectSameBook(book, back);
  ASSERT_NE(back.ActiveSheet(), nullptr);
  EXPECT_EQ(back.ActiveSheet()->Name(), L"Substance");
}

TEST(XlsxRoundTrip, LoadingReplacesTheWorkbooksSheets) {
  TempFolder folder;
  Workbook saved;
  saved.AddSheet(L"Road")->Set(0, 0, Cell::Num(1));
  saved.AddSheet(L"Grid");
  std::string path = folder.Path("book.xlsx"), error;
  ASSERT_TRUE(SaveXlsx(path, saved, &error)) << error;

  Workbook book;
  book.AddSheet(L"Old")->Set(4, 4, Cell::Num(9));
  book.AddSheet(L"ROAD")->Set(1, 1, Cell::Num(9));
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  ExpectSameBook(saved, book);
  EXPECT_EQ(book.FindSheet(L"Old"), nullptr);
  EXPECT_EQ(book.ActiveSheet()->Name(), L"Road");
}

TEST(XlsxRoundTrip, WhatCannotBeWrittenIsRefusedAndNothingIsWritten) {
  TempFolder folder;
  std::string path = folder.Path("book.xlsx"), error;
  Workbook empty;
  EXPECT_FALSE(SaveXlsx(path, empty, &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find("no sheet"), std::string::npos) << error;

  Workbook unknownError;
  unknownError.AddSheet(L"S")->Set(2, 1, Cell::Err(99));
  EXPECT_FALSE(SaveXlsx(path, unknownError, &error));
  EXPECT_NE(error.find("B3"), std::string::npos) << error;

  if (sizeof(wchar_t) == 4) {
    Workbook notUnicode;
    notUnicode.AddSheet(L"S")->Set(0, 0, Cell::Str(std::wstring(1, static_cast<wchar_t>(0x110000))));
    EXPECT_FALSE(SaveXlsx(path, notUnicode, &error));
    EXPECT_NE(error.find("A1"), std::string::npos) << error;
  }
  EXPECT_TRUE(folder.Files().empty());
}

// Checks our file cell by cell (value, Python type and openpyxl's data type,
// and that no other cell holds a value), then edits it and saves a copy: the
// whole file as openpyxl writes it, with a date, a formatted empty cell and a
// formula it never computed added.
const char kCheckAndEdit[] = R"PY(
path, edited = sys.argv[1], sys.argv[2]
wb = openpyxl.load_workbook(path)
problems = []
want_names = ["Substance", "\u00c5r & <\u00e9t\u00e9>", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", "Gaps"]
if wb.sheetnames != want_names:
    problems.append("sheet names %r" % wb.sheetnames)
want = {
    "Substance": substance,
    "\u00c5r & <\u00e9t\u00e9>": {"A1": (1, "n")},
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde": {},
    "Gaps": {"A1": (1, "n"), "C1": (3, "n"), "A3": ("x" * 32767, "s"), "XFD20": (4, "n")},
}
for name, cells in want.items():
    if name not in wb.sheetnames:
        continue
    ws = wb[name]
    for coord, (value, data_type) in cells.items():
        c = ws[coord]
        if c.value != value or type(c.value) is not type(value) or c.data_type != data_type:
            problems.append("%s!%s: %r (%s, %s)" % (name, coord, c.value, type(c.value).__name__, c.data_type))
    present = {c.coordinate for row in ws.iter_rows() for c in row if c.value is not None}
    if present != set(cells):
        problems.append("%s: cells %r" % (name, sorted(present ^ set(cells))))
import datetime
from openpyxl.styles import Font
ws = wb["Gaps"]
ws["B1"] = "edited"
ws["C1"] = None
ws["D5"] = 2.25
ws["A6"] = datetime.datetime(2024, 3, 15, 12, 0)
ws["B6"].font = Font(bold=True)
ws["C6"] = "=1+1"
wb.save(edited)
print("\n".join(problems), end="")
)PY";

TEST(XlsxOpenpyxl, ItReadsWhatWeWriteAndWeReadItsEdit) {
  TempFolder folder;
  Workbook book;
  const Sheet* s = AddSubstance(book, true);
  std::string substance = "substance = {\n";
  for (const auto& c : kCells) {
    const char type = "?nsbe"[static_cast<int>(c.cell.kind)];
    if (c.python) substance += "  '" + xlsx::CellName(c.row, c.column) + "': (" + c.python + ", '" + type + "'),\n";
  }
  book.AddSheet(L"\u00c5r & <\u00e9t\u00e9>")->Set(0, 0, Cell::Num(1));
  book.AddSheet(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
  auto* gaps = book.AddSheet(L"Gaps");
  gaps->Set(0, 0, Cell::Num(1));
  gaps->Set(0, 2, Cell::Num(3));
  gaps->Set(2, 0, Cell::Str(std::wstring(static_cast<size_t>(kXlMaxText), L'x')));
  gaps->Set(19, kXlColumns - 1, Cell::Num(4));

  std::string path = folder.Path("ours.xlsx"), edited = folder.Path("edited.xlsx"), error;
  ASSERT_TRUE(SaveXlsx(path, book, &error)) << error;
  ASSERT_EQ(Python(folder, substance + "}\n" + kCheckAndEdit, {path, edited}), "");

  Workbook back;
  ASSERT_TRUE(LoadXlsx(edited, back, &error)) << error;
  ASSERT_EQ(back.SheetCount(), 4u);
  EXPECT_EQ(back.Sheets()[1]->Name(), L"\u00c5r & <\u00e9t\u00e9>");
  EXPECT_TRUE(back.Sheets()[0]->Cells() == s->Cells());
  std::map<CellPosition, Cell> edits = gaps->Cells();
  edits[{0, 1}] = Cell::Str(L"edited");
  edits.erase({0, 2});
  edits[{4, 3}] = Cell::Num(2.25);
  edits[{5, 0}] = Cell::Num(45366.5);  // the formatted cell and the formula hold nothing
  EXPECT_TRUE(back.FindSheet(L"Gaps")->Cells() == edits);
}

}  // namespace
