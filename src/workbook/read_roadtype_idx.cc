// CExcelReadRoadtypeIdx: roadtype names (see read_roadtype_idx.h).
#include "workbook/read_roadtype_idx.h"

int32_t CExcelReadRoadtypeIdx::Update(CRecordList& list) {
  m_records = 0;
  m_vehicles = 0;
  m_row = 1;
  if (Read(m_row, 0) != 1) return -1;
  if (Empty()) return EndTestColumns(m_row, 3, 41);
  while (m_row < kXlRows) {
    // The name row (its name is in m_buf).
    TakeName(m_row);
    ++m_records;
    int32_t nameRow = m_row;
    if (TakeRecord(list, nameRow, L"Duplicate roadtype name", L"Roadtype name can only be 19 characters") != 1) {
      return -1;
    }
    int32_t vehicle = Filled(nameRow, 2);
    if (vehicle < 0) return -1;
    if (vehicle == 0) Error(nameRow, 2, L"Missing vehicle name");
    m_vehicles = 1;
    // The vehicle rows.
    for (;;) {
      for (int32_t between = 1; between < kVehicleRows; ++between) {
        int32_t cell = Filled(m_row + between, 2);
        if (cell < 0) return -1;
        if (cell == 1) Error(m_row + between, 2, L"Garbage data in cell");
      }
      m_row += kVehicleRows;
      if (m_row >= kXlRows) return 1;
      int32_t name = Filled(m_row, 0);
      if (name < 0) return -1;
      if (name == 1) break;  // the next record (its name is in m_buf)
      vehicle = Filled(m_row, 2);
      if (vehicle < 0) return -1;
      if (vehicle == 0) return EndTestColumns(m_row, 3, 41);
      ++m_vehicles;
    }
  }
  return 1;
}
