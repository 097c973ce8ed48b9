// CExcelReadFacilityIdx: facility names and coordinates (see
// read_facility_idx.h).
#include "workbook/read_facility_idx.h"

#include <cwchar>

#include "catalogue/list_text.h"
#include "workbook/ref_values.h"

int32_t CExcelReadFacilityIdx::ReadCoordinate(int32_t column, const wchar_t* missing,
                                              const wchar_t* invalid, uint32_t* value) {
  *value = 0;
  if (Read(m_row, column) != 1) return -1;
  if (Empty()) {
    Error(m_row, column, missing);
    return 1;
  }
  // Coordinates are whole numbers from 1 on, as the facility sheet's check
  // has them; one with a fraction is not cut to another.
  int32_t v = 0;
  if (!CellIndex(m_buf, INT32_MAX, &v)) {
    Error(m_row, column, invalid);
    return 1;
  }
  *value = static_cast<uint32_t>(v);
  return 1;
}

int32_t CExcelReadFacilityIdx::Update(CRecordListKey& list) {
  wchar_t key[CRecordListKey::kKeySize];
  for (m_row = 1; m_row < kXlRows; ++m_row) {
    if (Read(m_row, 0) != 1) return -1;
    if (Empty()) return EndTestByHeader(m_row, 501);
    TakeName(m_row);
    uint32_t x = 0;
    uint32_t y = 0;
    if (ReadCoordinate(1, L"Missing x coordinate", L"Invalid x coordinate", &x) != 1) return -1;
    if (ReadCoordinate(2, L"Missing y coordinate", L"Invalid y coordinate", &y) != 1) return -1;
    listtext::CopyCut(key, CRecordListKey::kKeySize, list.MakeKey(x, y));
    const wchar_t* known = list.FindKey(m_name);
    if (known && wcscmp(known, key) == 0) continue;
    if (known) Error(m_row, 0, L"Duplicate facility");
    if (!list.Add(m_name, key)) return OutOfMemory(m_name);
  }
  return 1;
}
