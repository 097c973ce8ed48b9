// Loading files that other programs write, and refusing damaged ones with an
// error that names the file and the part, leaving the workbook as it was
// (cut and damaged archives: the xlsx_read fuzz corpus, replayed by the tests).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "xlsx_file.h"
#include "xlsx_test_files.h"

namespace {

using sheethost::Cell;
using sheethost::Workbook;

class XlsxRead : public ::testing::Test {
 protected:
  std::string Write(const Parts& parts) {
    std::string path = m_folder.Path("file" + std::to_string(m_count++) + ".xlsx");
    EXPECT_TRUE(WritePackage(path, parts));
    return path;
  }

  // Loading fails with an error naming the file and holding each piece; an
  // empty workbook stays empty, a workbook with content keeps it.
  void ExpectRefused(const std::string& path, const std::vector<std::string>& pieces,
                     const XlsxLimits& limits = XlsxLimits()) {
    Workbook empty;
    std::string first;
    EXPECT_FALSE(LoadXlsx(path, empty, &first, limits));
    EXPECT_EQ(empty.SheetCount(), 0u);
    EXPECT_EQ(empty.ActiveSheet(), nullptr);
    Workbook book;
    book.AddSheet(L"Mine")->Set(1, 1, Cell::Num(5));
    std::string error;
    EXPECT_FALSE(LoadXlsx(path, book, &error, limits));
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    for (const auto& piece : pieces) EXPECT_NE(error.find(piece), std::string::npos) << error << "\nlacks: " << piece;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(first, error);
    ASSERT_EQ(book.SheetCount(), 1u);
    EXPECT_EQ(book.GetCell(L"Mine", 1, 1), Cell::Num(5));
    EXPECT_EQ(book.Sheets()[0]->CellCount(), 1u);
  }
  void ExpectRefused(const Parts& parts, const std::vector<std::string>& pieces) { ExpectRefused(Write(parts), pieces); }

