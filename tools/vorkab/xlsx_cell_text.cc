// Cell names, numbers, booleans, error values and dates as sheet parts write
// them (see xlsx_cell_text.h).
#include "xlsx_cell_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace xlsx {

namespace {

struct ErrorEntry {
  int code;
  const char* name;
};

const ErrorEntry kErrors[] = {
    {xlerrNull, "#NULL!"}, {xlerrDiv0, "#DIV/0!"}, {xlerrValue, "#VALUE!"}, {xlerrRef, "#REF!"},
    {xlerrName, "#NAME?"}, {xlerrNum, "#NUM!"},    {xlerrNA, "#N/A"},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exactly `count` digits at text[*pos] as a number; advances pos.
bool Digits(const std::string& text, size_t* pos, int count, int* value) {
  if (*pos + static_cast<size_t>(count) > text.size()) return false;
  int v = 0;
  for (int i = 0; i < count; ++i) {
    char c = text[*pos + static_cast<size_t>(i)];
    if (!IsDigit(c)) return false;
    v = v * 10 + (c - '0');
  }
  *pos += static_cast<size_t>(count);
  *value = v;
  return true;
}

bool Expect(const std::string& text, size_t* pos, char c) {
  if (*pos >= text.size() || text[*pos] != c) return false;
  ++*pos;
  return true;
}

// Days from 1970-01-01 to the given proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

// "HH:MM[:SS[.fff]]" at text[*pos] as a fraction of a day.
bool ParseTime(const std::string& text, size_t* pos, double* fraction) {
  int h, m, s = 0;
  if (!Digits(text, pos, 2, &h) || !Expect(text, pos, ':') || !Digits(text, pos, 2, &m)) return false;
  double seconds = 0;
  if (*pos < text.size() && text[*pos] == ':') {
    ++*pos;
    if (!Digits(text, pos, 2, &s)) return false;
    seconds = s;
    if (*pos < text.size() && text[*pos] == '.') {
      size_t start = *pos;
      ++*pos;
      while (*pos < text.size() && IsDigit(text[*pos])) ++*pos;
      if (*pos == start + 1) return false;
      double part = 0;
      auto r = std::from_chars(text.data() + start, text.data() + *pos, part);
      if (r.ec != std::errc()) return false;
      seconds += part;
    }
  }
  if (h > 24 || m > 59 || s > 59 || (h == 24 && (m != 0 || seconds != 0))) return false;
  *fraction = (h * 3600.0 + m * 60.0 + seconds) / 86400.0;
  return true;
}

}  // namespace

std::string ColumnName(COL column) {
  std::string name;
  for (int64_t c = static_cast<int64_t>(column) + 1; c > 0; c = (c - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
  }
  return name;
}

std::string CellName(RW row, COL column) { return ColumnName(column) + std::to_string(static_cast<int64_t>(row) + 1); }

bool ParseCellName(const std::string& text, RW* row, COL* column) {
  size_t i = 0;
  int64_t col = 0;
  for (; i < text.size() && i < 4; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    col = col * 26 + (c - 'A' + 1);
  }
  if (i == 0 || col > kXlColumns) return false;
  RW r;
  if (!ParseRowNumber(text.substr(i), &r)) return false;
  *row = r;
  *column = static_cast<COL>(col - 1);
  return true;
}

bool ParseRowNumber(const std::string& text, RW* row) {
  if (text.empty() || text.size() > 7 || text[0] == '0') return false;
  int64_t number = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    number = number * 10 + (c - '0');
  }
  if (number > kXlRows) return false;
  *row = static_cast<RW>(number - 1);
  return true;
}

std::string NumberText(double value) {
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

bool ParseNumber(const std::string& text, double* value) {
  std::string t = Trimmed(text);
  const char* first = t.data();
  const char* last = t.data() + t.size();
  if (first < last && *first == '+') {
    ++first;
    if (first < last && *first == '-') return false;
  }
  if (first == last) return false;
  double v = 0;
  auto r = std::from_chars(first, last, v);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

const char* ErrorName(int code) {
  for (const auto& e : kErrors) {
    if (e.code == code) return e.name;
  }
  return nullptr;
}

bool ParseErrorName(const std::string& text, int* code) {
  std::string t = Trimmed(text);
  for (const auto& e : kErrors) {
    if (t == e.name) {
      *code = e.code;
      return true;
    }
  }
  return false;
}

bool ParseBoolean(const std::string& text, bool* value) {
  std::string t = Trimmed(text);
  if (t == "1" || t == "true") {
    *value = true;
  } else if (t == "0" || t == "false") {
    *value = false;
  } else {
    return false;
  }
  return true;
}

bool ParseIsoDate(const std::string& text, bool date1904, double* serial) {
  std::string t = Trimmed(text);
  if (!t.empty() && t.back() == 'Z') t.pop_back();
  size_t pos = 0;
  double fraction = 0;
  double days = 0;
  if (t.size() > 2 && t[2] == ':') {  // a time alone
    if (!ParseTime(t, &pos, &fraction)) return false;
  } else {
    int y, m, d;
    if (!Digits(t, &pos, 4, &y) || !Expect(t, &pos, '-') || !Digits(t, &pos, 2, &m) || !Expect(t, &pos, '-') ||
        !Digits(t, &pos, 2, &d)) {
      return false;
    }
    if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    if (pos < t.size() && (!Expect(t, &pos, 'T') || !ParseTime(t, &pos, &fraction))) return false;
    int64_t count = DaysFromCivil(y, m, d);
    if (date1904) {
      count -= DaysFromCivil(1904, 1, 1);
    } else {
      count -= DaysFromCivil(1899, 12, 30);
      if (count < 61) --count;  // before the phantom 29 February 1900
    }
    days = static_cast<double>(count);
  }
  if (pos != t.size()) return false;
  *serial = days + fraction;
  return true;
}

}  // namespace xlsx
