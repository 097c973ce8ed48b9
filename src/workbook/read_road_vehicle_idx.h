// CExcelReadRoadVehicleIdx: road-vehicle names on "Road Vehicle".  A record is
// a name row (name in column A, index in column B) and the continuation rows
// below it (column A empty); columns K .. the last column (dimensions + 14)
// are filled on every row of a record, columns B..J stay empty on the
// continuation rows.  A row empty in all of columns A .. the last ends the
// data.
#pragma once

#include <cstdint>

#include "workbook/read_idx.h"

class CExcelReadRoadVehicleIdx : public CExcelReadIdx {
 public:
  static constexpr int32_t kFirstDataColumn = 10;

  CExcelReadRoadVehicleIdx() : CExcelReadIdx(L"Road Vehicle") {}

  int32_t Init(IssueList& errors, IssueList& warnings) { return Open(errors, warnings); }
  // dimensions: the road-vehicle definition's number of dimensions.
  int32_t Update(CRecordList& list, int32_t dimensions);
  int32_t Records() const { return m_records; }

 private:
  // Reports the empty cells among columns K .. last of the row; 1 or -1.
  int32_t CheckData(int32_t row);

  int32_t m_lastColumn = 0;
  int32_t m_records = 0;
  bool m_filled[kXlColumns] = {};  // which cells of the row being checked hold something
};
