// CExcelReadRoadVehicleDefIdx: the road-vehicle definition (see
// read_road_vehicle_def_idx.h).
#include "workbook/read_road_vehicle_def_idx.h"

#include "host/frame.h"

int32_t CExcelReadRoadVehicleDefIdx::Update(CRoadVehicleDef& def) {
  def.Free();
  int32_t dimensions = 0;
  for (int32_t row = kFirstRow;; ++row) {
    int32_t name = Filled(row, 0);
    if (name < 0) return -1;
    if (name == 0) break;
    ++dimensions;
  }
  if (!def.Create(dimensions)) {
    SetErrorText("Could not allocate memory for road vehicle definition %d", static_cast<int>(dimensions));
    return -1;
  }
  for (int32_t d = 0; d < dimensions; ++d) {
    m_row = kFirstRow + d;
    if (Read(m_row, 0) != 1) return -1;
    TakeName(m_row);
    CRecordList* texts = def.List(d);
    if (!texts || !def.SetName(d, m_name)) {
      SetErrorText("Could not allocate memory for road veh. definition %d", static_cast<int>(m_row));
      return -1;
    }
    for (int32_t column = 1;; ++column) {
      if (Read(m_row, column) != 1) return -1;
      if (Empty()) {
        if (column == 1) Error(m_row, 1, L"A dimension must have at least one text");
        break;
      }
      if (texts->Find(m_buf) != -1) {
        Error(m_row, column, L"Duplicate text");
      } else if (!texts->Add(m_buf, column - 1)) {
        SetErrorText("Could not allocate memory for road veh. definition %d", static_cast<int>(m_row));
        return -1;
      }
    }
  }
  return 1;
}
