// The "Road Vehicle Def." sheet: the road-vehicle definition.  Row 1 holds
// "SPEED DIMENSION" and the speed dimension's number, row 2 "USE ALTERNATIVE
// SPEED" and its flag; from row 3 on one row per dimension: its header in A
// and its class texts from B up to the first empty cell.
//
// The definition is the server's: a Load writes it and the catalogue is
// rebuilt from it; a road-vehicle Save sends it back in front of the road
// vehicles, for the server to check against its own.
#pragma once

#include <cstdint>
#include <memory>

#include "host/issue_list.h"
#include "records/road_vehicle_definition.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

constexpr const wchar_t* RoadVehicleDefSheetName = L"Road Vehicle Def.";

class CExcelWriteRoadVehicleDef {
 public:
  CExcelWriteRoadVehicleDef();
  ~CExcelWriteRoadVehicleDef();
  CExcelWriteRoadVehicleDef(const CExcelWriteRoadVehicleDef&) = delete;
  CExcelWriteRoadVehicleDef& operator=(const CExcelWriteRoadVehicleDef&) = delete;

  // 1 or -1.
  int32_t Init();
  // The whole definition; 1 or -1.
  int32_t Write(const RoadVehicleDefRec& record);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
};

class CExcelReadRoadVehicleDef {
 public:
  // Cells are read whole up to the longest line a record takes.
  static constexpr int32_t kMaxText = 8096;

  CExcelReadRoadVehicleDef();
  ~CExcelReadRoadVehicleDef();
  CExcelReadRoadVehicleDef(const CExcelReadRoadVehicleDef&) = delete;
  CExcelReadRoadVehicleDef& operator=(const CExcelReadRoadVehicleDef&) = delete;

  // dimensions: the number of dimensions the catalogue holds.  1 or -1.
  int32_t Init(int32_t dimensions);
  // The definition's next text line into line (kMaxText + 16 characters):
  // "DIMENSION n", "DIMd count", "DIMSPEED v", "USEALTSPEED v", then per
  // dimension "HEADERd text" and "TEXTt text".  1 a line, 0 after the last,
  // -1 when a read fails.
  int32_t Read(wchar_t* line);

 private:
  // Number of filled cells of row from column 1 up to the first empty one;
  // -1 when a read fails.
  int32_t Classes(int32_t row);

  std::unique_ptr<CSheetCellReader> m_pReader;
  std::unique_ptr<wchar_t[]> m_buf;
  int32_t m_dimensions = 0;
  int32_t m_step = 0;       // 0 DIMENSION, 1 DIMd lines, 2 DIMSPEED, 3 USEALTSPEED, 4 texts, 5 done
  int32_t m_dimension = 0;  // 0-based, for steps 1 and 4
  int32_t m_column = 0;     // for step 4
};

// Opens the sheet (it must exist) and checks that every class text is one
// word, as the road vehicles' emission lines carry them.
class CExcelVerifyRoadVehicleDef {
 public:
  CExcelVerifyRoadVehicleDef();
  ~CExcelVerifyRoadVehicleDef();

  // 1, or -1 (a missing sheet included).
  int32_t Init(int32_t dimensions, IssueList& errors, IssueList& warnings);
  // Always 1: the checks are done while opening.
  int32_t VerifyRec() { return 1; }
};
