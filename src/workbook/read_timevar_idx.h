// CExcelReadTimevarIdx: time-variation names on "Source timevar" (kind 0) or
// "Road timevar": one record per 4 rows (rows 1, 5, 9 ...), name in column A,
// index in column B; columns A and B of a record's other rows stay empty.
#pragma once

#include <cstdint>

#include "workbook/read_idx.h"

class CExcelReadTimevarIdx : public CExcelReadIdx {
 public:
  static constexpr int32_t kRecordRows = 4;

  CExcelReadTimevarIdx() : CExcelReadIdx(nullptr) {}

  int32_t Init(int32_t kind, IssueList& errors, IssueList& warnings);
  int32_t Update(CRecordList& list);
  int32_t Records() const { return m_records; }

 private:
  int32_t m_records = 0;
};
