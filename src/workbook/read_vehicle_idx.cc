// CExcelReadVehicleIdx: vehicle names (see read_vehicle_idx.h).
#include "workbook/read_vehicle_idx.h"

int32_t CExcelReadVehicleIdx::Update(CRecordList& list) {
  return UpdateSpaced(list, kRecordRows, 254, L"Duplicate vehicle name", L"Vehicle name can only be 19 characters",
                      &m_records);
}
