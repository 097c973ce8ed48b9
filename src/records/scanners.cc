// Keyword-line scanners (see scanners.h).
#include "records/scanners.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cwchar>

#include "host/frame.h"
#include "records/float_text.h"
#include "records/line_scan.h"
#include "records/record_io.h"
#include "transport/latin1.h"

namespace {

// Text conversions read at most a whole line, so they always fit the
// scratch buffer below; the value is then cut to the field's size.
static_assert(MaxRecordLine == 8095, "the scan widths below assume lines of 8095 characters");
constexpr const wchar_t* QuotedRest = L"  \"%8095l[^\"]";
constexpr const wchar_t* WordRest = L" %8095ls";
constexpr const wchar_t* NonLettersRest = L" %8095l[^a-zA-Z]";

// long has 32 bits on Windows and 64 on Linux: range checks go through the
// widest types.
bool FitsInt32(long long value) { return value >= INT32_MIN && value <= INT32_MAX; }
bool FitsUint32(unsigned long long value) { return value <= UINT32_MAX; }

wchar_t* Scratch() {
  static wchar_t scratch[LineBufferSize];
  return scratch;
}

}  // namespace

namespace keyscan {

bool BeginsWith(const wchar_t* line, const wchar_t* keyword) {
  return wcsncmp(line, keyword, wcslen(keyword)) == 0;
}

std::wstring Pattern(const wchar_t* keyword, const wchar_t* rest) {
  std::wstring pattern;
  for (const wchar_t* k = keyword; *k; ++k) {
    pattern.push_back(*k);
    if (*k == L'%') pattern.push_back(L'%');
  }
  return pattern + rest;
}

int32_t OutOfData(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword) {
  SetLineErrorText("%s (%s): Out of data scanning %s\n", Narrow(kind).c_str(), Narrow(label).c_str(),
                   Narrow(keyword).c_str());
  return -1;
}

int32_t NoMatch(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword) {
  SetErrorText("%s (%s): Error in %s: %s\n", Narrow(kind).c_str(), Narrow(label).c_str(), Narrow(keyword).c_str(),
               Narrow(IORLine()).c_str());
  return -1;
}

int32_t ReadKeyLine(const wchar_t* kind, bool required, const wchar_t* label, const wchar_t* keyword) {
  int32_t r = IORGetLine();
  if (r == 1) return 1;
  if (r == 0 && !required) return 0;
  return OutOfData(kind, label, keyword);
}

bool ScanQuoted(const wchar_t* line, const wchar_t* keyword, wchar_t* out, size_t size) {
  if (LineScan::PlainKeyword(keyword)) {
    LineScan scan(line);
    const wchar_t *begin, *end;
    if (scan.Keyword(keyword) && scan.Blanks() && scan.Literal(L'"')) {
      if (scan.UpToQuote(&begin, &end)) {
        CopyRange(out, size, begin, end);
        return true;
      }
      if (*scan.Rest() == L'"') return false;  // an empty text: the scan takes nothing
    }
  }
  wchar_t* text = Scratch();
  if (swscanf(line, Pattern(keyword, QuotedRest).c_str(), text) != 1) return false;
  CopyCut(out, size, text);
  return true;
}

bool ScanWord(const wchar_t* line, const wchar_t* keyword, wchar_t* out, size_t size) {
  if (LineScan::PlainKeyword(keyword)) {
    LineScan scan(line);
    const wchar_t *begin, *end;
    if (scan.Keyword(keyword) && scan.Word(&begin, &end)) {
      CopyRange(out, size, begin, end);
      return true;
    }
  }
  wchar_t* word = Scratch();
  if (swscanf(line, Pattern(keyword, WordRest).c_str(), word) != 1) return false;
  CopyCut(out, size, word);
  return true;
}

bool ScanLong(const wchar_t* line, const wchar_t* keyword, int32_t* out) {
  long long value = 0;
  if (!ScanKeyInteger(line, keyword, &value)) return false;
  if (!FitsInt32(value)) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

bool ScanKeyInteger(const wchar_t* line, const wchar_t* keyword, long long* out) {
  if (LineScan::PlainKeyword(keyword)) {
    LineScan scan(line);
    if (scan.Keyword(keyword) && scan.Integer(out)) return true;
  }
  return swscanf(line, Pattern(keyword, L" %lld").c_str(), out) == 1;
}

bool ScanKeyDecimal(const wchar_t* line, const wchar_t* keyword, double* out) {
  if (LineScan::PlainKeyword(keyword)) {
    LineScan scan(line);
    if (scan.Keyword(keyword) && scan.Decimal(out)) return true;
  }
  return swscanf(line, Pattern(keyword, L" %lf").c_str(), out) == 1;
}

bool FloatFits(double value, float* out) {
  if (!FitsFloat(value)) return false;
  *out = static_cast<float>(value);
  return true;
}

int32_t MatchKeyText(const wchar_t* kind, int32_t mode, const wchar_t* label, const wchar_t* keyword,
                     const wchar_t* line, wchar_t* out, size_t size) {
  if (mode == KeyTextNonLetters) {
    if (LineScan::PlainKeyword(keyword)) {
      LineScan scan(line);
      const wchar_t *begin, *end;
      if (scan.Keyword(keyword) && scan.Blanks() && scan.UpToLetter(&begin, &end)) {
        CopyRange(out, size, begin, end);
        return 1;
      }
    }
    wchar_t* text = Scratch();
    if (swscanf(line, Pattern(keyword, NonLettersRest).c_str(), text) == 1) {
      CopyCut(out, size, text);
      return 1;
    }
    if (BeginsWith(line, keyword)) {
      CopyCut(out, size, L"");
      return 1;
    }
    return NoMatch(kind, label, keyword);
  }
  if (!BeginsWith(line, keyword)) return NoMatch(kind, label, keyword);
  const wchar_t* rest = line + wcslen(keyword);
  if (*rest) ++rest;  // the one separating character
  CopyCut(out, size, rest);
  return 1;
}

}  // namespace keyscan

int32_t GetKeyString(const wchar_t* kind, bool required, const wchar_t* label, const wchar_t* keyword,
                     wchar_t* out, size_t size) {
  int32_t r = keyscan::ReadKeyLine(kind, required, label, keyword);
  if (r != 1) return r;
  const wchar_t* line = IORLine();
  if (keyscan::ScanQuoted(line, keyword, out, size)) return 1;
  if (keyscan::BeginsWith(line, keyword)) {
    CopyCut(out, size, L"");
    return 1;
  }
  return keyscan::NoMatch(kind, label, keyword);
}

int32_t GetKeyText(const wchar_t* kind, bool required, int32_t mode, const wchar_t* label, const wchar_t* keyword,
                   wchar_t* out, size_t size) {
  int32_t r = keyscan::ReadKeyLine(kind, required, label, keyword);
  if (r != 1) return r;
  return keyscan::MatchKeyText(kind, mode, label, keyword, IORLine(), out, size);
}

int32_t GetKeyLong(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, int32_t* out) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  if (!keyscan::ScanLong(IORLine(), keyword, out)) return keyscan::NoMatch(kind, label, keyword);
  return 1;
}

