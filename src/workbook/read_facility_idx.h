// CExcelReadFacilityIdx: facility names on "Facility", one per row, keyed by
// the facility's X and Y numbers in columns B and C ("X Y", CRecordListKey).
#pragma once

#include <cstdint>

#include "catalogue/record_list_key.h"
#include "workbook/read_idx.h"

class CExcelReadFacilityIdx : public CExcelReadIdx {
 public:
  CExcelReadFacilityIdx() : CExcelReadIdx(L"Facility") {}

  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  int32_t Update(CRecordListKey& list);

 private:
  // The coordinate in (m_row, column): "Missing ..." when empty, "Invalid
  // ..." when it does not start with a number above 0; *value is then 0.
  int32_t ReadCoordinate(int32_t column, const wchar_t* missing, const wchar_t* invalid, uint32_t* value);
};
