// CExcelReadCompanyIdx: company names and IDs (see read_company_idx.h).
#include "workbook/read_company_idx.h"

#include <cwchar>

#include "catalogue/list_text.h"

int32_t CExcelReadCompanyIdx::Update(CRecordListKey& list) {
  for (m_row = 1; m_row < kXlRows; ++m_row) {
    if (Read(m_row, 0) != 1) return -1;
    if (Empty()) return EndTestByHeader(m_row, 501);
    TakeName(m_row);
    if (Read(m_row, 1) != 1) return -1;
    if (Empty()) Error(m_row, 1, L"Missing index");
    const wchar_t* known = list.FindKey(m_name);
    if (known && wcscmp(known, m_buf) == 0) continue;
    if (known) Error(m_row, 0, L"Duplicate company name");
    if (wcslen(m_name) >= static_cast<size_t>(kNameSize)) {
      Error(m_row, 0, L"Company name can only be %d characters", static_cast<int>(kNameSize));
    }
    if (!list.Add(m_name, m_buf)) return OutOfMemory(m_name);
  }
  return 1;
}
