// Company records (see company.h).
#include "records/company.h"

#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"Company";

// A required quoted field that must fit its record field whole.
int32_t Text(const wchar_t* label, const wchar_t* keyword, wchar_t* out, size_t size) {
  if (GetKeyString(Kind, true, label, keyword, out, size) != 1) return -1;
  return IORQuotedFits("Company", label, keyword, size) ? 1 : -1;
}

int32_t ReadRecord(CompanyRec* record, Alob* alob) {
  int32_t r = IORGetLine();
  if (r < 0) {
    AppendErrorText("Company: Error reading new record");
    return -1;
  }
  if (r == 0) return 0;
  if (!keyscan::ScanQuoted(IORLine(), L"ID", record->id, CompanyIdSize) || record->id[0] == 0) {
    SetErrorText("Company: Error in ID: %s\n", Narrow(IORLine()).c_str());
    return -1;
  }
  // A cut ID would name another company when saved back.
  if (!IORQuotedFits("Company", record->id, L"ID", CompanyIdSize)) return -1;
  auto text = [record](const wchar_t* keyword, wchar_t* out, size_t size) {
    return Text(record->name, keyword, out, size);
  };
  if (Text(record->id, L"NAME", record->name, CompanyTextSize) != 1 || ForSharedTexts(*record, text) != 1) return -1;
  return IORRecordAlobTail("Company", record->name, alob);
}

int32_t Quoted(const wchar_t* keyword, const wchar_t* field, size_t size) {
  return IOLSendLine(L"%ls \"%ls\"", keyword, FieldText(field, size).c_str());
}

int32_t WriteRecord(const CompanyRec* record, const Alob* alob) {
  if (Quoted(L"ID", record->id, CompanyIdSize) != 1 || Quoted(L"NAME", record->name, CompanyTextSize) != 1 ||
      ForSharedTexts(*record, Quoted) != 1) {
    return -1;
  }
  if (PutAlob(alob, record->name, L"") != 0) return -1;
  return IOLSendLine(L"");
}

}  // namespace

int32_t IORCompanyGetRec(int32_t first, int32_t, CompanyRec* record, Alob* alob) {
  if (DebugLevel > 0) DebugPrint(" --> IORCompanyGetRec(%d)\n", static_cast<int>(first));
  if (first) {
    IORStartRead();
    if (IOLCompaniesGetAll() != 1) return IORLogged("IORCompanyGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  alob->Clear();
  return IORLogged("IORCompanyGetRec", ReadRecord(record, alob));
}

int32_t IORCompanyPutRec(int32_t operation, const CompanyRec* record, const Alob* alob) {
  if (DebugLevel > 0) DebugPrint(" --> IORCompanyPutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLCompaniesPut(flags); };
  save.write = [record, alob]() { return WriteRecord(record, alob); };
  save.knowsStartFlag1 = true;
  return IORLogged("IORCompanyPutRec", RunRecordOperation(operation, save));
}
