// CCellChecker: number and length checks of cell texts (see cell_checker.h).
#include "workbook/cell_checker.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "catalogue/list_text.h"
#include "workbook/number_text.h"

namespace {

const wchar_t* Label(const wchar_t* label) { return label ? label : L""; }

// A real number as the C library reads it; a NaN counts as no number (it
// would pass every bound).
const wchar_t* ScanDouble(const wchar_t* text, double* value) {
  wchar_t* end = nullptr;
  *value = wcstod(text, &end);
  return std::isnan(*value) ? text : end;
}

}  // namespace

CCellChecker::CCellChecker(const wchar_t* sheet, IssueList& errors, IssueList& warnings)
    : m_sheet(listtext::Duplicate(sheet ? sheet : L"")), m_errors(errors), m_warnings(warnings) {}

CCellChecker::~CCellChecker() { std::free(m_sheet); }

template <class T>
bool CCellChecker::ReadNumber(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                              const wchar_t* (*scan)(const wchar_t*, T*), T* value) {
  const wchar_t* start = SkipWhiteSpace(text ? text : L"");
  if (*start == 0) {
    m_errors.Add(Sheet(), row, column, L"Empty %ls cell", Label(label));
    return false;
  }
  const wchar_t* end = scan(start, value);
  if (end == start || *SkipWhiteSpace(end) != 0) {
    m_errors.Add(Sheet(), row, column, L"%ls cell not a number", Label(label));
    return false;
  }
  return true;
}

int32_t CCellChecker::CheckFloat(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                 float min, float max, double* value) {
  double v = 0;
  if (!ReadNumber(row, column, label, text, ScanDouble, &v)) return 0;
  if (value) *value = v;
  double low = min;
  double high = max;
  if (v >= low && v <= high) return 1;
  m_errors.Add(Sheet(), row, column, L"%ls cell value out of range [%lg,%lg]", Label(label), low, high);
  return 0;
}

int32_t CCellChecker::CheckLong(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                int32_t min, int32_t max, int32_t* value) {
  int32_t v = 0;
  if (!ReadNumber(row, column, label, text, ScanInt32, &v)) return 0;
  if (value) *value = v;
  if (v >= min && v <= max) return 1;
  m_errors.Add(Sheet(), row, column, L"%ls cell value out of range [%ld,%ld]", Label(label),
               static_cast<long>(min), static_cast<long>(max));
  return 0;
}

int32_t CCellChecker::CheckULong(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                 uint32_t min, uint32_t max, uint32_t* value) {
  uint32_t v = 0;
  if (!ReadNumber(row, column, label, text, ScanUInt32, &v)) return 0;
  if (value) *value = v;
  if (v >= min && v <= max) return 1;
  m_errors.Add(Sheet(), row, column, L"%ls cell value out of range [%lu,%lu] %lu", Label(label),
               static_cast<unsigned long>(min), static_cast<unsigned long>(max), static_cast<unsigned long>(v));
  return 0;
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

int32_t CCellChecker::CheckText(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text, size_t size,
                                FieldForm form) {
  wchar_t message[kFieldFaultSize];
  if (!FieldFault(Label(label), text, size, form, message, kFieldFaultSize)) return 1;
  m_errors.Add(Sheet(), row, column, L"%ls", message);
  return 0;
}
