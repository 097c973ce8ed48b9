// Workbook -> file -> workbook: every cell type, odd sheet names, the grid's
// corners, the longest texts and numbers that must come back exactly.
#include <gtest/gtest.h>

#include <string>

#include "xlsx_file.h"
#include "xlsx_test_files.h"

namespace {

using sheethost::Cell;
using sheethost::Sheet;
using sheethost::Workbook;

// The two workbooks hold the same sheets, in the same order, with the same
// cells (no value here is -0 or NaN, so == compares numbers bit for bit).
void ExpectSameBook(const Workbook& expected, const Workbook& actual) {
  ASSERT_EQ(actual.SheetCount(), expected.SheetCount());
  for (size_t i = 0; i < expected.SheetCount(); ++i) {
    EXPECT_EQ(actual.Sheets()[i]->Name(), expected.Sheets()[i]->Name());
    EXPECT_TRUE(actual.Sheets()[i]->Cells() == expected.Sheets()[i]->Cells()) << "sheet " << i;
  }
}

std::wstring LongText() {
  std::wstring text;
  while (text.size() < static_cast<size_t>(kXlMaxText)) text += L"\u00e5bc \u20ac\n";
  text.resize(kXlMaxText);
  return text;
}

TEST(XlsxRoundTrip, EveryCellTypeAndOddSheetNamesComeBack) {
  TempFolder folder;
  Workbook book;
  const std::wstring names[] = {
      L"Substance",
      L"Sheet With Spaces",
      L"\u00c5ngstr\u00f6m & <\u00e9t\u00e9> \"q\" 'a' x",  // XML's special characters too
      L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde",                 // 31 characters
      L"\u0394\u03b5\u03bb\u03c4\u03b1 \u0416 \u4e2d\U0001F600",
      L"_x0041_ sheet",
  };
  for (const auto& name : names) ASSERT_NE(book.AddSheet(name), nullptr);
  Sheet* s = book.FindSheet(names[0]);
  s->Set(0, 0, Cell::Str(L"Name"));
  s->Set(0, 1, Cell::Num(0.1));
  s->Set(0, 2, Cell::Num(-1e-300));
  s->Set(0, 3, Cell::Num(1.0 / 3));
  s->Set(0, 4, Cell::Num(1.7976931348623157e308));
  s->Set(0, 5, Cell::Num(45366));  // a date as the library writes it
  s->Set(1, 0, Cell::Bool(true));
  s->Set(1, 1, Cell::Bool(false));
  int column = 2;
  for (int code : {xlerrNull, xlerrDiv0, xlerrValue, xlerrRef, xlerrName, xlerrNum, xlerrNA}) {
    s->Set(1, column++, Cell::Err(code));
  }
  s->Set(2, 0, Cell::Str(L""));
  s->Set(2, 1, Cell::Str(L"  blanks around\t"));
  s->Set(2, 2, Cell::Str(L"\u0001" L"42"));  // the library's number-cell mark
  s->Set(2, 3, Cell::Str(L"line\r\nbreaks\rand _x000D_ literally"));
  s->Set(2, 4, Cell::Str(L"Name"));  // shared with A1
  s->Set(2, 7, Cell::Str(L"<&>\"'"));
  s->Set(5, 0, Cell::Num(7));  // rows and columns with gaps
  Sheet* corners = book.FindSheet(names[1]);
  corners->Set(0, 0, Cell::Num(1));
  corners->Set(0, kXlColumns - 1, Cell::Num(2));
  corners->Set(kXlRows - 1, 0, Cell::Num(3));
  corners->Set(kXlRows - 1, kXlColumns - 1, Cell::Str(LongText()));
  book.FindSheet(names[4])->Set(3, 3, Cell::Str(L"\U0001F600 \u4e2d\u6587"));

  std::string path = folder.Path("book.xlsx"), error;
  ASSERT_TRUE(SaveXlsx(path, book, &error)) << error;
  Workbook back;
  ASSERT_TRUE(LoadXlsx(path, back, &error)) << error;
  ExpectSameBook(book, back);
  ASSERT_NE(back.ActiveSheet(), nullptr);
  EXPECT_EQ(back.ActiveSheet()->Name(), names[0]);

  // And once more: what was loaded saves to the same content.
  std::string again = folder.Path("again.xlsx");
  ASSERT_TRUE(SaveXlsx(again, back, &error)) << error;
  Workbook third;
  ASSERT_TRUE(LoadXlsx(again, third, &error)) << error;
  ExpectSameBook(book, third);
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

}  // namespace
