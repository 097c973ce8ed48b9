// Interoperation with an independent reader and writer, openpyxl (Debian's
// python3-openpyxl for /usr/bin/python3): what we write it reads with the
// same values and types, and what it writes (an edit of our file, or a
// workbook of its own) we read with the right types.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "xlsx_file.h"
#include "xlsx_test_files.h"

namespace {

using sheethost::Cell;
using sheethost::Workbook;

// Runs the script with the arguments; its exit status, with its output.
int RunPython(const TempFolder& folder, const std::string& script, const std::string& args, std::string* output) {
  std::string scriptPath = folder.Path("script.py"), outputPath = folder.Path("output.txt");
  WriteBytes(scriptPath, script);
  std::string command = "timeout 120 /usr/bin/python3 '" + scriptPath + "' " + args + " >'" + outputPath + "' 2>&1";
  int status = std::system(command.c_str());
  *output = ReadBytes(outputPath);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveOpenpyxl(const TempFolder& folder) {
  std::string output;
  return RunPython(folder, "import openpyxl\n", "", &output) == 0;
}

// Checks our file cell by cell (value, Python type and openpyxl's data type,
// and that no other cell holds a value), then edits it and saves a copy.
const char kCheckAndEdit[] = R"PY(
import sys, openpyxl
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
print("\n".join(problems))
sys.exit(1 if problems else 0)
)PY";

TEST(XlsxOpenpyxl, ItReadsWhatWeWriteAndWeReadItsEdit) {
  TempFolder folder;
  ASSERT_TRUE(HaveOpenpyxl(folder)) << "python3-openpyxl is missing (make deps installs it)";
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

  std::string path = folder.Path("ours.xlsx"), edited = folder.Path("edited.xlsx"), error, output;
  ASSERT_TRUE(SaveXlsx(path, book, &error)) << error;
  ASSERT_EQ(RunPython(folder, kCheckAndEdit, "'" + path + "' '" + edited + "'", &output), 0) << output;

  Workbook back;
  ASSERT_TRUE(LoadXlsx(edited, back, &error)) << error;
  ASSERT_EQ(back.SheetCount(), 4u);
  EXPECT_EQ(back.Sheets()[1]->Name(), L"\u00c5r & <\u00e9t\u00e9>");
  for (const auto& cell : s->Cells()) {
    EXPECT_EQ(back.GetCell(L"Substance", cell.first.first, cell.first.second), cell.second)
        << "row " << cell.first.first << " column " << cell.first.second;
  }
  EXPECT_EQ(back.Sheets()[0]->CellCount(), s->CellCount());
  EXPECT_EQ(back.GetCell(L"Gaps", 0, 0), Cell::Num(1));
  EXPECT_EQ(back.GetCell(L"Gaps", 0, 1), Cell::Str(L"edited"));
  EXPECT_TRUE(back.GetCell(L"Gaps", 0, 2).IsEmpty());
  EXPECT_EQ(back.GetCell(L"Gaps", 4, 3), Cell::Num(2.25));
  EXPECT_EQ(back.GetCell(L"Gaps", 2, 0), gaps->Get(2, 0));
  EXPECT_EQ(back.GetCell(L"Gaps", 19, kXlColumns - 1), Cell::Num(4));
}

// A workbook of openpyxl's own: shared strings, booleans, errors, dates, an
// empty (formatted) cell between values, a formula it never computed.
const char kWriteOwn[] = R"PY(
import sys, datetime, openpyxl
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
  ASSERT_TRUE(HaveOpenpyxl(folder)) << "python3-openpyxl is missing (make deps installs it)";
  std::string path = folder.Path("theirs.xlsx"), output, error;
  ASSERT_EQ(RunPython(folder, kWriteOwn, "'" + path + "'", &output), 0) << output;

  Workbook book;
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  ASSERT_EQ(book.SheetCount(), 2u);
  EXPECT_EQ(book.Sheets()[0]->Name(), L"Road");
  EXPECT_EQ(book.Sheets()[1]->Name(), L"\u03a3heet \u00fc");
  EXPECT_EQ(book.GetCell(L"Road", 0, 0), Cell::Str(L"Name"));
  EXPECT_EQ(book.GetCell(L"Road", 0, 1), Cell::Str(L"Name"));
  EXPECT_EQ(book.GetCell(L"Road", 0, 2), Cell::Bool(true));
  EXPECT_EQ(book.GetCell(L"Road", 0, 3), Cell::Bool(false));
  EXPECT_EQ(book.GetCell(L"Road", 1, 0), Cell::Num(1.5));
  EXPECT_TRUE(book.GetCell(L"Road", 1, 1).IsEmpty());
  EXPECT_EQ(book.GetCell(L"Road", 1, 2), Cell::Num(3));
  EXPECT_EQ(book.GetCell(L"Road", 1, 3), Cell::Num(-0.1));
  EXPECT_EQ(book.GetCell(L"Road", 2, 0), Cell::Num(45366.5));
  EXPECT_EQ(book.GetCell(L"Road", 2, 1), Cell::Num(45366));
  EXPECT_EQ(book.GetCell(L"Road", 3, 0), Cell::Err(xlerrDiv0));
  EXPECT_EQ(book.GetCell(L"Road", 3, 1), Cell::Err(xlerrNA));
  EXPECT_EQ(book.GetCell(L"Road", 4, 0), Cell::Str(L"\u00c5ngstr\u00f6m \u20ac"));
  EXPECT_TRUE(book.GetCell(L"Road", 5, 0).IsEmpty());  // a formula without a computed value
  EXPECT_EQ(book.Sheets()[0]->CellCount(), 12u);
  EXPECT_EQ(book.GetCell(L"\u03a3heet \u00fc", 2, 2), Cell::Num(0.1));
}

}  // namespace
