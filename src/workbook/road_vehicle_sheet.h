// The "Road Vehicle" sheet.  With D the number of dimensions of the
// road-vehicle definition, row 0 names the dimensions in columns 11 .. 10 + D
// and the four traffic situations ("Free flowing", "Heavy traffic",
// "Congested", "Stop and go") in 11 + D .. 14 + D.  A road vehicle takes a
// name row (name, index, activity code, is heavy, is traffic, weight,
// emission model, flow equivalent, dependency, info in columns 0..9) and the
// continuation rows below it (column 0 empty).  Each of these rows carries
// one emission line in columns 10 .. 14 + D: the substance, one class text
// per dimension and the four factors.  A row empty in columns 0 .. 14 + D
// ends the data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalogue/record_list.h"
#include "catalogue/road_vehicle_def.h"
#include "host/issue_list.h"
#include "records/code_string.h"
#include "records/road_vehicle.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_texts.h"

constexpr const wchar_t* RoadVehicleSheetName = L"Road Vehicle";

class CExcelWriteRoadVehicle {
 public:
  CExcelWriteRoadVehicle();
  ~CExcelWriteRoadVehicle();
  CExcelWriteRoadVehicle(const CExcelWriteRoadVehicle&) = delete;
  CExcelWriteRoadVehicle& operator=(const CExcelWriteRoadVehicle&) = delete;

  // Writes the heading cells of row 0; 1 or -1.
  int32_t Init(const CRecordList& substances, const CRoadVehicleDef& definition, const CRecordList& roadVehicles);
  // The name row of the record (the row does not advance).  The dependency
  // cell is written by WriteDependencies, once every road vehicle the
  // dependencies may name has been written.  1 or -1.
  int32_t Write(const RoadVehicleRec& record, const CodeString* code);
  // Writes the dependency cells: the name of the road vehicle written with
  // that index, else the list's name for it ("Could not get vehicle %d" when
  // it has none).  1 or -1.
  int32_t WriteDependencies();
  // One emission line into the current row, then the next row; -1 with
  // "Could not get substance %d", or when the line does not have the
  // substance, D class texts and four factors the row holds.
  int32_t WriteEmFac(const wchar_t* line);
  // Ends the record: a record without emission lines keeps its name row.
  void EndRecord();

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  const CRecordList* m_pSubstances = nullptr;
  const CRecordList* m_pRoadVehicles = nullptr;
  int32_t m_dimensions = 0;
  int32_t m_row = 1;
  int32_t m_lines = 0;  // emission lines of the current record
  std::wstring m_name;  // of the current record
  std::unordered_map<uint32_t, std::wstring> m_written;         // index -> name of the records written
  std::vector<std::pair<int32_t, uint32_t>> m_dependencies;     // (row, dependency) still to write
};

// The rows that reader and verifier walk: columns 0 .. 14 + D.
class CRoadVehicleSheetRows {
 public:
  static constexpr int32_t kMaxText = 300;

  // 1 or -1 (a missing sheet included).
  int32_t Open(int32_t dimensions);
  // Reads the next row; 1 or -1.
  int32_t ReadRow();
  const wchar_t* Cell(int32_t c) const { return m_rows.Cell(c); }
  // True when columns from .. 14 + D of the row read last are all empty.
  bool EmptyFrom(int32_t from) const;
  int32_t Dimensions() const { return m_dimensions; }
  int32_t LastColumn() const { return 14 + m_dimensions; }

 private:
  CSheetRowTexts m_rows;
  int32_t m_dimensions = 0;
};

class CExcelReadRoadVehicle {
 public:
  CExcelReadRoadVehicle();
  ~CExcelReadRoadVehicle();
  CExcelReadRoadVehicle(const CExcelReadRoadVehicle&) = delete;
  CExcelReadRoadVehicle& operator=(const CExcelReadRoadVehicle&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& substances, int32_t dimensions, const CRecordList& roadVehicles);
  // The next record's name row: 1; 0 at a row without a name; -1 for a cell
  // the record cannot carry, with the cell named ("Could not get index for
  // vehicle: %ls", "Only 0 or 1 are valid values: %ls", "Only 0 to 3 are
  // valid values: %ls", ...).
  int32_t Read(RoadVehicleRec* record, CodeString* code);
  // The record's next emission line into line (one per call, the first from
  // the name row): the substance index, then the class texts and factors,
  // each followed by a blank.  1, 0 when the record has no more, -1 for an
  // unknown substance or a missing or malformed value.
  int32_t ReadEmFac(std::wstring* line);

 private:
  CRoadVehicleSheetRows m_rows;
  const CRecordList* m_pSubstances = nullptr;
  const CRecordList* m_pRoadVehicles = nullptr;
  int32_t m_row = 0;          // sheet row of the row read last
  bool m_pending = false;     // the row read last is the next record's
  int32_t m_lines = -1;       // emission lines given of the current record; -1 none open
  std::wstring m_name;
};

class CExcelVerifyRoadVehicle {
 public:
  CExcelVerifyRoadVehicle();
  ~CExcelVerifyRoadVehicle();
  CExcelVerifyRoadVehicle(const CExcelVerifyRoadVehicle&) = delete;
  CExcelVerifyRoadVehicle& operator=(const CExcelVerifyRoadVehicle&) = delete;

  // 1, or -1 (a missing sheet included).
  int32_t Init(const CRecordList& substances, const CRoadVehicleDef& definition, const CRecordList& roadVehicles,
               int32_t dimensions, IssueList& errors, IssueList& warnings);
  // Checks one record and its emission rows: 1 another record follows, 0
  // the data ended, -1 when a read fails.
  int32_t VerifyRec();

 private:
  void CheckLine(int32_t row);

  CRoadVehicleSheetRows m_rows;
  const CRecordList* m_pSubstances = nullptr;
  const CRoadVehicleDef* m_pDefinition = nullptr;
  const CRecordList* m_pRoadVehicles = nullptr;
  std::unique_ptr<CCellChecker> m_pChecker;
  int32_t m_row = 0;
  bool m_pending = false;
};
