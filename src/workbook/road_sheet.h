// The road sheets: one road per row from row 1, on a sheet the macro names
// ("Road", and further sheets when a Load continues), ending at the first
// row without a name.
//
// Columns 0..34 hold the fixed fields (name, info, info2, vehicles, vehicle
// macro, correction factor, lanes, speed, roadtype, the three congestion
// speeds, the heavy speed and its three congestion speeds, percent heavy,
// searchkeys 1-5, geocode, width, distance to houses, slope, elevation,
// building heights, two barrier heights, angles and distances, noise
// factors); columns 35..35+N-1 the emission factor of each of the N
// road-vehicle dimensions by class name; then marked sections: "TRAFFIC"
// (road vehicle, time variation, share) or "EMIS" (substance, time
// variation, emission) triples, "ALOB" lines, "COORD" x, y pairs.  A section
// ends at an empty cell or the next marker; an empty marker cell ends the
// road.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/record_list.h"
#include "catalogue/road_vehicle_def.h"
#include "host/issue_list.h"
#include "records/road.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

constexpr const wchar_t* RoadSheetName = L"Road";
constexpr int32_t RoadSheetColumns = 2300;
constexpr int32_t RoadSheetCellSize = 256;
constexpr int32_t RoadFixedColumns = 35;

// The catalogue lists the road sheets name things by.
struct RoadSheetLists {
  const CRecordList* substances;  // SubLists[0 .. 5]: substances, searchkeys 1-5
  const CRecordList* roadtypes;
  const CRecordList* speeds;
  const CRecordList* timevars;  // road time variations
  const CRecordList* roadVehicles;
  const CRoadVehicleDef* definition;  // the dimension lists
};
// The process-wide catalogue's lists.
RoadSheetLists CatalogueRoadLists();

// The rows of a road sheet, shared by reader and verifier.
class CRoadSheetRows {
 public:
  // 1; 0 when the sheet is missing; -1.
  int32_t Open(const wchar_t* sheet);
  // The next row: 1, 0 with unreadable cells (Unreadable()), -1.
  int32_t ReadRow();
  int32_t Row() const { return m_row; }
  const wchar_t* Cell(int32_t c) const { return m_texts[static_cast<size_t>(c)]; }
  const std::vector<int32_t>& Unreadable() const { return m_unreadable; }
  const wchar_t* Sheet() const { return m_sheet.c_str(); }

 private:
  // Rows are read this many columns wide; a row whose last of them is
  // filled is read again to its end.
  static constexpr int32_t kNarrow = 160;

  std::wstring m_sheet;
  int32_t m_row = 0;
  std::unique_ptr<CSheetRowReader> m_pReader;
  std::unique_ptr<wchar_t[]> m_buf;
  std::vector<wchar_t*> m_texts;
  std::vector<int32_t> m_unreadable;
};

class CExcelWriteRoad {
 public:
  // 1 or -1.
  int32_t Init(const wchar_t* sheet, const RoadSheetLists& lists);
  // The road into the next row: the number of sheet lines used (1), or -1
  // with ErrorText set (a name the lists lack, a road whose cells do not fit
  // one row, attribute lines a section cannot show).
  int32_t Write(const RoadRec& record, const Alob* alob, const RoadCoordVector& coordinates,
                const CodeString* geocode, const RoadTrafficVector& traffic);

 private:
  RoadSheetLists m_lists{};
  std::unique_ptr<CSheetRowWriter> m_pWriter;
  std::vector<std::wstring> m_cells;
  std::vector<const wchar_t*> m_texts;
  int32_t m_used = RoadSheetColumns;  // cells of the row written last
};

class CExcelReadRoad {
 public:
  // 1, 0 (no such sheet) or -1.
  int32_t Init(const wchar_t* sheet, const RoadSheetLists& lists);
  // The next row: 1 a road (with its ALOB and coordinates), 0 no more rows,
  // -1 with ErrorText naming the sheet and cell.
  int32_t Read(RoadRec* record, Alob* alob, RoadCoordVector* coordinates, CodeString* geocode,
               RoadTrafficVector* traffic);

 private:
  RoadSheetLists m_lists{};
  CRoadSheetRows m_rows;
};

class CExcelVerifyRoad {
 public:
  // Resets NoNoiseFactors; 1, 0 (no such sheet) or -1.
  int32_t Init(const wchar_t* sheet, const RoadSheetLists& lists, IssueList& errors, IssueList& warnings);
  // Checks the next row: 1 verified, 0 end of rows, -1 the sheet could not
  // be read.
  int32_t VerifyRec();

 private:
  void VerifyFixed();
  void VerifySpeeds(bool roadtype);
  void VerifyNumbersText(int32_t column, bool heights);
  void VerifySections(int32_t from);

  RoadSheetLists m_lists{};
  CRoadSheetRows m_rows;
  std::unique_ptr<CCellChecker> m_pChecker;
};
