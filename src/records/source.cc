// Source records (see source.h).
#include "records/source.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "host/frame.h"
#include "records/float_text.h"
#include "records/line_scan.h"
#include "records/record_io.h"
#include "records/record_line.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

const wchar_t* const SourceBuildingKeywords[SourceBuildingLists] = {
    L"BUILD_WIDTHS", L"BUILD_HEIGHTS", L"BUILD_LENGTHS", L"BUILD_DISTFARWALL", L"BUILD_CENTER"};

void SourceEmission::Reset() {
  alob.Clear();
  CopyCode(&actcode, L"");
  substance = 0;
  emission = 0;
  timevar = 0;
  unit[0] = 0;
  macro[0] = 0;
}

void SourceSubgrp::Reset() {
  alob.Clear();
  CopyCode(&actcode, L"");
  unit[0] = 0;
  timevar = 0;
  subgrp = 0;
  activity = 0;
}

void SourceActivity::Reset() {
  alob.Clear();
  CopyCode(&actcode, L"");
  timevar = 0;
  emfac = 0;
  novariable = 0;
  for (float& v : var) v = 0;
}

void SourceRec::Clear() {
  x1 = y1 = x2 = y2 = px = py = 0;
  std::memset(name, 0, sizeof name);
  std::memset(info, 0, sizeof info);
  std::memset(info2, 0, sizeof info2);
  date = changed = 0;
  houseWidth = houseHeight = chimneyHeight = gasTemperature = gasFlow = 0;
  chimneyOut = chimneyIn = 0;
  std::memset(searchkey, 0, sizeof searchkey);
  nosegments = 0;
  std::memset(build, 0, sizeof build);
  std::memset(formulaMacro, 0, sizeof formulaMacro);
  alob.Clear();
  CopyCode(&geocode, L"");
  emissions.Reset();
  subgroups.Reset();
  activities.Reset();
}

