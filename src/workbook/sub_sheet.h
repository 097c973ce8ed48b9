// The "Substance" and "Searchkey" sheets: one name per row, the row being the
// index; substances in column B of "Substance", searchkey list k in column k
// of "Searchkey".  The writer fills a column from records, the reader gives
// the column's rows back as records.
#pragma once

#include <cstdint>
#include <memory>

#include "records/substance.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

class CExcelWriteSub {
 public:
  CExcelWriteSub();
  ~CExcelWriteSub();
  CExcelWriteSub(const CExcelWriteSub&) = delete;
  CExcelWriteSub& operator=(const CExcelWriteSub&) = delete;

  // column: 1 for substances, k for searchkey list k; 1 or -1.
  int32_t Init(int32_t column, const wchar_t* sheet);
  // The name into (index, column).  Index 0 has no row (row 0 is the
  // heading): nothing is written.  1 or -1.
  int32_t Write(const SubRec& record);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
  int32_t m_column = 1;
};

class CExcelReadSub {
 public:
  // Larger than the name field: a name too long for it is refused, not cut.
  static constexpr int32_t kMaxText = 512;

  CExcelReadSub();
  ~CExcelReadSub();
  CExcelReadSub(const CExcelReadSub&) = delete;
  CExcelReadSub& operator=(const CExcelReadSub&) = delete;

  // column 1 to 5 ("Unknown sub column: %d" otherwise); 1 or -1 (a missing
  // sheet included).
  int32_t Init(int32_t column, const wchar_t* sheet);
  // The next row as a record, index = row, empty names included: rows 1 to
  // 127 in columns 1 and 2, rows 1 to 63 in columns 3 to 5 (the rows the
  // name index accepts).  1, 0 after the last row, -1 (a name the record
  // cannot carry, by the field rule, with its place in the error text).
  int32_t Read(SubRec* record);

  // The first row past the column's rows.
  static int32_t RowLimit(int32_t column);

 private:
  std::unique_ptr<CSheetCellReader> m_pReader;
  int32_t m_column = 1;
  int32_t m_row = 1;
  int32_t m_limit = 0;
};
