// The name-index readers of sheets with one record per row (name in column
// A, index in column B) whose data ends at the first row without a name,
// checked under the filled headings: substance groups on "Emission factor"
// and emission factors on "Emission function".
#pragma once

#include <cstdint>

#include "workbook/read_idx.h"

class CExcelReadOneRowIdx : public CExcelReadIdx {
 public:
  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  int32_t Update(CRecordList& list);

 protected:
  CExcelReadOneRowIdx(const wchar_t* sheet, int32_t lastColumn, const wchar_t* duplicate,
                      const wchar_t* tooLong)
      : CExcelReadIdx(sheet), m_lastColumn(lastColumn), m_duplicate(duplicate), m_tooLong(tooLong) {}

 private:
  int32_t m_lastColumn;
  const wchar_t* m_duplicate;
  const wchar_t* m_tooLong;
};

class CExcelReadSubgrpIdx : public CExcelReadOneRowIdx {
 public:
  CExcelReadSubgrpIdx()
      : CExcelReadOneRowIdx(L"Emission factor", 501, L"Duplicate substance group name",
                            L"Emission factor name can only be 19 characters") {}
};

class CExcelReadEmifacIdx : public CExcelReadOneRowIdx {
 public:
  CExcelReadEmifacIdx()
      : CExcelReadOneRowIdx(L"Emission function", 93, L"Duplicate emission factor name",
                            L"Emission function name can only be 19 characters") {}
};
