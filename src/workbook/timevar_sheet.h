// The "Source timevar" and "Road timevar" sheets: one time variation per
// four rows.  Record k starts on row 4k - 3 with the name (A), the index (B),
// the Monday-to-Thursday hours (C..Z), the months (AA..AL) and the scenarios
// (AM..AV); its next three rows hold the Friday, Saturday and Sunday hours in
// C..Z.  Row 0 names the scenarios above their columns.
//
// A type-day value is a number or a number and a code joined by a colon
// (120:2); months are whole numbers, scenarios real numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "records/timevar.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

// The sheet of a kind: 0 sources, any other value roads.
const wchar_t* TimevarSheetName(int32_t kind);

class CExcelWriteTimevar {
 public:
  CExcelWriteTimevar();
  ~CExcelWriteTimevar();
  CExcelWriteTimevar(const CExcelWriteTimevar&) = delete;
  CExcelWriteTimevar& operator=(const CExcelWriteTimevar&) = delete;

  // Opens the kind's sheet and names scenarios 1 to 10 in row 0 from the
  // scenario list ("Can not get scenario %d." when one has no name); 1 or -1.
  int32_t Init(int32_t kind, const CRecordList& scenarios);
  // The record into the next four rows; 1 or -1.
  int32_t Write(const TimevarRec& record);

 private:
  static constexpr int32_t kFirstColumns = 48;
  static constexpr int32_t kNextColumns = 24;

  std::unique_ptr<CSheetRowWriter> m_pFirst;  // the record's first row, columns 0..47
  std::unique_ptr<CSheetRowWriter> m_pNext;   // its other rows, columns 2..25
};

// The two row readers that reader and verifier share: one over the records'
// first rows (columns 0..97), one over their other rows (columns 2..25).
class CTimevarSheetRows {
 public:
  // Every cell buffer is larger than the field it feeds, so that a cut text
  // still shows as too long, and holds any number's text in full.
  static constexpr int32_t kFirstColumns = 98;
  static constexpr int32_t kFirstText = 64;
  static constexpr int32_t kNextColumns = 24;
  static constexpr int32_t kNextText = 64;

  CTimevarSheetRows();
  ~CTimevarSheetRows();
  CTimevarSheetRows(const CTimevarSheetRows&) = delete;
  CTimevarSheetRows& operator=(const CTimevarSheetRows&) = delete;

  // 1, or -1 (a missing sheet included).
  int32_t Open(int32_t kind);
  // Reads the next record's first row and passes its other three; 1, 0 when
  // some of its cells could not be read (CSheetRowReader::ReadRow), or -1.
  int32_t ReadFirst();
  // Reads the next of the record's Friday, Saturday and Sunday rows; 1, 0 as
  // ReadFirst, or -1.
  int32_t ReadDay();
  // The columns (0-based within the reader's range) that the last ReadFirst
  // or ReadDay could not read.
  const std::vector<int32_t>& UnreadableFirst() const;
  const std::vector<int32_t>& UnreadableDay() const;
  // Passes the row after the Sunday row; 1 or -1.
  int32_t EndRecord();

  // Column j of the first row read last (0..97).
  const wchar_t* First(int32_t j) const { return m_first[j]; }
  // Column 2 + j of the day row read last (j 0..23).
  const wchar_t* Day(int32_t j) const { return m_next[j]; }
  const wchar_t* Sheet() const { return m_sheet; }

 private:
  std::unique_ptr<CSheetRowReader> m_pFirst;
  std::unique_ptr<CSheetRowReader> m_pNext;
  wchar_t m_first[kFirstColumns][kFirstText];
  wchar_t m_next[kNextColumns][kNextText];
  wchar_t* m_firstTexts[kFirstColumns];
  wchar_t* m_nextTexts[kNextColumns];
  const wchar_t* m_sheet = L"";
};

class CExcelReadTimevar {
 public:
  CExcelReadTimevar();
  ~CExcelReadTimevar();
  CExcelReadTimevar(const CExcelReadTimevar&) = delete;
  CExcelReadTimevar& operator=(const CExcelReadTimevar&) = delete;

  // 1, or -1 (a missing sheet included).
  int32_t Init(int32_t kind);
  // The next record: 1; 0 at the first record without a name; -1, with the
  // error text naming sheet, cell and row (CellErrorText), for an index that
  // is not a whole number from 1 to 65535 ("Could not get index for timevar:
  // %ls"), a name or type-day value the record cannot carry (the field
  // rule), a month that is not a whole 16-bit number, a scenario that is not
  // a float, a cell that cannot be read, or a failed read.
  int32_t Read(TimevarRec* record);

  // Sheet row of the next record's first row.
  int32_t Row() const { return m_row; }

 private:
  CTimevarSheetRows m_rows;
  int32_t m_row = 1;
};

class CExcelVerifyTimevar {
 public:
  CExcelVerifyTimevar();
  ~CExcelVerifyTimevar();
  CExcelVerifyTimevar(const CExcelVerifyTimevar&) = delete;
  CExcelVerifyTimevar& operator=(const CExcelVerifyTimevar&) = delete;

  // 1, or -1 (a missing sheet included).
  int32_t Init(int32_t kind, const CRecordList& timevars, IssueList& errors, IssueList& warnings);
  // Checks every record up to the first without a name and adds the issues
  // (a name not in the list: "Could not get index for timevar: %ls"); 1 at
  // the end, -1 when a read fails.
  int32_t VerifyRec();

 private:
  // Cells that could not be read, at their columns of row.
  void ReportUnreadable(int32_t row, int32_t firstColumn, const std::vector<int32_t>& columns);
  // A type-day cell: one word that fits the field, a number in [0,32000],
  // optionally a colon and a code in [0,3].
  void CheckTypeday(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text);

  CTimevarSheetRows m_rows;
  int32_t m_row = 1;
  const CRecordList* m_pTimevars = nullptr;
  std::unique_ptr<CCellChecker> m_pChecker;
};
