// CSheetCellWriter: writes one text cell at a time into a sheet (one xlSet
// per cell); texts longer than the writer's maximum are cut.
#pragma once

#include <cstdint>

#include "port/xlcall.h"
#include "workbook/sheet_name.h"
#include "workbook/sheet_ref.h"

class CSheetCellWriter {
 public:
  CSheetCellWriter(int32_t maxSize, const wchar_t* sheet);
  ~CSheetCellWriter();
  CSheetCellWriter(const CSheetCellWriter&) = delete;
  CSheetCellWriter& operator=(const CSheetCellWriter&) = delete;

  // Allocates the text buffer (-1 without a message when that fails) and
  // selects the sheet (-1 with the error text set); 1.
  int32_t Init();
  // Writes text (null: empty), cut to maxSize characters, as a string cell;
  // 1 or -1.
  int32_t WriteCell(int32_t row, int32_t column, const wchar_t* text);

 private:
  int32_t m_maxSize;
  SheetName m_sheet;
  XCHAR* m_text = nullptr;
  XLOPER12 m_cell;
  XLOPER12 m_value;
  SheetRef m_ref;
};
