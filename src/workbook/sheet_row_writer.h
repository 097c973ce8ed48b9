// CSheetRowWriter: writes whole rows of texts into a sheet, one xlSet per row;
// a text that is NumberCellMark and a number becomes a numeric cell.  The buffers
// are allocated once in Init and reused for every row.
#pragma once

#include <cstdint>

#include "port/xlcall.h"
#include "workbook/sheet_name.h"
#include "workbook/sheet_ref.h"

class CSheetRowWriter {
 public:
  // Writes columns cells from firstColumn on, starting at row currentRow;
  // texts longer than maxSize characters are cut to maxSize.
  CSheetRowWriter(int32_t currentRow, int32_t firstColumn, int32_t columns, int32_t maxSize,
                  const wchar_t* sheet);
  ~CSheetRowWriter();
  CSheetRowWriter(const CSheetRowWriter&) = delete;
  CSheetRowWriter& operator=(const CSheetRowWriter&) = delete;

  // Allocates the buffers and selects the sheet; 1 or -1 (error text set).
  int32_t Init();
  // Moves the current row down by n rows without writing; 1.
  int32_t SkipRows(int32_t n);
  // Writes texts[0 .. columns - 1] (a null text is written as empty) into
  // the current row and moves to the next row, also when the write fails;
  // 1 or -1.
  int32_t WriteRow(const wchar_t* const* texts);
  // The same for the first `columns` columns only (at most the writer's);
  // the cells right of them stay as they are.
  int32_t WriteRowPart(const wchar_t* const* texts, int32_t columns);

  // A row filled column by column, straight into the writer's buffers, then
  // written with WriteFilled as WriteRow writes it, every text as a text
  // cell.  REQUIRES: Init succeeded, 0 <= column < columns.
  // A fixed text field (at most fieldSize - 1 characters up to its
  // terminator) as a text cell, cut to maxSize characters.
  void PutField(int32_t column, const wchar_t* field, size_t fieldSize);
  // length ISO 8859-1 characters as a text cell, cut to maxSize characters.
  void PutLatin1(int32_t column, const char* text, size_t length);
  // Writes the row put together and moves to the next row, also when the
  // write fails; 1 or -1.
  int32_t WriteFilled();

  int32_t CurrentRow() const { return m_currentRow; }

 private:
  // The xlSet of m_row into the current row; moves to the next row.
  int32_t SendRow();

  int32_t m_currentRow;
  int32_t m_firstColumn;
  int32_t m_columns;
  int32_t m_maxSize;
  SheetName m_sheet;
  bool m_ready = false;  // Init succeeded
  XLOPER12* m_pData = nullptr;
  XCHAR** m_buf = nullptr;
  XLOPER12 m_row;
  SheetRef m_ref;
};
