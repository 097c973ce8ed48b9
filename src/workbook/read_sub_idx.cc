// CExcelReadSubIdx: substance and searchkey names (see read_sub_idx.h).
#include "workbook/read_sub_idx.h"

#include <cwchar>

#include "host/frame.h"

int32_t CExcelReadSubIdx::Init(int32_t kind, IssueList& errors, IssueList& warnings) {
  if (kind < 0 || kind > 5) {
    SetErrorText("Unknown sub column: %d", static_cast<int>(kind));
    return -1;
  }
  SetSheet(kind == 0 ? L"Substance" : L"Searchkey");
  m_column = kind == 0 ? 1 : kind;
  m_searchkey = kind != 0;
  m_limit = kind == 0 ? 1024 : kind <= 2 ? 128 : 64;
  return Open(errors, warnings);
}

int32_t CExcelReadSubIdx::Update(CRecordList& list) {
  for (m_row = 1; m_row < m_limit; ++m_row) {
    if (Read(m_row, m_column) != 1) return -1;
    if (Empty() || wcscmp(m_buf, L"-") == 0) continue;
    TakeName(m_row);
    int32_t found = list.Find(m_name);
    if (found == m_row) continue;
    if (found != -1) Warning(m_row, m_column, L"Duplicate searchkey%d", static_cast<int>(m_column));
    if (m_searchkey && wcslen(m_name) > 31) Error(m_row, m_column, L"Searchkey can only be 31 characters");
    // Searchkeys are saved as quoted names; their length is checked above.
    if (m_searchkey) CheckName(m_row, m_column, L"Searchkey", 0, FieldForm::kQuoted);
    if (!list.Add(m_name, m_row)) return OutOfMemory(m_name);
  }
  if (Read(m_limit, m_column) != 1) return -1;
  if (!Empty()) {
    Error(m_limit, m_column, L"Can only have %d number of Searchkey%d", static_cast<int>(m_limit),
          static_cast<int>(m_column));
  }
  return 1;
}
