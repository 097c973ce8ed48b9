// CExcelReadRoadtypeIdx: roadtype names on "Roadtype".  A record starts with
// a name row (name in column A, index in column B, the first vehicle's name
// in column C) and takes one vehicle per 4 rows: the rows 4, 8 ... below the
// name row carry the next vehicle's name in column C, and column C of the
// rows between stays empty.  A vehicle row with a name in column A starts the
// next record; one empty in columns A and C ends the data.
#pragma once

#include <cstdint>

#include "workbook/read_idx.h"

class CExcelReadRoadtypeIdx : public CExcelReadIdx {
 public:
  static constexpr int32_t kVehicleRows = 4;

  CExcelReadRoadtypeIdx() : CExcelReadIdx(L"Roadtype") {}

  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  int32_t Update(CRecordList& list);
  int32_t Records() const { return m_records; }
  // Vehicles of the last record read.
  int32_t Vehicles() const { return m_vehicles; }

 private:
  int32_t m_records = 0;
  int32_t m_vehicles = 0;
};
