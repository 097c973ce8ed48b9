// CExcelReadVehicleIdx: vehicle names on "Vehicle": one record per 11 rows
// (rows 1, 12, 23 ...), name in column A, index in column B; columns A and B
// of a record's other rows stay empty.
#pragma once

#include <cstdint>

#include "workbook/read_idx.h"

class CExcelReadVehicleIdx : public CExcelReadIdx {
 public:
  static constexpr int32_t kRecordRows = 11;

  CExcelReadVehicleIdx() : CExcelReadIdx(L"Vehicle") {}

  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  int32_t Update(CRecordList& list);
  int32_t Records() const { return m_records; }

 private:
  int32_t m_records = 0;
};
