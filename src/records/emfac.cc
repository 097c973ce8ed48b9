// Emission-factor records (see emfac.h).
#include "records/emfac.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "host/frame.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"EMFAC";

// Our own saves put a blank and a tab between keyword and value, the
// server's replies one blank: values are taken without leading blanks.
const wchar_t* SkipBlanks(const wchar_t* text) {
  while (*text == L' ' || *text == L'\t') ++text;
  return text;
}

std::wstring Numbered(const wchar_t* keyword, int n) { return keyword + std::to_wstring(n); }

// After a variable without a name the record has nothing more to give: its
// remaining VAR and TYPE lines and its separator are passed over.  A line of
// the next record stays for the next read.
int32_t SkipRestOfRecord() {
  for (;;) {
    int32_t r = IORGetLine();
    if (r < 0) return -1;
    const wchar_t* line = IORLine();
    if (r == 0 || line[0] == L'\0') return 1;
    if (!keyscan::BeginsWith(line, L"VAR.") && !keyscan::BeginsWith(line, L"TYPE.")) {
      IORUngetLine();
      return 1;
    }
  }
}

int32_t ReadVariables(EmfacRec* record) {
  static wchar_t value[LineBufferSize];
  const wchar_t* label = record->name;
  for (int n = 1; n <= EmfacMaxVariables; ++n) {
    std::wstring var = Numbered(L"VAR.", n);
    int32_t r = IORGetLine();
    if (r == 1 && IORLine()[0] == L'\0') return 1;  // the separator
    if (r != 1) return keyscan::OutOfData(Kind, label, var.c_str());
    if (keyscan::MatchKeyText(Kind, KeyTextRest, label, var.c_str(), IORLine(), value, LineBufferSize) != 1) {
      return -1;
    }
    const wchar_t* name = SkipBlanks(value);
    if (!*name) return SkipRestOfRecord();
    CopyCut(record->varname[n - 1], EmfacVarNameSize, name);

    std::wstring type = Numbered(L"TYPE.", n);
    if (GetKeyText(Kind, true, KeyTextRest, label, type.c_str(), value, LineBufferSize) != 1) return -1;
    record->varconst[n - 1] = wcscmp(SkipBlanks(value), L"VAR") == 0 ? 0 : 1;
    record->novariable = n;
  }
  // All variables read: the separator follows (a line of the next record,
  // should it come instead, stays for the next read).
  int32_t r = IORGetLine();
  if (r < 0) return -1;
  if (r == 1 && IORLine()[0] != L'\0') IORUngetLine();
  return 1;
}

int32_t ReadRecord(int32_t flags, EmfacRec* record) {
  int32_t r = GetKeyString(Kind, false, L"", L"NAME", record->name, EmfacNameSize);
  if (r != 1) return r;
  if (GetKeyULong(Kind, record->name, L"INDEX", &record->index) != 1) return -1;
  if (flags & TransferFlagNamesOnly) return IORRecordEnd("EMFAC", record->index);
  if (GetKeyLong(Kind, record->name, L"SUBSTANCE", &record->substance) != 1) return -1;
  if (GetKeyText(Kind, true, KeyTextRest, record->name, L"FORMULA", record->formula, EmfacFormulaSize) != 1) {
    return -1;
  }
  return ReadVariables(record);
}

int32_t WriteRecord(const EmfacRec* record) {
  if (IOLSendLine(L"NAME \"%ls\"", FieldText(record->name, EmfacNameSize).c_str()) != 1) return -1;
  if (IOLSendLine(L"INDEX %lu", static_cast<unsigned long>(record->index)) != 1) return -1;
  if (IOLSendLine(L"SUBSTANCE %ld", static_cast<long>(record->substance)) != 1) return -1;
  if (IOLSendLine(L"FORMULA %ls", FieldText(record->formula, EmfacFormulaSize).c_str()) != 1) return -1;
  int count = record->novariable < 0 ? 0 : record->novariable;
  if (count > EmfacMaxVariables) count = EmfacMaxVariables;
  for (int n = 1; n <= count; ++n) {
    if (IOLSendLine(L"VAR.%d \t%ls", n, FieldText(record->varname[n - 1], EmfacVarNameSize).c_str()) != 1) return -1;
    if (IOLSendLine(record->varconst[n - 1] ? L"TYPE.%d \tCONST" : L"TYPE.%d \tVAR", n) != 1) return -1;
  }
  return IOLSendLine(L"");
}

}  // namespace

int32_t IOREmfacGetRec(int32_t first, int32_t flags, EmfacRec* record) {
  if (DebugLevel > 0) {
    DebugPrint(" --> IOREmfacGetRec(%d, 0x%02x)\n", static_cast<int>(first), static_cast<unsigned>(flags));
  }
  if (first) {
    IORStartRead();
    // A request that could not be sent is a failure, not an empty list.
    if (IOLEmfacsGetAll(flags) != 1) return IORLogged("IOREmfacGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  return IORLogged("IOREmfacGetRec", ReadRecord(flags, record));
}

int32_t IOREmfacPutRec(int32_t operation, const EmfacRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IOREmfacPutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLEmfacsPut(flags); };
  save.write = [record]() { return WriteRecord(record); };
  return IORLogged("IOREmfacPutRec", RunRecordOperation(operation, save));
}