int32_t GetKeyULong(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, uint32_t* out) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  unsigned long long value = 0;
  long long quick = 0;
  bool scanned = false;
  if (LineScan::PlainKeyword(keyword)) {
    LineScan scan(IORLine());
    // A negative number reads as its wrap-around, beyond 32 bits but for -0.
    if (scan.Keyword(keyword) && scan.Integer(&quick)) {
      scanned = true;
      value = static_cast<unsigned long long>(quick);
    }
  }
  if (!scanned && swscanf(IORLine(), keyscan::Pattern(keyword, L" %llu").c_str(), &value) != 1) {
    return keyscan::NoMatch(kind, label, keyword);
  }
  if (!FitsUint32(value)) {
    return keyscan::NoMatch(kind, label, keyword);
  }
  *out = static_cast<uint32_t>(value);
  return 1;
}

int32_t GetKeyUShort(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, uint16_t* out) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  long long value = 0;
  if (!keyscan::ScanKeyInteger(IORLine(), keyword, &value) || value < 0 ||
      value > UINT16_MAX) {
    return keyscan::NoMatch(kind, label, keyword);
  }
  *out = static_cast<uint16_t>(value);
  return 1;
}

int32_t GetKeyFloat(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, float* out) {
  if (keyscan::ReadKeyLine(kind, true, label, keyword) != 1) return -1;
  double value = 0;
  if (!keyscan::ScanKeyDecimal(IORLine(), keyword, &value) ||
      !keyscan::FloatFits(value, out)) {
    return keyscan::NoMatch(kind, label, keyword);
  }
  return 1;
}