  TempFolder m_folder;
  int m_count = 0;
};

TEST_F(XlsxRead, OtherWritersFormsLoadWithTheirTypes) {
  std::string data =
      "<row r=\"1\">"
      "<c r=\"A1\" t=\"inlineStr\"><is><t>inline</t></is></c>"
      "<c r=\"B1\" t=\"inlineStr\"><is><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r>"
      "<rPh sb=\"0\" eb=\"1\"><t>hint</t></rPh></is></c>"
      "<c r=\"C1\" t=\"s\"><v>1</v></c>"
      "<c r=\"D1\" t=\"str\"><f>A1&amp;\"\"</f><v>formula text</v></c>"
      "<c r=\"E1\"><f>1+1</f><v>2</v></c>"
      "<c r=\"F1\" s=\"3\"/>"
      "<c r=\"G1\" t=\"d\"><v>2024-03-15T12:00:00</v></c>"
      "<c r=\"H1\"><f>1+1</f></c>"
      "</row>"
      "<row><c><v>1</v></c><c t=\"b\"><v>1</v></c><c r=\"E2\" t=\"e\"><v>#REF!</v></c><c><v> 5 </v></c></row>"
      "<row r=\"10\" spans=\"1:4\">"
      "<c r=\"B10\" t=\"inlineStr\"><is><t xml:space=\"preserve\">  </t></is></c>"
      "<c r=\"C10\" t=\"s\"><v>0</v></c>"
      "<c r=\"D10\" t=\"inlineStr\"><is><t>a<![CDATA[<b>]]>c &#233;&#x20AC;</t></is></c>"
      "<c r=\"E10\" t=\"s\"><v>2</v></c>"
      "</row>";
  std::string strings = "<si><t>first</t></si><si><r><t>sec</t></r><r><t>ond</t></r></si><si><t/></si>";
  std::string path = Write(OneSheetParts(data, strings)), error;
  Workbook book;
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  // F1 (styled, empty) and H1 (a formula without a value) hold nothing;
  // cells without references follow the one before.
  const std::map<sheethost::CellPosition, Cell> cells = {
      {{0, 0}, Cell::Str(L"inline")},     {{0, 1}, Cell::Str(L"rich text")},
      {{0, 2}, Cell::Str(L"second")},     {{0, 3}, Cell::Str(L"formula text")},
      {{0, 4}, Cell::Num(2)},             {{0, 6}, Cell::Num(45366.5)},
      {{1, 0}, Cell::Num(1)},             {{1, 1}, Cell::Bool(true)},
      {{1, 4}, Cell::Err(xlerrRef)},      {{1, 5}, Cell::Num(5)},
      {{9, 1}, Cell::Str(L"  ")},         {{9, 2}, Cell::Str(L"first")},
      {{9, 3}, Cell::Str(L"a<b>c \u00e9\u20ac")}, {{9, 4}, Cell::Str(L"")},
  };
  EXPECT_TRUE(book.Sheets()[0]->Cells() == cells);
}

TEST_F(XlsxRead, PartsElsewhereAndPrefixedNamespacesAreFollowed) {
  std::string path = Write(UnusualPackage()), error;
  Workbook book;
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  ASSERT_EQ(book.SheetCount(), 1u);  // the chart sheet holds no cells
  EXPECT_EQ(book.Sheets()[0]->Name(), L"\u00c5r & \ttab");
  const std::map<sheethost::CellPosition, Cell> cells = {
      {{0, 0}, Cell::Num(2)}, {{1, 2}, Cell::Num(2)}, {{8, 1}, Cell::Num(7)}};
  EXPECT_TRUE(book.Sheets()[0]->Cells() == cells);

  // Without package relationships the workbook is looked for where it usually is.
  Parts plain = Replaced(OneSheetParts("<row r=\"1\"><c r=\"A1\"><v>3</v></c></row>"), "_rels/.rels", "", true);
  path = Write(plain);
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  EXPECT_EQ(book.GetCell(L"Data", 0, 0), Cell::Num(3));
}

TEST_F(XlsxRead, FilesThatAreNoWorkbookOrBrokenAreRefusedNamingThePart) {
  std::string text = m_folder.Path("notes.xlsx");
  WriteBytes(text, "just some text, not a zip archive\n");
  ExpectRefused(text, {"not a zip"});
  ExpectRefused(m_folder.Path("missing.xlsx"), {"cannot open", "No such file"});
  ExpectRefused(m_folder.Path(""), {"not a regular file"});  // a folder

  Parts good = OneSheetParts("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "<si><t>x</t></si>");
  std::string main = "<workbook xmlns=\"" + kMain + "\"";
  const std::string sheet = "xl/worksheets/sheet1.xml", book = "xl/workbook.xml";
  const std::pair<Parts, std::vector<std::string>> cases[] = {
      {Replaced(good, sheet, "", true), {sheet, "\"Data\"", "missing"}},
      {Replaced(good, book, "", true), {book}},
      {Replaced(good, "xl/_rels/workbook.xml.rels", "", true), {"xl/_rels/workbook.xml.rels", "missing"}},
      {Replaced(good, "xl/sharedStrings.xml", "", true), {"xl/sharedStrings.xml", "missing"}},
      {Replaced(good, book, main + "><sheets/></workbook>"), {"no worksheet"}},
      {Replaced(good, book, main + " xmlns:r=\"" + kRel +
                                "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>"),
       {book, "\"Data\"", "no part"}},
      {Replaced(good, sheet, "<worksheet xmlns=\"" + kMain + "\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row>"),
       {sheet, "broken XML"}},
      {Replaced(good, sheet, "<html/>"), {sheet, "not a worksheet"}},
  };
  for (const auto& c : cases) ExpectRefused(c.first, c.second);
}

TEST_F(XlsxRead, CellsOutsideTheGridAndValuesTheWorkbookRefusesAreErrors) {
  struct Case {
    std::string data;
    std::vector<std::string> pieces;
  };
  std::string longText(static_cast<size_t>(kXlMaxText) + 1, 'x');
  const Case cases[] = {
      {"<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", {"\"XFE1\"", "grid", "(sheet \"Data\")"}},
      {"<row r=\"1048577\"><c><v>1</v></c></row>", {"\"1048577\""}},
      {"<row r=\"1\"><c r=\"A1048577\"><v>1</v></c></row>", {"\"A1048577\""}},
      {"<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>", {"more cells than"}},
      {"<row r=\"1\"><c r=\"B1\" t=\"s\"><v>1</v></c></row>", {"cell B1", "shared string \"1\""}},
      {"<row r=\"1\"><c r=\"B1\" t=\"q\"><v>1</v></c></row>", {"cell B1", "unknown cell type"}},
      {"<row r=\"1\"><c r=\"B1\"><v>1,5</v></c></row>", {"cell B1", "not a number"}},
      {"<row r=\"1\"><c r=\"B1\"><v>12\n" + std::string(100, '9') + "</v></c></row>",
       {"cell B1: \"12?99", "9...\" is not a number"}},
      {"<row r=\"1\"><c r=\"B1\" t=\"b\"><v>yes</v></c></row>", {"cell B1", "boolean"}},
      {"<row r=\"1\"><c r=\"B1\" t=\"e\"><v>#SPILL!</v></c></row>", {"cell B1", "error value"}},
      {"<row r=\"1\"><c r=\"B1\" t=\"d\"><v>2024-02-30</v></c></row>", {"cell B1", "not a date"}},
      {"<row r=\"1\"><c r=\"B1\" t=\"inlineStr\"><is><t>" + longText + "</t></is></c></row>", {"cell B1", "32767"}},
      {"<row r=\"1\"><c r=\"B1\" t=\"inlineStr\"><is><t>\xC3(</t></is></c></row>", {"cell B1", "UTF-8"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data.substr(0, 80));
    std::vector<std::string> pieces = c.pieces;
    pieces.push_back("xl/worksheets/sheet1.xml");
    ExpectRefused(OneSheetParts(c.data, "<si><t>only</t></si>"), pieces);
  }
  for (const char* names : {"<sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"a\" sheetId=\"2\" r:id=\"rId1\"/>",
                            "<sheet name=\"a/b\" sheetId=\"1\" r:id=\"rId1\"/>",
                            "<sheet name=\"\" sheetId=\"1\" r:id=\"rId1\"/>",
                            "<sheet name=\"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef\" sheetId=\"1\" r:id=\"rId1\"/>"}) {
    ExpectRefused(Replaced(OneSheetParts(""), "xl/workbook.xml",
                           "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\"><sheets>" + names +
                               "</sheets></workbook>"),
                  {"xl/workbook.xml", "sheet name"});
  }
}

// A small file may not ask for more memory than a workbook of the largest
// EDB needs: the limits refuse it, naming the limit.
TEST_F(XlsxRead, FilesBeyondTheLimitsAreRefusedNamingTheLimit) {
  std::string path = Write(OneSheetParts(
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\"><v>3</v></c></row>",
      "<si><t>a</t></si><si><t>b</t></si><si><t>c</t></si>"));
  Workbook book;
  std::string error;
  ASSERT_TRUE(LoadXlsx(path, book, &error)) << error;
  const size_t many = 1000000;  // the limits in the order sharedStrings, cellsPerSheet, cells, inflatedBytes
  ExpectRefused(path, {"xl/sharedStrings.xml", "more than 2 shared strings"}, XlsxLimits{2, many, many, many});
  ExpectRefused(path, {"\"Data\"", "more than 2 cells, more than vorkab reads in a sheet"},
                XlsxLimits{3, 2, many, many});
  ExpectRefused(path, {"the workbook holds more than 2 cells"}, XlsxLimits{3, many, 2, many});
  ExpectRefused(path, {"inflates to more than 100 bytes"}, XlsxLimits{3, many, many, 100});

  // Four million and one empty shared strings: 20 MB that compress to a few kilobytes.
  std::string strings;
  strings.reserve(4000001 * 6);
  for (size_t i = 0; i < 4000001; ++i) strings += "<si/>";
  ExpectRefused(OneSheetParts("", strings), {"more than 4000000 shared strings"});
}

}  // namespace
