// The "Vehicle" sheet: one vehicle per 11 rows, one row per speed class;
// vehicle k starts on row 11k - 10.  Its first row holds the name (A), the
// index (B) and the activity code (C); its second row holds the heavy-vehicle
// flag in C.  Column D of every row names the row's speed (from the speed
// list), and from column E on each column belongs to the substance named in
// row 0: the vehicle's emission factor at that speed, empty when the vehicle
// has none for the substance.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "records/code_string.h"
#include "records/vehicle.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_texts.h"

constexpr const wchar_t* VehicleSheetName = L"Vehicle";

// The heading row holds at most this many substance columns.
constexpr int32_t VehicleSheetMaxColumns = 251;
// Activity codes of vehicles and road vehicles are kept to 255 characters.
constexpr size_t ActivityCodeSize = 256;

class CExcelWriteVehicle {
 public:
  CExcelWriteVehicle();
  ~CExcelWriteVehicle();
  CExcelWriteVehicle(const CExcelWriteVehicle&) = delete;
  CExcelWriteVehicle& operator=(const CExcelWriteVehicle&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& substances, const CRecordList& speeds);
  // The record into the next 11 rows; a substance without a column gets the
  // next one and its name in row 0.  -1 with "Could not get speed %d",
  // "Could not get substance %d" or "Too many substances. Maximum is %d.".
  int32_t Write(const VehicleRec& record, const CodeString* code);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  const CRecordList* m_pSubstances = nullptr;
  const CRecordList* m_pSpeeds = nullptr;
  std::vector<int32_t> m_columnSubstance;  // substance index of column 4 + j
  int32_t m_row = 1;
};

// The heading and the rows that reader and verifier walk.
class CVehicleSheetRows {
 public:
  static constexpr int32_t kMaxText = 300;

  CVehicleSheetRows();
  ~CVehicleSheetRows();

  // Reads the heading names from column 4 up to the first empty cell (at
  // most 252 of them); 1 or -1.
  int32_t Open();
  int32_t Columns() const { return static_cast<int32_t>(m_heading.size()); }
  const wchar_t* Heading(int32_t j) const { return m_heading[static_cast<size_t>(j)].c_str(); }
  // Reads the next row; 1 or -1.
  int32_t ReadRow();
  // Column c of the row read last.
  const wchar_t* Cell(int32_t c) const { return m_rows.Cell(c); }

 private:
  std::vector<std::wstring> m_heading;
  CSheetRowTexts m_rows;
};

class CExcelReadVehicle {
 public:
  CExcelReadVehicle();
  ~CExcelReadVehicle();
  CExcelReadVehicle(const CExcelReadVehicle&) = delete;
  CExcelReadVehicle& operator=(const CExcelReadVehicle&) = delete;

  // Reads the heading: every name must be a substance ("Could not get index
  // for substance: %ls"), at most 251 of them ("To many substances
  // specified").  1 or -1.
  int32_t Init(const CRecordList& substances, const CRecordList& speeds);
  // The next vehicle: 1; 0 at a first row without a name; -1 for a cell the
  // record cannot carry (index, speed, factor, name, code, flag), with the
  // cell named.
  int32_t Read(VehicleRec* record, CodeString* code);

 private:
  CVehicleSheetRows m_rows;
  std::vector<int16_t> m_substance;  // per heading column
  const CRecordList* m_pSpeeds = nullptr;
  int32_t m_row = 1;
};

class CExcelVerifyVehicle {
 public:
  CExcelVerifyVehicle();
  ~CExcelVerifyVehicle();
  CExcelVerifyVehicle(const CExcelVerifyVehicle&) = delete;
  CExcelVerifyVehicle& operator=(const CExcelVerifyVehicle&) = delete;

  // Reads the heading; unknown substances and a 252nd column are issues.
  // 1, or -1 (a missing sheet included).
  int32_t Init(const CRecordList& substances, const CRecordList& speeds, IssueList& errors, IssueList& warnings);
  // Checks every vehicle up to the first without a name; 1, or -1 when a
  // read fails.
  int32_t VerifyRec();

 private:
  CVehicleSheetRows m_rows;
  const CRecordList* m_pSpeeds = nullptr;
  std::unique_ptr<CCellChecker> m_pChecker;
  int32_t m_row = 1;
};
