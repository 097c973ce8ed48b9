// CCellChecker: the checks every sheet verifier applies to its cells (a
// number within bounds, a text that fits its field).  A failed check adds
// exactly one issue, at the cell's sheet, row and column, to the error list
// and returns 0; an acceptable cell returns 1.
//
// Labels name the cell's field in the messages ("Month", "Slope").  Numbers
// are read as the C library reads them, with the ranges of 32-bit values on
// every platform.
#pragma once

#include <cstdint>

#include "host/issue_list.h"
#include "workbook/field_rule.h"

class CCellChecker {
 public:
  CCellChecker(const wchar_t* sheet, IssueList& errors, IssueList& warnings);
  ~CCellChecker();
  CCellChecker(const CCellChecker&) = delete;
  CCellChecker& operator=(const CCellChecker&) = delete;

  // A decimal real number with min <= value <= max (the bounds widened to
  // double).  value, when given, receives the number read.
  int32_t CheckFloat(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text, float min,
                     float max, double* value = nullptr);
  // A base-10 signed integer with min <= value <= max.
  int32_t CheckLong(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text, int32_t min,
                    int32_t max, int32_t* value = nullptr);
  // A base-10 unsigned integer with min <= value <= max ("-1" reads as
  // 4294967295).
  int32_t CheckULong(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                     uint32_t min, uint32_t max, uint32_t* value = nullptr);
  // A text of at most size - 1 characters; a size below 1 accepts any text.
  int32_t CheckStrLen(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                      int32_t size);
  // A text that a record field of size characters (terminator included; 0:
  // any length) in the given form can carry (field_rule.h); the fault's
  // message otherwise.
  int32_t CheckText(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text, size_t size,
                    FieldForm form);

  const wchar_t* Sheet() const { return m_sheet ? m_sheet : L""; }
  IssueList& Errors() { return m_errors; }
  IssueList& Warnings() { return m_warnings; }

 private:
  // Reads the whole text as one number with scan, which gives the end of the
  // number (its start when none could be read): "Empty %ls cell" for a text
  // of white space only, "%ls cell not a number" when no number starts it or
  // anything but white space follows.  True, with *value, when the number
  // stands alone.
  template <class T>
  bool ReadNumber(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                  const wchar_t* (*scan)(const wchar_t*, T*), T* value);

  wchar_t* m_sheet;
  IssueList& m_errors;
  IssueList& m_warnings;
};
