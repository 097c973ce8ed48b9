// CExcelReadTimevarIdx: time-variation names (see read_timevar_idx.h).
#include "workbook/read_timevar_idx.h"

int32_t CExcelReadTimevarIdx::Init(int32_t kind, IssueList& errors, IssueList& warnings) {
  SetSheet(kind == 0 ? L"Source timevar" : L"Road timevar");
  return Open(errors, warnings);
}

int32_t CExcelReadTimevarIdx::Update(CRecordList& list) {
  m_records = 0;
  for (m_row = 1; m_row < kXlRows; m_row += kRecordRows) {
    if (Read(m_row, 0) != 1) return -1;
    if (Empty()) return EndTestColumns(m_row, 1, 99);
    TakeName(m_row);
    ++m_records;
    if (TakeRecord(list, m_row, L"Duplicate timevar name", L"Timevar name can only be 19 characters") != 1) {
      return -1;
    }
    if (CheckRowsEmpty(m_row + 1, m_row + kRecordRows - 1) != 1) return -1;
  }
  return 1;
}