namespace {

constexpr const wchar_t* Kind = L"Source";
constexpr const wchar_t* BlockKind = L"SOURCE";

// The largest count a header line can announce: no line holds more tokens.
constexpr long kMaxHeaderCount = static_cast<long>(MaxRecordLine);

std::string N(const wchar_t* text) { return Narrow(text); }

// keyword + one of its block numbers (and a variable number): "EMISSION.2.UNIT".
std::wstring BlockKeyword(const wchar_t* kind, int32_t n, const wchar_t* field, int32_t v = 0) {
  std::wstring keyword = std::wstring(kind) + L"." + std::to_wstring(n) + L"." + field;
  if (v > 0) keyword += L"." + std::to_wstring(v);
  return keyword;
}

// True when line is the keyword alone or the keyword, a blank or tab, and
// more; *rest is then what follows the keyword and its one separator.
bool KeywordLine(const wchar_t* line, const wchar_t* keyword, const wchar_t** rest) {
  size_t n = wcslen(keyword);
  if (wcsncmp(line, keyword, n) != 0) return false;
  if (line[n] == 0) {
    *rest = line + n;
    return true;
  }
  if (line[n] != L' ' && line[n] != L'\t') return false;
  *rest = line + n + 1;
  return true;
}

// keyword, blanks, a whole number alone on the line within [low, high].
bool ScanWhole(const wchar_t* line, const wchar_t* keyword, long long low, long long high, long long* out) {
  const wchar_t* rest = nullptr;
  if (!KeywordLine(line, keyword, &rest)) return false;
  while (*rest == L' ' || *rest == L'\t') ++rest;
  const wchar_t* digits = *rest == L'-' || *rest == L'+' ? rest + 1 : rest;
  if (*digits < L'0' || *digits > L'9') return false;
  wchar_t* end = nullptr;
  long long value = wcstoll(rest, &end, 10);
  while (*end == L' ' || *end == L'\t' || *end == L'\r') ++end;
  if (*end != 0 || value < low || value > high) return false;
  *out = value;
  return true;
}

// The next line; the end of the reply inside a record is an error with the
// out-of-data message for `what`.
int32_t NextLine(const std::string& name, const char* kind, const char* what) {
  int32_t r = IORGetLine();
  if (r == 1) return 1;
  if (r == 0) SetLineErrorText("%s (%s): Out of data scanning %s\n", kind, name.c_str(), what);
  return -1;
}

// ---------------------------------------------------------------- header

// One header line: a count and that many tokens.  Tokens beyond the count
// are ignored; missing ones are 0.  With formulas, each token is
// "index:variables".
int32_t ReadHeaderLine(bool first, std::vector<int32_t>* indexes, std::vector<int32_t>* maxvars) {
  int32_t r = IORGetLine();
  if (r != 1) {
    if (r == 0 || !IORLineRefused()) SetErrorText("Source: Error reading new record");
    return -1;
  }
  const wchar_t* p = IORLine();
  wchar_t* end = nullptr;
  long count = wcstol(p, &end, 10);
  if (end == p || count < 0 || count > kMaxHeaderCount) {
    SetErrorText(first ? "Source: Error parsing new record" : "Source: Error reading new record");
    return -1;
  }
  p = end;
  indexes->assign(static_cast<size_t>(count), 0);
  if (maxvars) maxvars->assign(static_cast<size_t>(count), 0);
  for (long i = 0; i < count; ++i) {
    while (*p == L' ' || *p == L'\t') ++p;
    if (*p == 0 || *p == L'\r') break;
    long value = wcstol(p, &end, 10);
    if (end == p || value < INT32_MIN || value > INT32_MAX) {
      SetErrorText("Source: Error parsing header token: %s", N(IORLine()).c_str());
      return -1;
    }
    (*indexes)[static_cast<size_t>(i)] = static_cast<int32_t>(value);
    p = end;
    if (maxvars) {
      long variables = 0;
      if (*p == L':') {
        variables = wcstol(p + 1, &end, 10);
        if (end == p + 1 || variables < 0 || variables > SourceMaxVariables) {
          SetErrorText("Source: Error parsing header token: %s", N(IORLine()).c_str());
          return -1;
        }
        p = end;
      }
      (*maxvars)[static_cast<size_t>(i)] = static_cast<int32_t>(variables);
    }
  }
  return 1;
}

int32_t ReadHeader(SourceListingHeader* header) {
  if (ReadHeaderLine(true, &header->subs, nullptr) != 1 || ReadHeaderLine(false, &header->groups, nullptr) != 1 ||
      ReadHeaderLine(false, &header->formulas, &header->maxvars) != 1) {
    return -1;
  }
  header->subUsed.assign(header->subs.size(), 0);
  header->groupUsed.assign(header->groups.size(), 0);
  header->formulaUsed.assign(header->formulas.size(), 0);
  return 1;
}

// ---------------------------------------------------------------- blocks

// The text after keyword and one separator on the next line into a fixed
// field; a longer text is refused, never cut.
int32_t RestOfLine(const wchar_t* label, const std::wstring& keyword, wchar_t* out, size_t size) {
  std::string name = N(label);
  if (GetKeyText(BlockKind, true, KeyTextRest, label, keyword.c_str(), out, size) != 1) return -1;
  const wchar_t* rest = IORLine() + keyword.size();
  if (*rest) ++rest;
  if (wcslen(rest) >= size) {
    SetErrorText("SOURCE (%s): %s is longer than %d characters, which the record cannot hold\n", name.c_str(),
                 N(keyword.c_str()).c_str(), static_cast<int>(size - 1));
    return -1;
  }
  return 1;
}

// The ACTCODE line of a block (already read into IORLine() when `read` is
// false).
int32_t ActivityCode(const std::string& name, const std::wstring& keyword, CodeString* code, bool read) {
  if (read && NextLine(name, "SOURCE", "ACTIVITYCODE") != 1) return -1;
  const wchar_t* rest = nullptr;
  if (!KeywordLine(IORLine(), keyword.c_str(), &rest)) {
    SetErrorText("SOURCE (%s): Expecting %s not %s\n", name.c_str(), N(keyword.c_str()).c_str(),
                 N(IORLine()).c_str());
    return -1;
  }
  if (CopyCode(code, rest) != 0) return -1;
  return 1;
}

// "<prefix>ALOB n" and the n attribute lines.
int32_t BlockAlob(const std::string& name, const wchar_t* label, const std::wstring& keyword, Alob* alob) {
  if (NextLine(name, "Source", "ALOB") != 1) return -1;
  long long n = 0;
  if (!ScanWhole(IORLine(), keyword.c_str(), 0, INT32_MAX, &n)) {
    SetErrorText("Source (%s): ALOB must start with label ALOB\n", name.c_str());
    return -1;
  }
  if (GetAlob(alob, static_cast<int32_t>(n), label) != 0) {
    if (!IORLineRefused()) SetErrorText("Source (%s): ALOB error:  %s\n", name.c_str(), N(IORLine()).c_str());
    return -1;
  }
  return 1;
}

int32_t ReadEmission(const SourceRec& rec, int32_t n, SourceEmission* e) {
  std::string name = N(rec.name);
  std::wstring key = BlockKeyword(L"EMISSION", n, L"SUBSTANCE");
  if (!keyscan::ScanLong(IORLine(), key.c_str(), &e->substance)) {
    SetErrorText("SOURCE (%s): No substance specified: %s %s %%ld\n", name.c_str(), N(IORLine()).c_str(),
                 N(key.c_str()).c_str());
    return -1;
  }
  if (GetKeyFloat(BlockKind, rec.name, BlockKeyword(L"EMISSION", n, L"EMISSION").c_str(), &e->emission) != 1 ||
      GetKeyLong(BlockKind, rec.name, BlockKeyword(L"EMISSION", n, L"TIMEVAR").c_str(), &e->timevar) != 1 ||
      RestOfLine(rec.name, BlockKeyword(L"EMISSION", n, L"UNIT"), e->unit, SourceUnitSize) != 1 ||
      RestOfLine(rec.name, BlockKeyword(L"EMISSION", n, L"MACRO"), e->macro, SourceBlockMacroSize) != 1 ||
      ActivityCode(name, BlockKeyword(L"EMISSION", n, L"ACTCODE"), &e->actcode, true) != 1) {
    return -1;
  }
  return BlockAlob(name, rec.name, BlockKeyword(L"EMISSION", n, L"ALOB"), &e->alob);
}

int32_t ReadSubgrp(const SourceRec& rec, int32_t n, SourceSubgrp* g) {
  std::string name = N(rec.name);
  if (!keyscan::ScanLong(IORLine(), BlockKeyword(L"SUBGRP", n, L"SUBGRP").c_str(), &g->subgrp)) {
    SetErrorText("SOURCE (%s): No substance group specified: %s\n", name.c_str(), N(IORLine()).c_str());
    return -1;
  }
  if (GetKeyFloat(BlockKind, rec.name, BlockKeyword(L"SUBGRP", n, L"ACTIVITY").c_str(), &g->activity) != 1 ||
      GetKeyLong(BlockKind, rec.name, BlockKeyword(L"SUBGRP", n, L"TIMEVAR").c_str(), &g->timevar) != 1 ||
      RestOfLine(rec.name, BlockKeyword(L"SUBGRP", n, L"UNIT"), g->unit, SourceUnitSize) != 1 ||
      ActivityCode(name, BlockKeyword(L"SUBGRP", n, L"ACTCODE"), &g->actcode, true) != 1) {
    return -1;
  }
  return BlockAlob(name, rec.name, BlockKeyword(L"SUBGRP", n, L"ALOB"), &g->alob);
}

int32_t ReadActivity(const SourceRec& rec, int32_t n, SourceActivity* a) {
  std::string name = N(rec.name);
  if (!keyscan::ScanLong(IORLine(), BlockKeyword(L"ACTIVITY", n, L"EMFAC").c_str(), &a->emfac)) {
    SetErrorText("SOURCE (%s): No activity specified: %s\n", name.c_str(), N(IORLine()).c_str());
    return -1;
  }
  if (GetKeyLong(BlockKind, rec.name, BlockKeyword(L"ACTIVITY", n, L"TIMEVAR").c_str(), &a->timevar) != 1) {
    return -1;
  }
  for (int32_t v = 1;; ++v) {
    if (NextLine(name, "Source", "emissions") != 1) return -1;
    std::wstring key = BlockKeyword(L"ACTIVITY", n, L"VAR", v);
    const wchar_t* rest = nullptr;
    if (!KeywordLine(IORLine(), key.c_str(), &rest)) {
      a->novariable = v - 1;
      break;
    }
    if (v > SourceMaxVariables) {
      SetErrorText("SOURCE (%s): To many actvities\n", name.c_str());
      return -1;
    }
    while (*rest == L' ' || *rest == L'\t') ++rest;
    float value = 0;
    if (*rest != 0) {
      // A number the record cannot hold is refused, never read as 0.
      double d = 0;
      if (!keyscan::ScanKeyDecimal(IORLine(), key.c_str(), &d) || !keyscan::FloatFits(d, &value)) {
        return keyscan::NoMatch(BlockKind, rec.name, key.c_str());
      }
    }
    a->var[v - 1] = value;
  }
  if (ActivityCode(name, BlockKeyword(L"ACTIVITY", n, L"ACTCODE"), &a->actcode, false) != 1) return -1;
  return BlockAlob(name, rec.name, BlockKeyword(L"ACTIVITY", n, L"ALOB"), &a->alob);
}

int32_t ReadBlocks(SourceRec* rec) {
  std::string name = N(rec->name);
  if (NextLine(name, "Source", "emissions") != 1) return -1;
  for (;;) {
    const wchar_t* line = IORLine();
    if (line[0] == 0 || (line[0] == L'\r' && line[1] == 0)) return 1;
    int32_t r = 0;
    if (keyscan::BeginsWith(line, L"EMISSION")) {
      SourceEmission* e = rec->emissions.Append();
      if (!e) {
        SetErrorText("Source (%s): Can not allocate emission container.\n", name.c_str());
        return -1;
      }
      r = ReadEmission(*rec, rec->emissions.Count(), e);
    } else if (keyscan::BeginsWith(line, L"SUBGRP")) {
      SourceSubgrp* g = rec->subgroups.Append();
      if (!g) {
        SetErrorText("Can't allocate subgrp container (%s): %s\n", name.c_str(), N(line).c_str());
        return -1;
      }
      r = ReadSubgrp(*rec, rec->subgroups.Count(), g);
    } else if (keyscan::BeginsWith(line, L"ACTIVITY")) {
      SourceActivity* a = rec->activities.Append();
      if (!a) {
        SetErrorText("Can't allocate activity container (%s): %s\n", name.c_str(), N(line).c_str());
        return -1;
      }
      r = ReadActivity(*rec, rec->activities.Count(), a);
      // The activity's ALOB is followed by the next line, read like any other.
    } else {
      SetErrorText("Expected EMISSION, SUBGRP or ACTIVITY: %s\n", N(line).c_str());
      return -1;
    }
    if (r != 1) return -1;
    // A reply that ends after a whole block ends the record too.
    int32_t next = IORGetLine();
    if (next < 0) return -1;
    if (next == 0) return 1;
  }
}

// ---------------------------------------------------------------- record

bool ScanCoordinate(const wchar_t* keyword, uint32_t* out) {
  long long v = 0;
  if (!ScanWhole(IORLine(), keyword, 0, UINT32_MAX, &v)) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

// "KEYWORD n" with a blank inside the keyword ("CHIMNEY HEIGHT"): read here
// rather than through a scan pattern, which would be slow for every source.
int32_t UShortField(const wchar_t* label, const wchar_t* keyword, uint16_t* out) {
  if (keyscan::ReadKeyLine(Kind, true, label, keyword) != 1) return -1;
  long long v = 0;
  if (!ScanWhole(IORLine(), keyword, 0, UINT16_MAX, &v)) return keyscan::NoMatch(Kind, label, keyword);
  *out = static_cast<uint16_t>(v);
  return 1;
}

int32_t FloatField(const wchar_t* label, const wchar_t* keyword, float* out) {
  if (keyscan::ReadKeyLine(Kind, true, label, keyword) != 1) return -1;
  const wchar_t* rest = nullptr;
  if (KeywordLine(IORLine(), keyword, &rest)) {
    while (*rest == L' ' || *rest == L'\t') ++rest;
    wchar_t* end = nullptr;
    double v = wcstod(rest, &end);
    if (end != rest) {
      while (*end == L' ' || *end == L'\t' || *end == L'\r') ++end;
      if (*end == 0 && keyscan::FloatFits(v, out)) return 1;
    }
  }
  return keyscan::NoMatch(Kind, label, keyword);
}

// A required quoted field that must fit its record field whole.
int32_t Text(const wchar_t* label, const wchar_t* keyword, wchar_t* out, size_t size) {
  if (GetKeyString(Kind, true, label, keyword, out, size) != 1) return -1;
  return IORQuotedFits("Source", label, keyword, size) ? 1 : -1;
}

int32_t ReadBuilding(SourceRec* rec, int32_t list) {
  const wchar_t* keyword = SourceBuildingKeywords[list];
  std::string name = N(rec->name);
  if (NextLine(name, "Source", N(keyword).c_str()) != 1) return -1;
  const wchar_t* rest = nullptr;
  if (!KeywordLine(IORLine(), keyword, &rest)) return keyscan::NoMatch(Kind, rec->name, keyword);
  int32_t count = 0;
  const wchar_t* p = rest;
  for (;;) {
    while (*p == L' ' || *p == L'\t' || *p == L'\r') ++p;
    if (*p == 0) break;
    wchar_t* end = nullptr;
    long long value = wcstoll(p, &end, 10);
    if (end == p || value < INT32_MIN || value > INT32_MAX || (*end != 0 && *end != L' ' && *end != L'\t')) {
      return keyscan::NoMatch(Kind, rec->name, keyword);
    }
    // More values than the record holds are refused, never dropped.
    if (count == SourceMaxSegments) {
      SetErrorText("Source (%s): %s holds more than %d values\n", name.c_str(), N(keyword).c_str(),
                   static_cast<int>(SourceMaxSegments));
      return -1;
    }
    rec->build[list][count++] = static_cast<int32_t>(value);
    p = end;
  }
  if (count != rec->nosegments) {
    SetErrorText("Source (%s): %s holds %d values for %d segments\n", name.c_str(), N(keyword).c_str(),
                 static_cast<int>(count), static_cast<int>(rec->nosegments));
    return -1;
  }
  return 1;
}

int32_t ReadRecord(SourceRec* rec) {
  int32_t r = IORGetLine();
  if (r < 0) {
    AppendErrorText("Source: Error reading new record");
    return -1;
  }
  if (r == 0) return 0;
  if (!ScanCoordinate(L"X1", &rec->x1)) {
    SetErrorText("Source: Error in X1: %s\n", N(IORLine()).c_str());
    return -1;
  }
  unsigned long x1 = rec->x1;
  r = IORGetLine();
  if (r != 1) {
    if (r == 0) SetLineErrorText("Source (%lu,?\?): Out of data scanning Y1\n", x1);
    return -1;
  }
  if (!ScanCoordinate(L"Y1", &rec->y1)) {
    SetErrorText("Source (%lu,?\?): Error in Y1: %s\n", x1, N(IORLine()).c_str());
    return -1;
  }
  unsigned long y1 = rec->y1;
  const wchar_t* corners[4] = {L"X2", L"Y2", L"PX", L"PY"};
  uint32_t* fields[4] = {&rec->x2, &rec->y2, &rec->px, &rec->py};
  for (int i = 0; i < 4; ++i) {
    std::string keyword = N(corners[i]);
    r = IORGetLine();
    if (r != 1) {
      if (r == 0) SetLineErrorText("Source (%lu,%lu): Out of data scanning %s\n", x1, y1, keyword.c_str());
      return -1;
    }
    if (!ScanCoordinate(corners[i], fields[i])) {
      SetErrorText("Source (%lu,%lu): Error in %s: %s\n", x1, y1, keyword.c_str(), N(IORLine()).c_str());
      return -1;
    }
  }
  wchar_t label[32];
  swprintf(label, 32, L"%lu,%lu", x1, y1);
  if (Text(label, L"NAME", rec->name, SourceNameSize) != 1) return -1;
  const wchar_t* name = rec->name;
  if (Text(name, L"INFO", rec->info, SourceNameSize) != 1 || Text(name, L"INFO2", rec->info2, SourceInfo2Size) != 1 ||
      GetKeyULong(Kind, name, L"DATE", &rec->date) != 1 || GetKeyULong(Kind, name, L"CHANGED", &rec->changed) != 1 ||
      UShortField(name, L"CHIMNEY HEIGHT", &rec->chimneyHeight) != 1 ||
      GetKeyUShort(Kind, name, L"GASTEMPERATURE", &rec->gasTemperature) != 1 ||
      UShortField(name, L"GAS FLOW", &rec->gasFlow) != 1) {
    return -1;
  }
  for (int k = 0; k < SourceSearchkeys; ++k) {
    std::wstring keyword = L"SEARCHKEY" + std::to_wstring(k + 1);
    if (GetKeyUShort(Kind, name, keyword.c_str(), &rec->searchkey[k]) != 1) return -1;
  }
  if (FloatField(name, L"CHIMNEY OUT", &rec->chimneyOut) != 1 ||
      FloatField(name, L"CHIMNEY IN", &rec->chimneyIn) != 1 ||
      UShortField(name, L"HOUSE WIDTH", &rec->houseWidth) != 1 ||
      UShortField(name, L"HOUSE HEIGHT", &rec->houseHeight) != 1 ||
      GetKeyLong(Kind, name, L"NOSEGMENTS", &rec->nosegments) != 1) {
    return -1;
  }
  if (rec->nosegments < 0 || rec->nosegments > SourceMaxSegments) {
    SetErrorText("Source (%s): NOSEGMENTS must be 0 to %d: %s\n", N(name).c_str(),
                 static_cast<int>(SourceMaxSegments), N(IORLine()).c_str());
    return -1;
  }
  for (int32_t list = 0; list < SourceBuildingLists; ++list) {
    if (ReadBuilding(rec, list) != 1) return -1;
  }
  std::string narrowName = N(name);
  if (NextLine(narrowName, "Source", "GEOCODE") != 1) return -1;
  const wchar_t* rest = nullptr;
  if (!KeywordLine(IORLine(), L"GEOCODE", &rest)) {
    SetErrorText("Source (%s): Expecting %s not %s\n", narrowName.c_str(), "GEOCODE", N(IORLine()).c_str());
    return -1;
  }
  if (CopyCode(&rec->geocode, rest) != 0) return -1;
  if (Text(name, L"FORMULAMACRO", rec->formulaMacro, SourceMacroSize) != 1) return -1;
  if (BlockAlob(narrowName, name, L"ALOB", &rec->alob) != 1) return -1;
  return ReadBlocks(rec);
}

// ---------------------------------------------------------------- writer

int32_t Quoted(RecordLine& line, const char* keyword, const wchar_t* field, size_t size) {
  return line.Put(keyword).Put(" \"").Field(field, size).Put('"').Send();
}

int32_t Number(RecordLine& line, const char* keyword, unsigned long long value) {
  return line.Put(keyword).Put(' ').Put(std::to_string(value).c_str()).Send();
}

int32_t Signed(RecordLine& line, const std::string& keyword, int32_t value) {
  return line.Put(keyword.c_str()).Put(' ').Int(value).Send();
}

int32_t Real(RecordLine& line, const std::string& keyword, float value) {
  return line.Put(keyword.c_str()).Put(' ').Float(value).Send();
}

// keyword, one blank and a text of any length (a code, a unit).
int32_t Rest(RecordLine& line, const std::string& keyword, const wchar_t* text) {
  return line.Put(keyword.c_str()).Put(' ').Field(text, wcslen(text) + 1).Send();
}

std::string Key(const char* kind, int32_t n, const char* field, int32_t v = 0) {
  std::string key = std::string(kind) + "." + std::to_string(n) + "." + field;
  if (v > 0) key += "." + std::to_string(v);
  return key;
}

int32_t WriteRecord(const SourceRec* rec) {
  RecordLine line;
  const char* corners[6] = {"X1", "Y1", "X2", "Y2", "PX", "PY"};
  const uint32_t values[6] = {rec->x1, rec->y1, rec->x2, rec->y2, rec->px, rec->py};
  for (int i = 0; i < 6; ++i) {
    if (Number(line, corners[i], values[i]) != 1) return -1;
  }
  if (Quoted(line, "NAME", rec->name, SourceNameSize) != 1 || Quoted(line, "INFO", rec->info, SourceNameSize) != 1 ||
      Quoted(line, "INFO2", rec->info2, SourceInfo2Size) != 1) {
    return -1;
  }
  char date[32];
  std::snprintf(date, sizeof date, "DATE %06lu", static_cast<unsigned long>(rec->date));
  if (line.Put(date).Send() != 1) return -1;
  std::snprintf(date, sizeof date, "CHANGED %06lu", static_cast<unsigned long>(rec->changed));
  if (line.Put(date).Send() != 1) return -1;
  if (Number(line, "CHIMNEY HEIGHT", rec->chimneyHeight) != 1 ||
      Number(line, "GASTEMPERATURE", rec->gasTemperature) != 1 || Number(line, "GAS FLOW", rec->gasFlow) != 1) {
    return -1;
  }
  for (int k = 0; k < SourceSearchkeys; ++k) {
    if (Number(line, ("SEARCHKEY" + std::to_string(k + 1)).c_str(), rec->searchkey[k]) != 1) return -1;
  }
  if (Real(line, "CHIMNEY OUT", rec->chimneyOut) != 1 || Real(line, "CHIMNEY IN", rec->chimneyIn) != 1 ||
      Number(line, "HOUSE WIDTH", rec->houseWidth) != 1 || Number(line, "HOUSE HEIGHT", rec->houseHeight) != 1 ||
      Signed(line, "NOSEGMENTS", rec->nosegments) != 1) {
    return -1;
  }
  int32_t segments = rec->nosegments < 0 ? 0 : rec->nosegments > SourceMaxSegments ? SourceMaxSegments : rec->nosegments;
  for (int32_t list = 0; list < SourceBuildingLists; ++list) {
    line.Put(N(SourceBuildingKeywords[list]).c_str());
    for (int32_t s = 0; s < segments; ++s) line.Put(' ').Int(rec->build[list][s]);
    if (line.Send() != 1) return -1;
  }
  if (Rest(line, "GEOCODE", rec->geocode.Text()) != 1 ||
      Quoted(line, "FORMULAMACRO", rec->formulaMacro, SourceMacroSize) != 1) {
    return -1;
  }
  if (PutAlob(&rec->alob, rec->name, L"") != 0) return -1;
  for (int32_t i = 0; i < rec->emissions.Count(); ++i) {
    const SourceEmission& e = rec->emissions[i];
    int32_t n = i + 1;
    std::wstring prefix = L"EMISSION." + std::to_wstring(n) + L".";
    if (Signed(line, Key("EMISSION", n, "SUBSTANCE"), e.substance) != 1 ||
        Real(line, Key("EMISSION", n, "EMISSION"), e.emission) != 1 ||
        Signed(line, Key("EMISSION", n, "TIMEVAR"), e.timevar) != 1 ||
        Rest(line, Key("EMISSION", n, "UNIT"), FieldText(e.unit, SourceUnitSize).c_str()) != 1 ||
        Rest(line, Key("EMISSION", n, "MACRO"), FieldText(e.macro, SourceBlockMacroSize).c_str()) != 1 ||
        Rest(line, Key("EMISSION", n, "ACTCODE"), e.actcode.Text()) != 1 ||
        PutAlob(&e.alob, rec->name, prefix.c_str()) != 0) {
      return -1;
    }
  }
  for (int32_t i = 0; i < rec->subgroups.Count(); ++i) {
    const SourceSubgrp& g = rec->subgroups[i];
    int32_t n = i + 1;
    std::wstring prefix = L"SUBGRP." + std::to_wstring(n) + L".";
    if (Signed(line, Key("SUBGRP", n, "SUBGRP"), g.subgrp) != 1 ||
        Real(line, Key("SUBGRP", n, "ACTIVITY"), g.activity) != 1 ||
        Signed(line, Key("SUBGRP", n, "TIMEVAR"), g.timevar) != 1 ||
        Rest(line, Key("SUBGRP", n, "UNIT"), FieldText(g.unit, SourceUnitSize).c_str()) != 1 ||
        Rest(line, Key("SUBGRP", n, "ACTCODE"), g.actcode.Text()) != 1 ||
        PutAlob(&g.alob, rec->name, prefix.c_str()) != 0) {
      return -1;
    }
  }
  for (int32_t i = 0; i < rec->activities.Count(); ++i) {
    const SourceActivity& a = rec->activities[i];
    int32_t n = i + 1;
    std::wstring prefix = L"ACTIVITY." + std::to_wstring(n) + L".";
    if (Signed(line, Key("ACTIVITY", n, "EMFAC"), a.emfac) != 1 ||
        Signed(line, Key("ACTIVITY", n, "TIMEVAR"), a.timevar) != 1) {
      return -1;
    }
    int32_t variables = a.novariable < 0 ? 0 : a.novariable > SourceMaxVariables ? SourceMaxVariables : a.novariable;
    for (int32_t v = 1; v <= variables; ++v) {
      if (Real(line, Key("ACTIVITY", n, "VAR", v), a.var[v - 1]) != 1) return -1;
    }
    if (Rest(line, Key("ACTIVITY", n, "ACTCODE"), a.actcode.Text()) != 1 ||
        PutAlob(&a.alob, rec->name, prefix.c_str()) != 0) {
      return -1;
    }
  }
  return line.Send();  // the empty line that ends the record
}

}  // namespace

int32_t IORSourceGetRec(int32_t first, SourceRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORSourceGetRec(%d)\n", static_cast<int>(first));
  if (first) {
    IORStartRead();
    if (IOLSourcesGetAll() != 1) return IORLogged("IORSourceGetRec", -1);
    if (ReadHeader(&record->header) != 1) return IORLogged("IORSourceGetRec", -1);
  }
  record->Clear();
  return IORLogged("IORSourceGetRec", ReadRecord(record));
}

int32_t IORSourcePutRec(int32_t operation, const SourceRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORSourcePutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLSourcesPut(flags); };
  save.write = [record]() { return WriteRecord(record); };
  save.expectedReply = L"Import OK";
  save.knowsStartFlag1 = true;
  return IORLogged("IORSourcePutRec", RunRecordOperation(operation, save));
}
