// CExcelReadIdx: what every name-index reader shares.  The readers rebuild a
// catalogue list from the name and index columns of one sheet (through a
// cell reader), report names that are missing, too long or given twice, and
// notice garbage where a sheet's data should end.
//
// Cells are read with at most 511 characters; a cell that holds an error
// or logical value is reported at its place and reads as empty.  Rows and columns beyond the
// grid read as empty, so every scan ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_cell_reader.h"

class CExcelReadIdx {
 public:
  // Names are read with up to 511 characters, so that one longer than any
  // name field never passes cut.
  static constexpr int32_t kMaxText = 512;
  // Longest name of the kinds with 20-character name fields.
  static constexpr size_t kShortName = 19;

  virtual ~CExcelReadIdx();
  CExcelReadIdx(const CExcelReadIdx&) = delete;
  CExcelReadIdx& operator=(const CExcelReadIdx&) = delete;

 protected:
  // sheet: the fixed sheet name, or null when Init chooses it.
  explicit CExcelReadIdx(const wchar_t* sheet);

  void SetSheet(const wchar_t* sheet);
  // Creates the cell reader over the sheet and selects it; 1, or -1 when
  // anything fails (a missing sheet included; the error text is set).
  int32_t Open(IssueList& errors, IssueList& warnings);

  // Reads a cell into m_buf; 1 or -1.
  int32_t Read(int32_t row, int32_t column);
  bool Empty() const { return m_buf[0] == 0; }
  // Reads a cell and tells whether it holds anything: 1 filled, 0 empty, -1.
  int32_t Filled(int32_t row, int32_t column);

  void Error(int32_t row, int32_t column, const wchar_t* format, ...);
  void Warning(int32_t row, int32_t column, const wchar_t* format, ...);

  // The index in (row, column): "Missing index" when empty, "Invalid index"
  // when it is not a whole number above 0 ("9.7", "9x"); *index is then 0.
  // 1 or -1.
  int32_t ReadIndex(int32_t row, int32_t column, int32_t* index);
  // The field rule (field_rule.h) on the name in m_name: its fault, if any,
  // at (row, column).
  void CheckName(int32_t row, int32_t column, const wchar_t* label, size_t size, FieldForm form);
  // The name in m_name with index, found in row: nothing more when the list
  // has it with that index; otherwise duplicate (another index) and tooLong
  // (more than maxLength characters) at (row, 0), then the pair is added.
  // 1, or -1 when memory runs out.
  int32_t AddName(CRecordList& list, int32_t row, int32_t index, const wchar_t* duplicate,
                  const wchar_t* tooLong, size_t maxLength = kShortName);
  // A record of one name row in column 0 and its index in column 1: reads
  // the index and adds the name (in m_name); 1 or -1.
  int32_t TakeRecord(CRecordList& list, int32_t row, const wchar_t* duplicate, const wchar_t* tooLong);
  // Copies m_buf to m_name and traces it.
  void TakeName(int32_t row);

  // A cell on a row without a name: "Missing name or garbage data in row."
  // when it is filled; 1 filled, 0 empty, -1.
  int32_t GarbageAt(int32_t row, int32_t column);
  // End tests on a row whose name is empty; each reports the first filled
  // cell with "Missing name or garbage data in row." and stops; 1 or -1.
  // Header-guided: columns 1.. lastColumn whose heading (row 0) is filled,
  // up to the first empty heading.
  int32_t EndTestByHeader(int32_t row, int32_t lastColumn);
  // Every column firstColumn .. lastColumn.
  int32_t EndTestColumns(int32_t row, int32_t firstColumn, int32_t lastColumn);
  // Every filled cell of rows firstRow .. lastRow, columns 0 and 1, gets
  // "Garbage data. Should be empty."; 1 or -1.
  int32_t CheckRowsEmpty(int32_t firstRow, int32_t lastRow);

  // The readers of sheets with one record per recordRows rows (rows 1,
  // 1 + recordRows ...), the name in column 0 and the index in column 1, the
  // other rows' columns 0 and 1 empty, and the data ending at the first row
  // without a name (end-tested up to lastColumn).  Counts the records in
  // *records; 1 or -1.
  int32_t UpdateSpaced(CRecordList& list, int32_t recordRows, int32_t lastColumn, const wchar_t* duplicate,
                       const wchar_t* tooLong, int32_t* records);

  // Sets the error text for a list that could not grow; returns -1.
  int32_t OutOfMemory(const wchar_t* name);

  CSheetCellReader* m_pReader = nullptr;
  wchar_t m_buf[kMaxText];   // the last cell read
  wchar_t m_name[kMaxText];  // the name of the record being read
  int32_t m_row = 0;
  wchar_t m_sheet[64];
  IssueList* m_pErrors = nullptr;
  IssueList* m_pWarnings = nullptr;
};
