// Facility records (see facility.h).
#include "records/facility.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "records/line_scan.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"Facility";

// "KEYWORD n" with n an unsigned 32-bit number and nothing after it.
bool ScanCoordinate(const wchar_t* line, const wchar_t* keyword, uint32_t* out) {
  if (keyscan::BeginsWith(line, keyword)) {
    const wchar_t* digits = line + wcslen(keyword);
    while (*digits == L' ' || *digits == L'\t') ++digits;
    long long quick = 0;
    LineScan scan(digits);
    if (*digits >= L'0' && *digits <= L'9' && scan.Integer(&quick) && scan.AtEnd()) {
      if (quick > UINT32_MAX) return false;
      *out = static_cast<uint32_t>(quick);
      return true;
    }
  }
  unsigned long long value = 0;
  int end = -1;
  std::wstring pattern = keyscan::Pattern(keyword, L" %llu %n");
  if (swscanf(line, pattern.c_str(), &value, &end) != 1 || end < 0 || line[end] != 0) return false;
  // A sign would be taken by %llu and wrapped; the number must be digits.
  const wchar_t* digits = line + wcslen(keyword);
  while (*digits == L' ' || *digits == L'\t') ++digits;
  if (*digits < L'0' || *digits > L'9' || value > UINT32_MAX) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

// A required quoted field that must fit its record field whole.
int32_t Text(const wchar_t* label, const wchar_t* keyword, wchar_t* out, size_t size) {
  if (GetKeyString(Kind, true, label, keyword, out, size) != 1) return -1;
  return IORQuotedFits("Facility", label, keyword, size) ? 1 : -1;
}

int32_t ReadRecord(FacilityRec* record, Alob* alob) {
  int32_t r = IORGetLine();
  if (r < 0) {
    AppendErrorText("Facility: Error reading new record");
    return -1;
  }
  if (r == 0) return 0;
  unsigned long x = 0;
  if (!ScanCoordinate(IORLine(), L"X", &record->x)) {
    SetErrorText("Facility: Error in X1: %s\n", Narrow(IORLine()).c_str());
    return -1;
  }
  x = record->x;
  r = IORGetLine();
  if (r != 1) {
    if (r == 0) SetLineErrorText("Facility (%lu,?\?): Out of data scanning Y1\n", x);
    return -1;
  }
  if (!ScanCoordinate(IORLine(), L"Y", &record->y)) {
    SetErrorText("Facility (%lu,?\?): Error in Y1: %s\n", x, Narrow(IORLine()).c_str());
    return -1;
  }
  wchar_t label[32];
  swprintf(label, 32, L"%lu,%lu", x, static_cast<unsigned long>(record->y));
  auto text = [record](const wchar_t* keyword, wchar_t* out, size_t size) {
    return Text(record->name, keyword, out, size);
  };
  if (Text(label, L"NAME", record->name, CompanyTextSize) != 1 ||
      Text(record->name, L"COMPANY", record->company, CompanyIdSize) != 1 || ForSharedTexts(*record, text) != 1) {
    return -1;
  }
  return IORRecordAlobTail("Facility", record->name, alob);
}

int32_t Quoted(const wchar_t* keyword, const wchar_t* field, size_t size) {
  return IOLSendLine(L"%ls \"%ls\"", keyword, FieldText(field, size).c_str());
}

int32_t WriteRecord(const FacilityRec* record, const Alob* alob) {
  if (IOLSendLine(L"X %lu", static_cast<unsigned long>(record->x)) != 1 ||
      IOLSendLine(L"Y %lu", static_cast<unsigned long>(record->y)) != 1 ||
      Quoted(L"NAME", record->name, CompanyTextSize) != 1 || Quoted(L"COMPANY", record->company, CompanyIdSize) != 1 ||
      ForSharedTexts(*record, Quoted) != 1) {
    return -1;
  }
  if (PutAlob(alob, record->name, L"") != 0) return -1;
  return IOLSendLine(L"");
}

}  // namespace

int32_t IORFacilityGetRec(int32_t first, int32_t, FacilityRec* record, Alob* alob) {
  if (DebugLevel > 0) DebugPrint(" --> IORFacilityGetRec(%d)\n", static_cast<int>(first));
  if (first) {
    IORStartRead();
    if (IOLFacilitiesGetAll() != 1) return IORLogged("IORFacilityGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  alob->Clear();
  return IORLogged("IORFacilityGetRec", ReadRecord(record, alob));
}

int32_t IORFacilityPutRec(int32_t operation, const FacilityRec* record, const Alob* alob) {
  if (DebugLevel > 0) DebugPrint(" --> IORFacilityPutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLFacilitiesPut(flags); };
  save.write = [record, alob]() { return WriteRecord(record, alob); };
  save.knowsStartFlag1 = true;
  return IORLogged("IORFacilityPutRec", RunRecordOperation(operation, save));
}
