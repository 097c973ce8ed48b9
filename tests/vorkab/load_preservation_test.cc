// A load keeps what it does not own, in workbooks written by openpyxl and by
// LibreOffice Calc: every other part of the package stays byte for byte.
#include <cstdlib>

#include "vorkab_run.h"

namespace {

// Prints the parts of two packages that differ, one a line, sorted; the
// document properties and what points at them are left out (the load writes
// the EDB there; see OriginSurvives).
const char kChangedParts[] =
    "import zipfile\n"
    "a, b = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2])\n"
    "names = sorted(set(a.namelist()) | set(b.namelist()))\n"
    "for n in names:\n"
    "    if n.startswith('docProps/') or n in ('[Content_Types].xml', '_rels/.rels'):\n"
    "        continue\n"
    "    if n not in a.namelist() or n not in b.namelist() or a.read(n) != b.read(n):\n"
    "        print(n)\n";

// The parts of the sheets named in sys.argv[2] (comma-separated), sorted.
const char kSheetParts[] =
    "import zipfile, re\n"
    "z = zipfile.ZipFile(sys.argv[1])\n"
    "rels = z.read('xl/_rels/workbook.xml.rels').decode()\n"
    "book = z.read('xl/workbook.xml').decode()\n"
    "parts = []\n"
    "for name in sys.argv[2].split(','):\n"
    "    rid = re.search(r'<sheet [^>]*name=\"' + name + r'\"[^>]*r:id=\"([^\"]+)\"', book).group(1)\n"
    "    target = re.search(r'Id=\"' + rid + r'\"[^>]*Target=\"([^\"]+)\"|Target=\"([^\"]+)\"[^>]*Id=\"' + rid + '\"', rels)\n"
    "    t = target.group(1) or target.group(2)\n"
    "    parts.append(t.lstrip('/') if t.startswith('/') else 'xl/' + t)\n"
    "print(''.join(p + '\\n' for p in sorted(parts)), end='')\n";

class LoadPreservation : public VorkabTest {
 protected:
  // The workbook still knows its EDB (openpyxl before 3.1 drops custom
  // document properties; the core properties carry it too).
  void OriginSurvives() {
    Outcome run = Vorkab(folder_, server_.url(), With({"save", "timevars"}, "Malmo2024"));
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(Contains(run.err, "was loaded from EDB Gothenburg2025")) << run.err;
  }
  std::string ChangedParts(const std::string& before) {
    return Python(folder_, kChangedParts, {before, book_});
  }
  // The parts of the sheets a load of timevars writes, sorted: the timevar
  // sheets and the digests of what was loaded.
  std::string Expected(const std::string& sheets = "Source timevar,Road timevar,VorkabBase") {
    return Python(folder_, kSheetParts, {book_, sheets});
  }
};

const char kUserEdits[] =
    "from openpyxl.comments import Comment\n"
    "from openpyxl.styles import Font\n"
    "from openpyxl.workbook.defined_name import DefinedName\n"
    "notes = wb.create_sheet('Notes')\n"
    "notes['A1'], notes['A2'], notes['A3'] = 1, 2, '=SUM(A1:A2)'\n"
    "notes['A1'].comment = Comment('my note', 'me')\n"
    "notes['A1'].font = Font(bold=True)\n"
    "notes.column_dimensions['B'].width = 30\n"
    "notes.freeze_panes = 'A2'\n"
    "tv = wb['Source timevar']\n"
    "tv.column_dimensions['A'].width = 40\n"
    "tv.freeze_panes = 'C2'\n"
    "tv['A1'].font = Font(italic=True)\n"
    "wb['Emission function'].column_dimensions['D'].width = 70\n"
    "dn = DefinedName('MyRange', attr_text='Notes!$A$1:$A$3')\n"
    "try:\n"
    "    wb.defined_names['MyRange'] = dn\n"
    "except (TypeError, AttributeError):\n"
    "    wb.defined_names.append(dn)\n";

const char kCheckKept[] =
    "wb = openpyxl.load_workbook(sys.argv[1])\n"
    "notes, tv = wb['Notes'], wb['Source timevar']\n"
    "print(notes['A3'].value, notes['A1'].comment.text, notes['A1'].font.b, notes.column_dimensions['B'].width,\n"
    "      notes.freeze_panes, wb.defined_names.get('MyRange') is not None)\n"
    "print(tv.column_dimensions['A'].width, tv.freeze_panes, tv['A1'].font.i, tv['A2'].value is not None)\n";

TEST_F(LoadPreservation, OpenpyxlWorkbookKeepsEverythingTheLoadDoesNotOwn) {
  Expect(0, {"load", "all"});
  Edit(kUserEdits);
  OriginSurvives();
  std::string before = folder_.Path("before.xlsx");
  WriteBytes(before, ReadBytes(book_));
  Expect(0, {"load", "timevars"});
  EXPECT_EQ(ChangedParts(before), Expected());
  OriginSurvives();
  EXPECT_EQ(Python(folder_, kCheckKept, {book_}), "=SUM(A1:A2) my note True 30.0 A2 True\n40.0 C2 True True\n");
  std::string records = server_.dumpRecords();
  Expect(0, {"save", "all"});
  EXPECT_EQ(server_.dumpRecords(), records);
}

TEST_F(LoadPreservation, LibreOfficeWorkbookRoundTripsAndKeepsItsParts) {
  if (system("command -v soffice > /dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  Expect(0, {"load", "all"});
  Edit(kUserEdits);
  // LibreOffice Calc opens the workbook and writes it as its own.
  std::string out = folder_.Path("lo");
  std::string command = "cd '" + folder_.Path() + "' && timeout 300 soffice -env:UserInstallation=file://" +
                        folder_.Path("profile") + " --headless --convert-to xlsx --outdir '" + out + "' '" + book_ +
                        "' > '" + folder_.Path("soffice.txt") + "' 2>&1";
  ASSERT_EQ(system(command.c_str()), 0) << ReadBytes(folder_.Path("soffice.txt"));
  WriteBytes(book_, ReadBytes(out + "/book.xlsx"));

  std::string records = server_.dumpRecords();
  Expect(0, {"verify"});
  Expect(0, {"save", "all"});
  EXPECT_EQ(server_.dumpRecords(), records);

  std::string before = folder_.Path("before.xlsx");
  WriteBytes(before, ReadBytes(book_));
  Expect(0, {"load", "timevars"});
  OriginSurvives();
  // The digests are the ones the save recorded: their sheet stays as it was.
  // LibreOffice keeps a calculation chain for the formula of the user's
  // sheet; the load keeps it too (it names no cell of the loaded sheets).
  EXPECT_EQ(ChangedParts(before), Expected("Source timevar,Road timevar"));
  EXPECT_EQ(Python(folder_, kCheckKept, {book_}).substr(0, 12), "=SUM(A1:A2) ");
  Expect(0, {"save", "all"});
  EXPECT_EQ(server_.dumpRecords(), records);
}

}  // namespace
