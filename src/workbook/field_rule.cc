// The rule for texts that become record fields (see field_rule.h).
#include "workbook/field_rule.h"

#include <cstdarg>
#include <cwchar>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "transport/latin1.h"

bool FieldFault(const wchar_t* label, const wchar_t* text, size_t size, FieldForm form, wchar_t* message,
                size_t messageSize) {
  if (!label) label = L"";
  if (!text) text = L"";
  size_t length = 0;
  for (const wchar_t* p = text; *p; ++p, ++length) {
    uint32_t c = static_cast<uint32_t>(*p);
    if (c == L'\n' || c == L'\r') {
      listtext::FormatCut(message, messageSize, L"%ls cell holds a line break, which a record cannot carry", label);
      return true;
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      listtext::FormatCut(message, messageSize,
                          L"%ls cell holds a control character (code %d), which a record cannot carry", label,
                          static_cast<int>(c));
      return true;
    }
    if (c > 0xFF) {
      listtext::FormatCut(message, messageSize, L"%ls cell holds the character U+%04X, which has no ISO 8859-1 form",
                          label, static_cast<unsigned>(c));
      return true;
    }
    if (form == FieldForm::kQuoted && c == L'"') {
      listtext::FormatCut(message, messageSize, L"%ls cell holds a double quote, which a quoted field cannot carry",
                          label);
      return true;
    }
    if (form == FieldForm::kWord && (c == L' ' || c == 0xA0)) {
      listtext::FormatCut(message, messageSize, L"%ls cell holds a blank, which a one-word field cannot carry",
                          label);
      return true;
    }
  }
  if (form == FieldForm::kUnpadded && (text[0] == L' ' || text[0] == 0xA0)) {
    listtext::FormatCut(message, messageSize, L"%ls cell begins with white space, which a record does not keep",
                        label);
    return true;
  }
  if (size > 0 && length > size - 1) {
    listtext::FormatCut(message, messageSize, L"To long string for %ls. Max is %d", label,
                        static_cast<int>(size - 1));
    return true;
  }
  return false;
}

namespace {

void CellErrorTextV(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, va_list args) {
  wchar_t message[512];
  listtext::FormatCutV(message, 512, format, args);
  size_t n = wcslen(message);
  while (n > 0 && message[n - 1] == L'.') message[--n] = 0;
  std::string place = " (sheet " + Narrow(sheet ? sheet : L"");
  if (column >= 0) {
    wchar_t cell[kCellNameSize];
    CellName(row, column, cell, kCellNameSize);
    place += ", cell " + Narrow(cell);
  }
  if (row >= 0) place += ", row " + std::to_string(static_cast<long long>(row) + 1);
  SetErrorText("%s%s).", Narrow(message).c_str(), place.c_str());
}

}  // namespace

void CellErrorText(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  CellErrorTextV(sheet, row, column, format, args);
  va_end(args);
}

bool CellTextFits(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                  size_t size, FieldForm form) {
  wchar_t message[kFieldFaultSize];
  if (!FieldFault(label, text, size, form, message, kFieldFaultSize)) return true;
  CellErrorText(sheet, row, column, L"%ls", message);
  return false;
}
