// The grid sheets: "Grid." followed by the grid name, and for grids of more
// than GridSheetRows cells the continuation sheets "NAME (2)", "NAME (3)" ...
// Row 1 holds the header (A..F the raster, G..X the items, "DYNAMIC" where an
// item varies per cell), row 0 from column Y the substance names (or "Em Fac
// Activity" when the grid carries one activity per cell), and every row from
// row 2 one raster cell: X and Y in A and B, the dynamic items in their
// columns, the values from column Y on.  The data ends at the first row
// without an X.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "records/code_string.h"
#include "records/grid.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

// Data rows a Load writes into one sheet.
constexpr int32_t GridSheetRows = 60000;
// The first value column (Y) and the most substance columns a sheet holds.
constexpr int32_t GridValueColumn = 24;
constexpr int32_t GridMaxSubstanceColumns = 249;
// The label of the value column of a grid of activities.
constexpr const wchar_t* GridActivityLabel = L"Em Fac Activity";

// The lists the grid sheets translate names with.
struct GridLists {
  CRecordList* substances;  // the substance list and searchkey lists 1-5 (kSubListCount lists)
  CRecordList* timevars;    // source time variations
  CRecordList* subgrps;     // substance groups
};

// The name of sheet `number` (0 the first) of a grid sheet: the sheet itself,
// then "NAME (2)", "NAME (3)" ...
std::wstring GridSheetName(const wchar_t* sheet, int32_t number);

// The data-line layout a header gives: which items are dynamic and how many
// values a line carries.
struct GridLayout {
  bool dynamic[18] = {};
  int32_t values = 0;
  std::vector<int16_t> substances;  // substance mode only
  int32_t Fields() const;
  bool operator==(const GridLayout& other) const;
};

class CExcelWriteGrid {
 public:
  CExcelWriteGrid();
  ~CExcelWriteGrid();
  // Writes rows 0 and 1 of sheet from the header; 1, or -1 with ErrorText set.
  int32_t Init(const GridLists& lists, const GridRec& header, const GridSubstances& substances, const wchar_t* sheet,
               const wchar_t* activity, const wchar_t* geo);
  // One data line into the next row; -1 when its fields do not fit the
  // header or a name or date cannot be shown.
  int32_t Write(const GridFields& fields);

 private:
  GridLists m_lists{};
  GridLayout m_layout;
  std::wstring m_sheet;
  std::unique_ptr<CSheetRowWriter> m_pCoordinates;
  std::vector<std::unique_ptr<CSheetRowWriter>> m_dynamic;  // one per dynamic item, in field order
  std::unique_ptr<CSheetRowWriter> m_pValues;
  std::vector<std::wstring> m_texts;
};

class CExcelReadGrid {
 public:
  CExcelReadGrid();
  ~CExcelReadGrid();
  // Reads the header of sheet into header, substances and the codes, and the
  // field count into header->fieldCount: 1; 0 when the sheet does not exist;
  // -1 (ErrorText names the cell).  With `first` given (a continuation
  // sheet), a header whose layout differs from the first sheet's is refused.
  int32_t Init(const GridLists& lists, GridRec* header, GridSubstances* substances, const wchar_t* sheet,
               CodeString* activity, CodeString* geo, const GridLayout* first = nullptr);
  // The next data row into fields: 1; 0 at a row without an X; -1.
  int32_t Read(GridFields* fields);
  const GridLayout& Layout() const { return m_layout; }

 private:
  GridLists m_lists{};
  GridLayout m_layout;
  std::wstring m_sheet;
  int32_t m_row = 2;
  std::unique_ptr<CSheetRowReader> m_pRows;
  std::vector<std::vector<wchar_t>> m_buf;
  std::vector<wchar_t*> m_cells;
};

class CExcelVerifyGrid {
 public:
  CExcelVerifyGrid();
  ~CExcelVerifyGrid();
  // Checks the header rows: 1; 0 when the sheet does not exist; -1.
  int32_t Init(const GridLists& lists, IssueList& errors, IssueList& warnings, const wchar_t* sheet);
  // One data row: 1 verified, 0 end of data, -1 a read failed.
  int32_t VerifyRow();
  // VerifyRow until the end: 1, or -1.
  int32_t Verify();
  const GridLayout& Layout() const { return m_layout; }

 private:
  GridLists m_lists{};
  std::wstring m_sheet;
  std::unique_ptr<CCellChecker> m_pChecker;
  GridLayout m_layout;
  bool m_activityMode = false;
  bool m_valuesDynamic = false;  // activity mode: row 1 column Y reads DYNAMIC or is empty
  int32_t m_columns = 0;
  int32_t m_row = 2;
  std::unique_ptr<CSheetRowReader> m_pRows;
  std::vector<std::vector<wchar_t>> m_buf;
  std::vector<wchar_t*> m_cells;
};
