// Date codes (YYMMDD, as records carry dates) and the host's serial dates
// (whole days since 1899-12-30, proleptic Gregorian, the fraction being the
// time of day; for negative serials the fraction still counts forward into
// the day).
//
// Two-digit years 00..38 are 2000..2038, 39..99 are 1939..1999.
#pragma once

#include <cstddef>
#include <cstdint>

struct SerialDate {
  int32_t year;
  int32_t month;    // 1..12
  int32_t day;      // 1..31
  int32_t weekday;  // 1 = Sunday .. 7 = Saturday
  int32_t yearDay;  // 1-based day of the year
  int32_t hour;
  int32_t minute;
  int32_t second;
};

// Room for any text DateCodeToCell writes.
constexpr size_t kDateCellTextSize = 32;

// The cell text for a date code: NumberCellMark and the serial printed with
// "%lf" (1 January 2000: mark, 36526.000000); the empty text for the code 0,
// for an invalid date and for a code of more than six digits.  Cut to
// size - 1 characters; nothing is written when size is 0.
void DateCodeToCell(uint32_t code, wchar_t* text, size_t size);

// The date code of a cell text holding a serial; 0 when the text holds no
// number, the number 0 or a serial that cannot be converted.
uint32_t CellToDateCode(const wchar_t* text);

// 1 and the broken-down date; 0 when the serial lies outside 1 January 100
// (-657434) .. 31 December 9999 (2958465) or is not a number.
int32_t SerialToDate(double serial, SerialDate* date);
