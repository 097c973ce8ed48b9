// The "Emission factor" sheet: one substance group per row from row 1, name
// in A and index in B, then one block of three columns per substance (slope,
// m, unit) whose heading in row 0 is the substance's name, "m" and "Unit".
// Block i starts at column 2 + 3i; a group holds the substances whose slope
// cell is filled.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "records/subgrp.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

// The heading row holds at most this many substance blocks.
constexpr int32_t SubgrpMaxBlocks = SubgrpSlots - 1;

class CExcelWriteSubgrp {
 public:
  CExcelWriteSubgrp();
  ~CExcelWriteSubgrp();
  CExcelWriteSubgrp(const CExcelWriteSubgrp&) = delete;
  CExcelWriteSubgrp& operator=(const CExcelWriteSubgrp&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& substances);
  // The record into the next row; a substance without a block gets the next
  // free one, headed in row 0.  -1 when the list has no name for a substance
  // index ("Could not get substance %d") or the record lists a substance
  // twice.  1 or -1.
  int32_t Write(const SubgrpRec& record);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  const CRecordList* m_pSubstances = nullptr;
  CRecordList m_blocks;  // substance name -> its block's first column
  int32_t m_nextColumn = 2;
  int32_t m_row = 1;
};

class CExcelReadSubgrp {
 public:
  static constexpr int32_t kMaxText = 256;

  CExcelReadSubgrp();
  ~CExcelReadSubgrp();
  CExcelReadSubgrp(const CExcelReadSubgrp&) = delete;
  CExcelReadSubgrp& operator=(const CExcelReadSubgrp&) = delete;

  // Reads the blocks' substances from row 0: an unknown name ("Could not get
  // index for substance: %ls"), a substance headed twice, a block after an
  // empty heading or a 250th block ("To many substances are specified.")
  // gives -1.  1 or -1.
  int32_t Init(const CRecordList& substances);
  // The next row: 1; 0 at a row without a name; -1, with the error text
  // naming sheet, cell and row, for an index that is not a whole number of
  // at least 1 ("Could not get index for substance group: %ls"), a name or
  // unit the record cannot carry (the field rule), a slope or m that is not
  // a float, a cell that cannot be read, or a failed read.
  int32_t Read(SubgrpRec* record);

  int32_t Blocks() const { return m_blockCount; }

 private:
  int32_t ReadCell(int32_t row, int32_t column);

  std::unique_ptr<CSheetCellReader> m_pReader;
  int16_t m_blocks[SubgrpSlots] = {};
  int32_t m_blockCount = 0;
  int32_t m_row = 1;
  wchar_t m_buf[kMaxText] = {};
};

class CExcelVerifySubgrp {
 public:
  static constexpr int32_t kMaxText = 256;

  CExcelVerifySubgrp();
  ~CExcelVerifySubgrp();
  CExcelVerifySubgrp(const CExcelVerifySubgrp&) = delete;
  CExcelVerifySubgrp& operator=(const CExcelVerifySubgrp&) = delete;

  // Checks the heading row (unknown substances, too many blocks, the "m" and
  // "Unit" labels); 1 or -1.
  int32_t Init(const CRecordList& substances, const CRecordList& units, IssueList& errors, IssueList& warnings);
  // Checks every row up to the first without a name; 1 at the end, -1 when a
  // read fails.
  int32_t VerifyRec();

 private:
  // Reads a cell; one that cannot be read is reported and reads as empty.
  // 1 or -1.
  int32_t ReadCell(int32_t row, int32_t column, wchar_t* text);

  bool m_headed[SubgrpSlots] = {};  // blocks whose heading is filled
  std::unique_ptr<CSheetCellReader> m_pReader;
  std::unique_ptr<CCellChecker> m_pChecker;
  const CRecordList* m_pUnits = nullptr;
  int32_t m_blockCount = 0;
  int32_t m_row = 1;
};
