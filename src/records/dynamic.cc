// DYNAMIC fields (see dynamic.h).
#include "records/dynamic.h"

#include <cwchar>

#include "records/record_io.h"
#include "records/scanners.h"
#include "transport/commands.h"

namespace {

bool IsDynamicWord(const wchar_t* line, const wchar_t* keyword) {
  static wchar_t word[LineBufferSize];
  return keyscan::ScanWord(line, keyword, word, LineBufferSize) && wcscmp(word, DynamicWord) == 0;
}

}  // namespace

int32_t GetKeyLongDynamic(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, int32_t* out) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  const wchar_t* line = IORLine();
  if (keyscan::ScanLong(line, keyword, out)) return 1;
  if (IsDynamicWord(line, keyword)) {
    *out = -1;
    return 1;
  }
  return keyscan::NoMatch(kind, label, keyword);
}

int32_t GetKeyStringDynamic(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, wchar_t* out,
                            size_t size) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  const wchar_t* line = IORLine();
  if (keyscan::ScanQuoted(line, keyword, out, size)) return 1;
  if (IsDynamicWord(line, keyword)) {
    CopyCut(out, size, DynamicMarker);
    return 1;
  }
  if (keyscan::BeginsWith(line, keyword)) {
    CopyCut(out, size, L"");
    return 1;
  }
  return keyscan::NoMatch(kind, label, keyword);
}

int32_t GetKeyCodeDynamic(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, CodeString* code) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  const wchar_t* line = IORLine();
  if (!keyscan::BeginsWith(line, keyword)) return keyscan::NoMatch(kind, label, keyword);
  const wchar_t* rest = line + wcslen(keyword);
  if (*rest) ++rest;  // the one separating character
  if (CopyCode(code, rest) != 0) return -1;
  if (wcscmp(code->Text(), DynamicWord) == 0 && CopyCode(code, DynamicMarker) != 0) return -1;
  return 1;
}

int32_t PutKeyCodeDynamic(const wchar_t* keyword, const wchar_t* code) {
  if (!code || !*code) return IOLSendLine(L"%ls", keyword);
  if (wcscmp(code, DynamicMarker) == 0) return IOLSendLine(L"%ls DYNAMIC", keyword);
  return IOLSendLine(L"%ls %ls", keyword, code);
}

int32_t PutKeyLongDynamic(const wchar_t* keyword, int32_t value) {
  if (value == -1) return IOLSendLine(L"%ls DYNAMIC", keyword);
  return IOLSendLine(L"%ls %ld", keyword, static_cast<long>(value));
}

int32_t PutKeyStringDynamic(const wchar_t* keyword, const wchar_t* text) {
  if (text && wcscmp(text, DynamicMarker) == 0) return IOLSendLine(L"%ls DYNAMIC", keyword);
  return IOLSendLine(L"%ls \"%ls\"", keyword, text ? text : L"");
}
