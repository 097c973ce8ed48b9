// The ALOB cell (see alob_cell.h).
#include "workbook/alob_cell.h"

#include <cwchar>
#include <string>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "transport/latin1.h"
#include "workbook/field_rule.h"

bool AlobCellFault(const wchar_t* text, wchar_t* message, size_t messageSize) {
  if (!text) return false;
  if (wcslen(text) > AlobCellMax) {
    listtext::FormatCut(message, messageSize, L"To long string for ALOB. Max is %d", static_cast<int>(AlobCellMax));
    return true;
  }
  int line = 1;
  for (const wchar_t* start = text;; ++line) {
    const wchar_t* end = wcschr(start, L'\n');
    size_t length = end ? static_cast<size_t>(end - start) : wcslen(start);
    std::wstring part(start, length);
    wchar_t label[32];
    swprintf(label, 32, L"ALOB line %d", line);
    if (FieldFault(label, part.c_str(), static_cast<size_t>(MaxAlobLine) + 1, FieldForm::kText, message,
                   messageSize)) {
      return true;
    }
    if (!end) return false;
    start = end + 1;
  }
}

const wchar_t* AlobCellText(const Alob* alob, const char* kind, const wchar_t* name) {
  const wchar_t* text = alob ? alob->Text() : L"";
  if (wcslen(text) > AlobCellMax) {
    SetErrorText("Attribute text of %s %s is longer than %d characters, which a cell cannot hold", kind,
                 Narrow(name).c_str(), static_cast<int>(AlobCellMax));
    return nullptr;
  }
  return text;
}
