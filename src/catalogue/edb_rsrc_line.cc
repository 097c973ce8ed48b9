// Resource-file lines: reading and printing (see edb_rsrc_line.h).
#include "catalogue/edb_rsrc_line.h"

#include <cwchar>
#include <cwctype>

namespace {

struct KeywordKind {
  const wchar_t* keyword;
  RsrcKind kind;
};

constexpr KeywordKind kKeywords[] = {
    {L"speed", RsrcKind::Speed},         {L"temperature", RsrcKind::Temperature},
    {L"scenario", RsrcKind::Scenario},   {L"Sub", RsrcKind::UnitSub},
    {L"SubGrp", RsrcKind::UnitSubGrp},   {L"SubGrpEm", RsrcKind::UnitSubGrpEm},
    {L"Search", RsrcKind::UnitSearch},
};

bool IsSpace(wchar_t c) { return c != 0 && std::iswspace(static_cast<wint_t>(c)); }
bool IsUnitDelimiter(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }

// The decimal number at text (after white space, with an optional sign);
// false when there is none or it lies outside 0..65535.  *rest is what
// follows the number.
bool ScanNumber(const wchar_t* text, uint16_t* number, const wchar_t** rest) {
  while (IsSpace(*text)) ++text;
  bool negative = false;
  if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
  if (*text < L'0' || *text > L'9') return false;
  uint32_t value = 0;
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    value = value * 10 + static_cast<uint32_t>(*text - L'0');
    if (value > 65535) return false;
  }
  if (negative && value != 0) return false;
  *number = static_cast<uint16_t>(value);
  *rest = text;
  return true;
}

bool IsBlankText(const wchar_t* text) {
  while (IsSpace(*text)) ++text;
  return *text == 0;
}

// The next word of text from *pos, words separated by the unit delimiters.
std::wstring NextUnitWord(const std::wstring& text, size_t* pos) {
  size_t p = *pos;
  while (p < text.size() && IsUnitDelimiter(text[p])) ++p;
  size_t start = p;
  while (p < text.size() && !IsUnitDelimiter(text[p])) ++p;
  *pos = p;
  return text.substr(start, p - start);
}

}  // namespace

const wchar_t* RsrcKeyword(RsrcKind kind) {
  for (const KeywordKind& k : kKeywords) {
    if (k.kind == kind) return k.keyword;
  }
  return nullptr;
}

RsrcLine ParseRsrcLine(const wchar_t* line) {
  RsrcLine out;
  out.fault = RsrcLineFault::kNotSetting;
  if (!line) return out;
  const wchar_t* colon = wcschr(line, L':');
  if (!colon) return out;

  // The value: after leading white space, up to the line-end characters.
  const wchar_t* value = colon + 1;
  while (IsSpace(*value)) ++value;
  size_t valueLength = wcslen(value);
  while (valueLength > 0 && (value[valueLength - 1] == L'\r' || value[valueLength - 1] == L'\n')) {
    --valueLength;
  }

  // The head: a keyword (a word) and a number.
  const wchar_t* head = line;
  while (head < colon && IsSpace(*head)) ++head;
  const wchar_t* headEnd = colon;
  while (headEnd > head && IsSpace(headEnd[-1])) --headEnd;
  const wchar_t* keywordEnd = head;
  while (keywordEnd < colon && !IsSpace(*keywordEnd)) ++keywordEnd;
  if (keywordEnd == head) return out;
  std::wstring keyword(head, static_cast<size_t>(keywordEnd - head));
  std::wstring rest(keywordEnd, static_cast<size_t>(colon - keywordEnd));

  RsrcKind kind = RsrcKind::Free;
  for (const KeywordKind& k : kKeywords) {
    if (keyword == k.keyword) kind = k.kind;
  }
  std::wstring text(value, valueLength);
  if (kind == RsrcKind::Free) {
    if (text.empty()) return out;
    out.kind = kind;
    out.fault = RsrcLineFault::kNone;
    out.name.assign(head, static_cast<size_t>(headEnd - head));
    out.value = text;
    return out;
  }
  uint16_t number = 0;
  const wchar_t* afterNumber = nullptr;
  if (!ScanNumber(rest.c_str(), &number, &afterNumber)) {
    out.fault = RsrcLineFault::kNoNumber;
    return out;
  }
  out.fault = IsBlankText(afterNumber) ? RsrcLineFault::kNone : RsrcLineFault::kExtraWords;
  if (IsRsrcUnitKind(kind)) {
    size_t pos = 0;
    std::wstring factor = NextUnitWord(text, &pos);
    std::wstring name = NextUnitWord(text, &pos);
    if (factor.empty() || name.empty()) {
      out.fault = RsrcLineFault::kNoUnit;
      return out;
    }
    if (!NextUnitWord(text, &pos).empty()) out.fault = RsrcLineFault::kExtraWords;
    out.name = name;
    out.value = factor;
  } else {
    out.name = text;
  }
  out.kind = kind;
  out.number = number;
  return out;
}

std::wstring FormatRsrcLine(const RsrcLine& line) {
  if (line.kind == RsrcKind::Kept) return std::wstring();
  if (line.kind == RsrcKind::Free) return line.name + L": " + line.value;
  std::wstring out = RsrcKeyword(line.kind);
  out += L" " + std::to_wstring(line.number) + L": ";
  if (IsRsrcUnitKind(line.kind)) return out + line.value + L" " + line.name;
  return out + line.name;
}
