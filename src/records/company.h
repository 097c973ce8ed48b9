// Companies as text records: a company ID, its name and descriptive texts;
// the attribute text (ALOB) travels beside the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/alob.h"

constexpr size_t CompanyIdSize = 32;     // at most 31 characters
constexpr size_t CompanyTextSize = 48;   // name, info, addresses, misc: at most 47
constexpr size_t CompanyInfo2Size = 64;  // at most 63

// Applies fn(keyword, field, size) to the descriptive texts that companies
// and facilities share, in their record order (INFO, INFO2, ADDRESS,
// POSTADDRESS, INFOSUPPLIER, MISC), up to the first result other than 1;
// that result, or 1.
template <class Record, class Fn>
int32_t ForSharedTexts(Record& record, Fn fn) {
  int32_t r = fn(L"INFO", record.info, CompanyTextSize);
  if (r == 1) r = fn(L"INFO2", record.info2, CompanyInfo2Size);
  if (r == 1) r = fn(L"ADDRESS", record.address, CompanyTextSize);
  if (r == 1) r = fn(L"POSTADDRESS", record.postaddress, CompanyTextSize);
  if (r == 1) r = fn(L"INFOSUPPLIER", record.infosupplier, CompanyTextSize);
  if (r == 1) r = fn(L"MISC", record.misc, CompanyTextSize);
  return r;
}

struct CompanyRec {
  wchar_t id[CompanyIdSize];
  wchar_t name[CompanyTextSize];
  wchar_t info[CompanyTextSize];
  wchar_t info2[CompanyInfo2Size];
  wchar_t address[CompanyTextSize];
  wchar_t postaddress[CompanyTextSize];
  wchar_t infosupplier[CompanyTextSize];
  wchar_t misc[CompanyTextSize];
};

// Reads the next company; first != 0 starts the read (the second argument is
// unused).  alob is emptied and refilled.  1 a record, 0 no more, -1 failure
// (a reply that ends inside a record included).
// REQUIRES: record and alob not null.
int32_t IORCompanyGetRec(int32_t first, int32_t unused, CompanyRec* record, Alob* alob);

// Writer operations (RecordOperation, operation 5 included): 1, or -1.
// REQUIRES: record not null for operation 1; alob may be null (no ALOB).
int32_t IORCompanyPutRec(int32_t operation, const CompanyRec* record, const Alob* alob);
