// The rule for the resource sheets' cells (see rsrc_rule.h).
#include "workbook/rsrc_rule.h"

#include <cwchar>
#include <cwctype>
#include <string>

#include "catalogue/edb_rsrc_line.h"
#include "catalogue/edb_rsrc_rows.h"
#include "catalogue/list_text.h"
#include "workbook/field_rule.h"

namespace {

bool IsSpace(wchar_t c) { return c != 0 && std::iswspace(static_cast<wint_t>(c)); }

// The field rule, tabs allowed (kText) or not (kWord).
bool FieldRuleFault(const wchar_t* label, const std::wstring& text, size_t size, FieldForm form, wchar_t* message,
                    size_t messageSize) {
  if (form == FieldForm::kWord) return FieldFault(label, text.c_str(), size, form, message, messageSize);
  std::wstring untabbed = text;
  for (wchar_t& c : untabbed) {
    if (c == L'\t') c = L' ';
  }
  return FieldFault(label, untabbed.c_str(), size, form, message, messageSize);
}

bool Fault(wchar_t* message, size_t messageSize, const wchar_t* format, const wchar_t* label,
           const wchar_t* word = nullptr) {
  listtext::FormatCut(message, messageSize, format, label, word);
  return true;
}

// The keyword a tag begins with, when it is one of the table keywords.
const wchar_t* TableKeyword(const std::wstring& tag) {
  std::wstring first = tag.substr(0, tag.find_first_of(L" \t"));
  for (RsrcKind kind : {RsrcKind::Speed, RsrcKind::Temperature, RsrcKind::Scenario, RsrcKind::UnitSub,
                        RsrcKind::UnitSubGrp, RsrcKind::UnitSubGrpEm, RsrcKind::UnitSearch}) {
    if (first == RsrcKeyword(kind)) return RsrcKeyword(kind);
  }
  return nullptr;
}

}  // namespace

bool RsrcCellFault(RsrcCell cell, const wchar_t* label, const wchar_t* text, wchar_t* message,
                   size_t messageSize) {
  if (!label) label = L"";
  std::wstring t = text ? text : L"";
  bool word = cell == RsrcCell::kUnitName || cell == RsrcCell::kFactor;
  size_t size = (cell == RsrcCell::kUnitName || cell == RsrcCell::kTag) ? RsrcTextSize : RsrcValueSize;
  if (t.empty() && (cell == RsrcCell::kFactor || cell == RsrcCell::kValue)) {
    return Fault(message, messageSize, L"Empty %ls cell", label);
  }
  if (FieldRuleFault(label, t, size, word ? FieldForm::kWord : FieldForm::kText, message, messageSize)) return true;
  if (t.empty() || word) return false;
  if (IsSpace(t.front())) {
    return Fault(message, messageSize, L"%ls cell begins with white space, which the resource file does not keep",
                 label);
  }
  if (cell != RsrcCell::kTag) return false;
  if (IsSpace(t.back())) {
    return Fault(message, messageSize, L"%ls cell ends with white space, which the resource file does not keep",
                 label);
  }
  if (t.find(L':') != std::wstring::npos) {
    return Fault(message, messageSize, L"%ls cell holds a colon, which ends the tag of a resource line", label);
  }
  if (const wchar_t* keyword = TableKeyword(t)) {
    return Fault(message, messageSize, L"%ls cell begins with \"%ls\", which makes the line a table line", label,
                 keyword);
  }
  return false;
}

bool RsrcCellFits(const wchar_t* sheet, int32_t row, int32_t column, RsrcCell cell, const wchar_t* label,
                  const wchar_t* text) {
  wchar_t message[kFieldFaultSize];
  if (!RsrcCellFault(cell, label, text, message, kFieldFaultSize)) return true;
  CellErrorText(sheet, row, column, L"%ls", message);
  return false;
}
