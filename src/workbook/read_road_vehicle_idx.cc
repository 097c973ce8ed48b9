// CExcelReadRoadVehicleIdx: road-vehicle names (see read_road_vehicle_idx.h).
#include "workbook/read_road_vehicle_idx.h"

int32_t CExcelReadRoadVehicleIdx::CheckData(int32_t row) {
  for (int32_t column = kFirstDataColumn; column <= m_lastColumn; ++column) {
    int32_t cell = Filled(row, column);
    if (cell < 0) return -1;
    if (cell == 0) Error(row, column, L"No data.");
  }
  return 1;
}

int32_t CExcelReadRoadVehicleIdx::Update(CRecordList& list, int32_t dimensions) {
  m_records = 0;
  if (dimensions < 0) dimensions = 0;
  if (dimensions > kXlColumns - 15) dimensions = kXlColumns - 15;
  m_lastColumn = dimensions + 14;

  m_row = 1;
  if (Read(m_row, 0) != 1) return -1;
  if (Empty()) return EndTestColumns(m_row, 1, m_lastColumn);
  while (m_row < kXlRows) {
    // A name row.
    TakeName(m_row);
    ++m_records;
    if (TakeRecord(list, m_row, L"Duplicate RoadVehicle name", L"RoadVehicle name can only be 19 characters") != 1) {
      return -1;
    }
    if (CheckData(m_row) != 1) return -1;
    // Its continuation rows, up to the next name row or the end.
    for (++m_row;; ++m_row) {
      if (m_row >= kXlRows) return 1;
      if (Read(m_row, 0) != 1) return -1;
      if (!Empty()) break;
      int32_t filled = 0;
      for (int32_t column = 1; column <= m_lastColumn; ++column) {
        int32_t cell = Filled(m_row, column);
        if (cell < 0) return -1;
        m_filled[column] = cell == 1;
        filled += cell;
      }
      if (filled == 0) return 1;  // an empty row ends the data
      for (int32_t column = 1; column <= m_lastColumn; ++column) {
        if (column < kFirstDataColumn && m_filled[column]) Error(m_row, column, L"Garbage data.");
        if (column >= kFirstDataColumn && !m_filled[column]) Error(m_row, column, L"No data.");
      }
    }
  }
  return 1;
}
