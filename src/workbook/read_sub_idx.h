// CExcelReadSubIdx: substance names (kind 0, column B of "Substance", up to
// 1023) and the five searchkey columns (kinds 1-5, columns B-F of
// "Searchkey", up to 127 for kinds 1 and 2, 63 for kinds 3-5).  A name's
// index is its row; empty rows are skipped and the name "-" is never added.
#pragma once

#include <cstdint>

#include "workbook/read_idx.h"

class CExcelReadSubIdx : public CExcelReadIdx {
 public:
  CExcelReadSubIdx() : CExcelReadIdx(nullptr) {}

  // kind 0..5; any other kind sets "Unknown sub column: %d" and gives -1.
  int32_t Init(int32_t kind, IssueList& errors, IssueList& warnings);
  int32_t Update(CRecordList& list);

 private:
  int32_t m_column = 1;
  bool m_searchkey = false;
  int32_t m_limit = 0;  // first row that must stay empty
};
