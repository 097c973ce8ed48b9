// Date codes (YYMMDD) and the host's serial dates in both directions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "workbook/cell_text.h"
#include "workbook/date_code.h"

namespace {

std::wstring Cell(uint32_t code) {
  wchar_t text[kDateCellTextSize];
  DateCodeToCell(code, text, kDateCellTextSize);
  return text;
}

std::wstring Marked(const wchar_t* serial) { return std::wstring(1, NumberCellMark) + serial; }

TEST(DateCode, CodesToCells) {
  EXPECT_EQ(Cell(101), Marked(L"36526.000000"));    // 2000-01-01
  EXPECT_EQ(Cell(990101), Marked(L"36161.000000"));  // 1999-01-01
  EXPECT_EQ(Cell(380101), Marked(L"50406.000000"));  // 2038-01-01
  EXPECT_EQ(Cell(390101), Marked(L"14246.000000"));  // 1939-01-01
  EXPECT_EQ(Cell(229), Marked(L"36585.000000"));     // 2000-02-29
  EXPECT_EQ(Cell(0), L"");
  EXPECT_EQ(Cell(10229), L"");   // 2001 has no 29 February
  EXPECT_EQ(Cell(991301), L"");  // month 13
  EXPECT_EQ(Cell(990100), L"");  // day 0
  EXPECT_EQ(Cell(990431), L"");  // 31 April
  // More than six digits is no date code (it would wrap into other years).
  EXPECT_EQ(Cell(1000101), L"");
  EXPECT_EQ(Cell(4294967295u), L"");
}

TEST(DateCode, CellTextIsCutToTheBuffer) {
  wchar_t text[4] = {L'#', L'#', L'#', L'#'};
  DateCodeToCell(101, text, 4);
  EXPECT_EQ(std::wstring(text), Marked(L"36"));
  DateCodeToCell(0, text, 0);  // nothing written
  EXPECT_EQ(std::wstring(text), Marked(L"36"));
}

TEST(DateCode, CellsToCodes) {
  EXPECT_EQ(CellToDateCode(L"36526"), 101u);
  EXPECT_EQ(CellToDateCode(L"  36526.75"), 101u);
  EXPECT_EQ(CellToDateCode(L"36161"), 990101u);
  EXPECT_EQ(CellToDateCode(L"-1"), 991229u);
  EXPECT_EQ(CellToDateCode(L"0"), 0u);
  EXPECT_EQ(CellToDateCode(L"abc"), 0u);
  EXPECT_EQ(CellToDateCode(L""), 0u);
  EXPECT_EQ(CellToDateCode(L"3000000"), 0u);
  EXPECT_EQ(CellToDateCode(L"nan"), 0u);
  EXPECT_EQ(CellToDateCode(L"inf"), 0u);
  EXPECT_EQ(CellToDateCode(nullptr), 0u);
  // Round trip over the two-digit years.
  for (uint32_t code : {101u, 229u, 381231u, 390101u, 991231u}) {
    EXPECT_EQ(CellToDateCode(Cell(code).c_str() + 1), code) << code;
  }
}

TEST(DateCode, SerialToDate) {
  SerialDate d;
  ASSERT_EQ(SerialToDate(36526.5, &d), 1);
  EXPECT_EQ(d.year, 2000);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.day, 1);
  EXPECT_EQ(d.weekday, 7);  // Saturday
  EXPECT_EQ(d.yearDay, 1);
  EXPECT_EQ(d.hour, 12);
  EXPECT_EQ(d.minute, 0);

  ASSERT_EQ(SerialToDate(36585 + 0.75 - 1e-9, &d), 1);  // rounds to the second
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 29);
  EXPECT_EQ(d.yearDay, 60);
  EXPECT_EQ(d.hour, 18);
  EXPECT_EQ(d.minute, 0);
  EXPECT_EQ(d.second, 0);

  // Negative serials: the fraction still counts forward into the day.
  ASSERT_EQ(SerialToDate(-1.25, &d), 1);
  EXPECT_EQ(d.year, 1899);
  EXPECT_EQ(d.month, 12);
  EXPECT_EQ(d.day, 29);
  EXPECT_EQ(d.weekday, 6);  // Friday
  EXPECT_EQ(d.hour, 6);

  ASSERT_EQ(SerialToDate(2958465, &d), 1);
  EXPECT_EQ(d.year, 9999);
  EXPECT_EQ(d.month, 12);
  EXPECT_EQ(d.day, 31);
  ASSERT_EQ(SerialToDate(-657434, &d), 1);
  EXPECT_EQ(d.year, 100);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.day, 1);
  EXPECT_EQ(SerialToDate(2958465.01, &d), 0);
  EXPECT_EQ(SerialToDate(-657435, &d), 0);
  EXPECT_EQ(SerialToDate(std::nan(""), &d), 0);
}

}  // namespace
