// CSheetRowReader: reads a fixed range of columns of a sheet row by row,
// fetching 30 rows per host call (xlCoerce) and turning each cell into text
// by the cell rule (cell_text.h).
#pragma once

#include <cstdint>
#include <vector>

#include "port/xlcall.h"
#include "workbook/coerced_value.h"
#include "workbook/sheet_name.h"
#include "workbook/sheet_ref.h"

class CSheetRowReader {
 public:
  static constexpr int32_t kBlockRows = 30;

  // Reads columns firstColumn .. firstColumn + columns - 1 from firstRow on;
  // every caller buffer holds maxText characters.
  CSheetRowReader(int32_t firstRow, int32_t firstColumn, int32_t columns, int32_t maxText,
                  const wchar_t* sheet);
  ~CSheetRowReader() = default;
  CSheetRowReader(const CSheetRowReader&) = delete;
  CSheetRowReader& operator=(const CSheetRowReader&) = delete;

  // Selects the sheet: 1; 0 when the named sheet cannot be selected; -1 when
  // the active sheet cannot.  The error text is set unless 1.
  int32_t Init();
  // Consumes n rows without returning them (n below 1 does nothing); 1 or -1.
  int32_t SkipRows(int32_t n);
  // Fills texts[j] with column j of the next row; 1 or -1.  Rows below the
  // grid's last row read as empty.  Cells that hold neither text nor a
  // number (error or logical values) read as empty and give 0 once the whole
  // row is read, with the error text naming the first of them
  // (kUnreadableCell) and UnreadableColumns() listing them all.
  int32_t ReadRow(wchar_t* const* texts);
  // The columns (0-based within the range) of the last row read that could
  // not be read.
  const std::vector<int32_t>& UnreadableColumns() const { return m_unreadable; }

  int32_t RowsConsumed() const { return m_rowsConsumed; }
  int32_t BlocksFetched() const { return m_blocksFetched; }

 private:
  // Fetches the block that holds the next row; 1 or -1.
  int32_t FetchBlock();
  // Element (r, j) of the current block, or an empty value beyond it.
  const XLOPER12& Element(int32_t r, int32_t j) const;

  int32_t m_firstRow;
  int32_t m_firstColumn;
  int32_t m_columns;
  int32_t m_maxText;
  int32_t m_rowsConsumed = 0;
  int32_t m_blocksFetched = 0;
  SheetName m_sheet;
  SheetRef m_ref;
  CoercedValue m_block;
  std::vector<int32_t> m_unreadable;
};
