// The "Units" sheet: four tables of two columns, the unit's name and its
// factor text, from column A (substance units), C (substance-group units), E
// (substance-group emission units) and G (searchkey units).  Unit n stands
// in row n + 1; a table ends at its first empty name.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/edb_rsrc_rows.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

constexpr const wchar_t* UnitsSheet = L"Units";
// The tables' first columns.
constexpr int32_t UnitSubColumn = 0;
constexpr int32_t UnitSubGrpColumn = 2;
constexpr int32_t UnitSubGrpEmColumn = 4;
constexpr int32_t UnitSearchColumn = 6;

// True for the first column of a table.
bool IsUnitsTableColumn(int32_t column);

class CExcelWriteUnits {
 public:
  CExcelWriteUnits();
  ~CExcelWriteUnits();
  CExcelWriteUnits(const CExcelWriteUnits&) = delete;
  CExcelWriteUnits& operator=(const CExcelWriteUnits&) = delete;

  // column 0, 2, 4 or 6 ("Only columns 0,2,4,6 are valid for Units"
  // otherwise); 1 or -1.
  int32_t Init(int32_t column);
  // The unit into row number + 1; 1 or -1.
  int32_t Write(uint16_t number, const wchar_t* name, const wchar_t* factor);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  int32_t m_column = UnitSubColumn;
};

class CExcelReadUnits {
 public:
  CExcelReadUnits();
  ~CExcelReadUnits();
  CExcelReadUnits(const CExcelReadUnits&) = delete;
  CExcelReadUnits& operator=(const CExcelReadUnits&) = delete;

  // column 0, 2, 4 or 6; 1; 0 when the sheet is missing; -1.
  int32_t Init(int32_t column);
  // The next unit from row 1 on: 1 with number = row - 1; 0 at the first
  // empty name (or past unit 65535); -1.
  int32_t Read(RsrcUnitRow* row);

  // After Init: unreadable cells become issues in errors and read as empty
  // (for the verifier, which goes on past them).
  void ReportUnreadableTo(IssueList* errors) {
    if (m_pReader) m_pReader->ReportUnreadableTo(errors);
  }

 private:
  std::unique_ptr<CSheetCellReader> m_pReader;
  int32_t m_column = UnitSubColumn;
  int32_t m_row = 1;
};
