// One-row name-index readers: substance groups and emission factors (see
// read_one_row_idx.h).
#include "workbook/read_one_row_idx.h"

int32_t CExcelReadOneRowIdx::Update(CRecordList& list) {
  for (m_row = 1; m_row < kXlRows; ++m_row) {
    if (Read(m_row, 0) != 1) return -1;
    if (Empty()) return EndTestByHeader(m_row, m_lastColumn);
    TakeName(m_row);
    if (TakeRecord(list, m_row, m_duplicate, m_tooLong) != 1) return -1;
  }
  return 1;
}
