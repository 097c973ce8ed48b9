// CExcelReadVehicleIdx: vehicle names (see read_vehicle_idx.h).
#include "workbook/read_vehicle_idx.h"

int32_t CExcelReadVehicleIdx::Update(CRecordList& list) {
  m_records = 0;
  for (m_row = 1; m_row < kXlRows; m_row += kRecordRows) {
    if (Read(m_row, 0) != 1) return -1;
    if (Empty()) return EndTestColumns(m_row, 1, 254);
    TakeName(m_row);
    ++m_records;
    if (TakeRecord(list, m_row, L"Duplicate vehicle name", L"Vehicle name can only be 19 characters") != 1) {
      return -1;
    }
    if (CheckRowsEmpty(m_row + 1, m_row + kRecordRows - 1) != 1) return -1;
  }
  return 1;
}
