// Date codes (YYMMDD) and the host's serial dates in both directions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "workbook/cell_text.h"
#include "workbook/date_code.h"

namespace {

std::wstring Cell(uint32_t code) {
  wchar_t text[kDateCellTextSize];
  DateCodeToCell(code, text, kDateCellTextSize);
  return text;
}

std::wstring Marked(const wchar_t* serial) { return std::wstring(1, NumberCellMark) + serial; }

TEST(DateCode, CodesToCellsAndBack) {
  const std::pair<uint32_t, const wchar_t*> dates[] = {
      {101, L"36526.000000"},     // 2000-01-01
      {990101, L"36161.000000"},  // 1999-01-01
      {380101, L"50406.000000"},  // 2038-01-01
      {390101, L"14246.000000"},  // 1939-01-01
      {229, L"36585.000000"},     // 2000-02-29
      {991231, L"36525.000000"},  // 1999-12-31
      {381231, L"50770.000000"},  // 2038-12-31
  };
  for (const auto& d : dates) {
    EXPECT_EQ(Cell(d.first), Marked(d.second)) << d.first;
    EXPECT_EQ(CellToDateCode(d.second), d.first) << d.first;
  }
  // No date: 0, no 29 February 2001, month 13, day 0, 31 April, more than six
  // digits (which would wrap into other years).
  for (uint32_t code : {0u, 10229u, 991301u, 990100u, 990431u, 1000101u, 4294967295u}) EXPECT_EQ(Cell(code), L"") << code;
  EXPECT_EQ(CellToDateCode(L"  36526.75"), 101u);
  EXPECT_EQ(CellToDateCode(L"-1"), 991229u);
  for (const wchar_t* text : {L"0", L"abc", L"", L"3000000", L"nan", L"inf", static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_EQ(CellToDateCode(text), 0u) << (text ? text : L"(null)");
  }
  // The cell text is cut to the buffer; a buffer of 0 is not written.
  wchar_t text[4] = {L'#', L'#', L'#', L'#'};
  DateCodeToCell(101, text, 4);
  EXPECT_EQ(std::wstring(text), Marked(L"36"));
  DateCodeToCell(0, text, 0);
  EXPECT_EQ(std::wstring(text), Marked(L"36"));
}

TEST(DateCode, SerialToDate) {
  struct Case {
    double serial;
    int year, month, day, weekday, yearDay, hour, minute, second;
  };
  const Case cases[] = {
      {36526.5, 2000, 1, 1, 7 /* Saturday */, 1, 12, 0, 0},
      {36585 + 0.75 - 1e-9, 2000, 2, 29, 3, 60, 18, 0, 0},  // rounds to the second
      {-1.25, 1899, 12, 29, 6 /* Friday */, 363, 6, 0, 0},  // the fraction counts forward into the day
      {2958465, 9999, 12, 31, 6, 365, 0, 0, 0},
      {-657434, 100, 1, 1, 6, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SerialDate d;
    ASSERT_EQ(SerialToDate(c.serial, &d), 1) << c.serial;
    EXPECT_EQ(std::vector<int>({d.year, d.month, d.day, d.weekday, d.yearDay, d.hour, d.minute, d.second}),
              std::vector<int>({c.year, c.month, c.day, c.weekday, c.yearDay, c.hour, c.minute, c.second}))
        << c.serial;
  }
  SerialDate d;
  EXPECT_EQ(SerialToDate(2958465.01, &d), 0);
  EXPECT_EQ(SerialToDate(-657435, &d), 0);
  EXPECT_EQ(SerialToDate(std::nan(""), &d), 0);
}

}  // namespace
