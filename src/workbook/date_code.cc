// Date codes and serial dates (see date_code.h).
#include "workbook/date_code.h"

#include <cmath>
#include <cwchar>

#include "workbook/cell_text.h"

namespace {

constexpr double kFirstSerial = -657434;  // 0100-01-01
constexpr double kLastSerial = 2958465;   // 9999-12-31
constexpr double kHalfSecond = 5.787037037037037e-6;
constexpr uint32_t kLargestCode = 991231;

bool IsLeap(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t MonthLength(int64_t year, int32_t month) {
  static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the date, proleptic Gregorian.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t yoe = year - era * 400;
  int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int64_t* year, int32_t* month, int32_t* day) {
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t doe = days - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  *year = yoe + era * 400 + (*month <= 2);
}

const int64_t kSerialEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

void DateCodeToCell(uint32_t code, wchar_t* text, size_t size) {
  if (!text || size == 0) return;
  text[0] = 0;
  if (code == 0 || code > kLargestCode) return;
  int32_t yy = static_cast<int32_t>(code / 10000);
  int32_t month = static_cast<int32_t>(code / 100 % 100);
  int32_t day = static_cast<int32_t>(code % 100);
  int32_t year = yy > 38 ? 1900 + yy : 2000 + yy;
  if (month < 1 || month > 12 || day < 1 || day > MonthLength(year, month)) return;
  double serial = static_cast<double>(DaysFromCivil(year, month, day) - kSerialEpoch);
  wchar_t number[kDateCellTextSize] = {};
  number[0] = NumberCellMark;
  swprintf(number + 1, kDateCellTextSize - 1, L"%lf", serial);
  number[kDateCellTextSize - 1] = 0;
  size_t n = wcslen(number);
  if (n > size - 1) n = size - 1;
  wmemcpy(text, number, n);
  text[n] = 0;
}

uint32_t CellToDateCode(const wchar_t* text) {
  if (!text) return 0;
  wchar_t* end = nullptr;
  double serial = wcstod(text, &end);
  if (end == text || serial == 0) return 0;
  SerialDate date;
  if (!SerialToDate(serial, &date)) return 0;
  return static_cast<uint32_t>(date.year % 100) * 10000u + static_cast<uint32_t>(date.month) * 100u +
         static_cast<uint32_t>(date.day);
}

int32_t SerialToDate(double serial, SerialDate* date) {
  if (!(serial >= kFirstSerial && serial <= kLastSerial)) return 0;  // NaN too
  double rounded = serial + (serial < 0 ? -kHalfSecond : kHalfSecond);
  double whole = std::trunc(rounded);
  int64_t days = static_cast<int64_t>(whole);
  int32_t seconds = static_cast<int32_t>(std::floor(std::fabs(rounded - whole) * 86400.0));
  if (seconds > 86399) seconds = 86399;

  int64_t year;
  int32_t month;
  int32_t day;
  CivilFromDays(days + kSerialEpoch, &year, &month, &day);
  if (date) {
    date->year = static_cast<int32_t>(year);
    date->month = month;
    date->day = day;
    date->weekday = static_cast<int32_t>(((days + 6) % 7 + 7) % 7) + 1;
    date->yearDay = static_cast<int32_t>(days + kSerialEpoch - DaysFromCivil(year, 1, 1)) + 1;
    date->hour = seconds / 3600;
    date->minute = seconds / 60 % 60;
    date->second = seconds % 60;
  }
  return 1;
}
