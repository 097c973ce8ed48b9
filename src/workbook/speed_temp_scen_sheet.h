// The "Speed-Temp-Scen" sheet: three tables of numbered names, the speeds in
// column B (rows 1..11), the temperatures in column C (rows 1..30) and the
// scenarios in column D (rows 1..10); the name of number r stands in row r.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/edb_rsrc_rows.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

constexpr const wchar_t* SpeedTempScenSheet = L"Speed-Temp-Scen";
// The tables' columns.
constexpr int32_t SpeedColumn = 1;
constexpr int32_t TemperatureColumn = 2;
constexpr int32_t ScenarioColumn = 3;

// The count of numbers of a table column, 0 for another column.
int32_t SpeedTempScenCount(int32_t column);

class CExcelWriteSpeedTempScen {
 public:
  CExcelWriteSpeedTempScen();
  ~CExcelWriteSpeedTempScen();
  CExcelWriteSpeedTempScen(const CExcelWriteSpeedTempScen&) = delete;
  CExcelWriteSpeedTempScen& operator=(const CExcelWriteSpeedTempScen&) = delete;

  // column 1, 2 or 3 ("Only comns 1,2,3 are valid for SpeedTempScen"
  // otherwise); 1 or -1.
  int32_t Init(int32_t column);
  // The name into (number, column).  Number 0 has no row (row 0 is the
  // heading): nothing is written.  1 or -1.
  int32_t Write(uint16_t number, const wchar_t* name);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  int32_t m_column = SpeedColumn;
};

class CExcelReadSpeedTempScen {
 public:
  CExcelReadSpeedTempScen();
  ~CExcelReadSpeedTempScen();
  CExcelReadSpeedTempScen(const CExcelReadSpeedTempScen&) = delete;
  CExcelReadSpeedTempScen& operator=(const CExcelReadSpeedTempScen&) = delete;

  // column 1, 2 or 3 ("Only comns 1,2,3 are valid for SpeedTempScen"
  // otherwise); 1; 0 when the sheet is missing; -1.
  int32_t Init(int32_t column);
  // Every number of the table in turn, named or not: 1 with number = row and
  // the row's name; 0 after the last; -1.
  int32_t Read(RsrcNameRow* row);

  // After Init: unreadable cells become issues in errors and read as empty
  // (for the verifier, which goes on past them).
  void ReportUnreadableTo(IssueList* errors) {
    if (m_pReader) m_pReader->ReportUnreadableTo(errors);
  }

 private:
  std::unique_ptr<CSheetCellReader> m_pReader;
  int32_t m_column = SpeedColumn;
  int32_t m_count = 0;
  int32_t m_row = 1;
};
