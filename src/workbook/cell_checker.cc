// CCellChecker: number and length checks of cell texts (see cell_checker.h).
#include "workbook/cell_checker.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "catalogue/list_text.h"
#include "workbook/number_text.h"

namespace {

const wchar_t* Label(const wchar_t* label) { return label ? label : L""; }

}  // namespace

CCellChecker::CCellChecker(const wchar_t* sheet, IssueList& errors, IssueList& warnings)
    : m_sheet(listtext::Duplicate(sheet ? sheet : L"")), m_errors(errors), m_warnings(warnings) {}

CCellChecker::~CCellChecker() { std::free(m_sheet); }

const wchar_t* CCellChecker::NonEmpty(int32_t row, int32_t column, const wchar_t* label,
                                      const wchar_t* text) {
  const wchar_t* start = SkipWhiteSpace(text ? text : L"");
  if (*start == 0) {
    m_errors.Add(Sheet(), row, column, L"Empty %ls cell", Label(label));
    return nullptr;
  }
  return start;
}

bool CCellChecker::OnlyWhiteSpaceAfter(int32_t row, int32_t column, const wchar_t* label,
                                       const wchar_t* end) {
  if (*SkipWhiteSpace(end) == 0) return true;
  m_errors.Add(Sheet(), row, column, L"%ls cell not a number", Label(label));
  return false;
}

int32_t CCellChecker::CheckFloat(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                 float min, float max, double* value) {
  const wchar_t* start = NonEmpty(row, column, label, text);
  if (!start) return 0;
  wchar_t* end = nullptr;
  double v = wcstod(start, &end);
  // A NaN is no number to store: it would pass every bound.
  if (end == start || std::isnan(v)) {
    m_errors.Add(Sheet(), row, column, L"%ls cell not a number", Label(label));
    return 0;
  }
  if (!OnlyWhiteSpaceAfter(row, column, label, end)) return 0;
  if (value) *value = v;
  double low = min;
  double high = max;
  if (v < low || v > high) {
    m_errors.Add(Sheet(), row, column, L"%ls cell value out of range [%lg,%lg]", Label(label), low, high);
    return 0;
  }
  return 1;
}

int32_t CCellChecker::CheckLong(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                int32_t min, int32_t max, int32_t* value) {
  const wchar_t* start = NonEmpty(row, column, label, text);
  if (!start) return 0;
  int32_t v = 0;
  const wchar_t* end = ScanInt32(start, &v);
  if (end == start) {
    m_errors.Add(Sheet(), row, column, L"%ls cell not a number", Label(label));
    return 0;
  }
  if (!OnlyWhiteSpaceAfter(row, column, label, end)) return 0;
  if (value) *value = v;
  if (v < min || v > max) {
    m_errors.Add(Sheet(), row, column, L"%ls cell value out of range [%ld,%ld]", Label(label),
                 static_cast<long>(min), static_cast<long>(max));
    return 0;
  }
  return 1;
}

int32_t CCellChecker::CheckULong(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                 uint32_t min, uint32_t max, uint32_t* value) {
  const wchar_t* start = NonEmpty(row, column, label, text);
  if (!start) return 0;
  uint32_t v = 0;
  const wchar_t* end = ScanUInt32(start, &v);
  if (end == start) {
    m_errors.Add(Sheet(), row, column, L"%ls cell not a number", Label(label));
    return 0;
  }
  if (!OnlyWhiteSpaceAfter(row, column, label, end)) return 0;
  if (value) *value = v;
  if (v < min || v > max) {
    m_errors.Add(Sheet(), row, column, L"%ls cell value out of range [%lu,%lu] %lu", Label(label),
                 static_cast<unsigned long>(min), static_cast<unsigned long>(max),
                 static_cast<unsigned long>(v));
    return 0;
  }
  return 1;
}

int32_t CCellChecker::CheckStrLen(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                  int32_t size) {
  if (size < 1) return 1;
  size_t length = text ? wcslen(text) : 0;
  if (length <= static_cast<size_t>(size) - 1) return 1;
  m_errors.Add(Sheet(), row, column, L"To long string for %ls. Max is %d", Label(label),
               static_cast<int>(size - 1));
  return 0;
}
