// Facilities as text records: a facility is keyed by its X and Y numbers and
// names its company by company ID; the attribute text (ALOB) travels beside
// the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/alob.h"
#include "records/company.h"

struct FacilityRec {
  uint32_t x;
  uint32_t y;
  wchar_t name[CompanyTextSize];
  wchar_t company[CompanyIdSize];  // company ID, empty: no company
  wchar_t info[CompanyTextSize];
  wchar_t info2[CompanyInfo2Size];
  wchar_t address[CompanyTextSize];
  wchar_t postaddress[CompanyTextSize];
  wchar_t infosupplier[CompanyTextSize];
  wchar_t misc[CompanyTextSize];
};

// Reads the next facility; as IORCompanyGetRec.
// REQUIRES: record and alob not null.
int32_t IORFacilityGetRec(int32_t first, int32_t unused, FacilityRec* record, Alob* alob);

// Writer operations (RecordOperation, operation 5 included): 1, or -1.
// REQUIRES: record not null for operation 1; alob may be null (no ALOB).
int32_t IORFacilityPutRec(int32_t operation, const FacilityRec* record, const Alob* alob);
