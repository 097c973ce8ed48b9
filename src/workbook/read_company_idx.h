// CExcelReadCompanyIdx: company names on "Company", one per row, with the
// company ID in column B as the key (CRecordListKey).
#pragma once

#include <cstdint>

#include "catalogue/record_list_key.h"
#include "workbook/read_idx.h"

class CExcelReadCompanyIdx : public CExcelReadIdx {
 public:
  // Names of this many characters or more are too long.
  static constexpr int32_t kNameSize = 32;

  CExcelReadCompanyIdx() : CExcelReadIdx(L"Company") {}

  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  int32_t Update(CRecordListKey& list);
};
