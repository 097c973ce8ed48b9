// The "Emission function" sheet: one emission factor per row from row 1:
// name (A), index (B), the substance it yields (C), the formula (D), then its
// variables in column pairs from E: the variable's name and its kind, "CONST"
// or "VAR".  The first empty variable name ends a row's variables.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "records/emfac.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

class CExcelWriteEmfac {
 public:
  CExcelWriteEmfac();
  ~CExcelWriteEmfac();
  CExcelWriteEmfac(const CExcelWriteEmfac&) = delete;
  CExcelWriteEmfac& operator=(const CExcelWriteEmfac&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& substances);
  // The record into the next row; "Could not get substance %d" and -1 when
  // the list has no name for its substance.  1 or -1.
  int32_t Write(const EmfacRec& record);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  const CRecordList* m_pSubstances = nullptr;
  int32_t m_row = 1;
};

class CExcelReadEmfac {
 public:
  // Cells are read whole up to the formula's field, so that a formula too
  // long for it is refused rather than cut.
  static constexpr int32_t kMaxText = static_cast<int32_t>(EmfacFormulaSize) + 1;

  CExcelReadEmfac();
  ~CExcelReadEmfac();
  CExcelReadEmfac(const CExcelReadEmfac&) = delete;
  CExcelReadEmfac& operator=(const CExcelReadEmfac&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& substances);
  // The next row: 1; 0 at a row without a name; -1, with the error text
  // naming sheet, cell and row, for an index that is not a whole number of
  // at least 1 ("Could not get index for emission factor: %ls"), an unknown
  // substance ("Could not get index for substance: %ls"), a name, formula or
  // variable name the record cannot carry (the field rule), a cell that
  // cannot be read, or a failed read.
  int32_t Read(EmfacRec* record);

 private:
  int32_t ReadCell(int32_t row, int32_t column);

  std::unique_ptr<CSheetCellReader> m_pReader;
  std::unique_ptr<wchar_t[]> m_buf;
  const CRecordList* m_pSubstances = nullptr;
  int32_t m_row = 1;
};

class CExcelVerifyEmfac {
 public:
  // As the reader: a formula too long for its field shows as too long.
  static constexpr int32_t kMaxText = CExcelReadEmfac::kMaxText;
  // Variable column pairs checked per row.
  static constexpr int32_t kPairs = 96;

  CExcelVerifyEmfac();
  ~CExcelVerifyEmfac();
  CExcelVerifyEmfac(const CExcelVerifyEmfac&) = delete;
  CExcelVerifyEmfac& operator=(const CExcelVerifyEmfac&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& substances, IssueList& errors, IssueList& warnings);
  // Checks every row up to the first without a name; 1 at the end, -1 when
  // a read fails.
  int32_t VerifyRec();

 private:
  // Reads a cell: 1; 0 for one that cannot be read, which is reported and
  // reads as empty; -1.
  int32_t ReadCell(int32_t row, int32_t column, wchar_t* text);

  std::unique_ptr<CSheetCellReader> m_pReader;
  std::unique_ptr<CCellChecker> m_pChecker;
  std::unique_ptr<wchar_t[]> m_texts;  // name, text, type and formula cells
  const CRecordList* m_pSubstances = nullptr;
  int32_t m_row = 1;
};
