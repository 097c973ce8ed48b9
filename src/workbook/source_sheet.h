// The "Source" sheet: one point or area source per row from row 1, ending at
// the first row without a name.  Columns A..AE hold the fixed fields (name,
// corners, facility, texts, dates, chimney and house data, building lists,
// searchkeys, formula macro, geocode, ALOB); from column AF on, the heading
// row names one block of columns per substance ("Emission sub k: <name>",
// 7 columns), per substance group ("Emission fac k: <name>", 6 columns) and
// per emission function ("Emission func k: <name>", 4 columns and one per
// variable).  A Load lays the blocks out from the listing header; the
// verifier and the Save's reader read the layout back from the heading row
// into SourceInfo.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "catalogue/record_list_key.h"
#include "catalogue/source_info.h"
#include "host/issue_list.h"
#include "records/source.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

constexpr const wchar_t* SourceSheetName = L"Source";
// Columns 0 .. 30 hold the fixed fields; the blocks start at column 31.
constexpr int32_t SourceFixedColumns = 31;
constexpr int32_t SourceSubBlockColumns = 7;
constexpr int32_t SourceGroupBlockColumns = 6;
constexpr int32_t SourceFunctionBlockColumns = 4;  // and one per variable

// The lists the source sheet names its references through.
struct SourceSheetLists {
  const CRecordList* subs;         // substance and searchkey lists: kSubListCount of them
  const CRecordList* timevars;     // source time variations
  const CRecordList* emfacs;       // emission functions
  const CRecordList* subgrps;      // substance groups
  const CRecordListKey* facilities;
  const CRecordList* subUnits;     // substance units
  const CRecordList* subgrpUnits;  // substance-group (activity) units
};

// Columns the dynamic blocks of the layout take.
int32_t SourceBlockColumns(const CSourceInfo& layout);

class CExcelWriteSource {
 public:
  CExcelWriteSource();
  ~CExcelWriteSource();
  // 1 or -1.
  int32_t Init(const SourceSheetLists& lists);
  // The block headings from the listing header of rec, from column 31 of
  // row 0; 0, or -1.
  int32_t WriteHeader(const SourceRec& rec);
  // The source into the next row, each block into the heading entry of its
  // substance, group or function; 1, or -1 (a reference without a name, a
  // block without a heading entry, an ALOB longer than a cell holds).
  // REQUIRES: WriteHeader succeeded, with rec's listing header.
  int32_t Write(SourceRec& rec);

 private:
  SourceSheetLists m_lists{};
  std::unique_ptr<CSheetRowWriter> m_pRows;
  int32_t m_columns = 0;
  std::vector<std::wstring> m_cells;
  std::vector<const wchar_t*> m_texts;
};

// Reads the layout of the heading row into layout: 1, or -1 when the sheet
// cannot be read.  Every heading cell that is not as the layout needs (an
// unknown name, a heading of no block kind, a block heading moved or deleted) is an
// issue at its cell in errors; *damaged is then true and the layout holds the
// blocks before that cell only.
int32_t ReadSourceLayout(CSheetCellReader& cells, const SourceSheetLists& lists, CSourceInfo* layout,
                         IssueList& errors, bool* damaged);

class CExcelReadSource {
 public:
  CExcelReadSource();
  ~CExcelReadSource();
  // Opens the sheet and reads its layout from the heading row into layout,
  // as VKVerifySource does, so that the rows are read through the columns
  // the sheet has now, also when its headings changed since the latest
  // verification: 1; 0 (no "Source" sheet); -1 also when the heading row is
  // damaged (VKVerifySource names the cells).
  int32_t Init(const SourceSheetLists& lists, CSourceInfo* layout);
  // The next row: 1; 0 at a row without a name; -1 for a cell the record
  // cannot carry (ErrorText names sheet and cell).
  int32_t Read(SourceRec* rec);

 private:
  SourceSheetLists m_lists{};
  const CSourceInfo* m_pLayout = nullptr;
  std::unique_ptr<CSheetRowReader> m_pRows;
  std::unique_ptr<wchar_t[]> m_buf;
  std::vector<wchar_t*> m_texts;
  int32_t m_row = 0;
};

class CExcelVerifySource {
 public:
  CExcelVerifySource();
  ~CExcelVerifySource();
  // Reads the heading row into layout (emptied first) and opens the rows: 1,
  // 0 (no "Source" sheet) or -1.
  int32_t Init(const SourceSheetLists& lists, CSourceInfo* layout, IssueList& errors, IssueList& warnings);
  // Checks every row up to the first without a name; 1, or -1 when a read
  // fails.
  int32_t VerifyRec();

 private:
  SourceSheetLists m_lists{};
  CSourceInfo* m_pLayout = nullptr;
  IssueList* m_pErrors = nullptr;
  IssueList* m_pWarnings = nullptr;
  std::unique_ptr<CSheetRowReader> m_pRows;
  std::unique_ptr<wchar_t[]> m_buf;
  std::vector<wchar_t*> m_texts;
  int32_t m_row = 0;
};
