// CSheetCellReader: reads single cells of a sheet as texts (one xlCoerce per
// cell), for heading rows, index columns and other random access.
#pragma once

#include <cstdint>

#include "port/xlcall.h"
#include "workbook/sheet_name.h"

class CSheetCellReader {
 public:
  // Caller buffers hold maxText characters.
  CSheetCellReader(int32_t maxText, const wchar_t* sheet);
  ~CSheetCellReader();
  CSheetCellReader(const CSheetCellReader&) = delete;
  CSheetCellReader& operator=(const CSheetCellReader&) = delete;

  // 1; 0 when the named sheet cannot be selected; -1 when the active sheet
  // cannot.  The error text is set unless 1.
  int32_t Init();
  // Fills text with the cell's text (cell rule, cut to maxText - 1); 1 or -1.
  int32_t ReadCell(int32_t row, int32_t column, wchar_t* text);

  const SheetName& Sheet() const { return m_sheet; }

 private:
  void ReleaseResult();

  int32_t m_maxText;
  SheetName m_sheet;
  bool m_haveResult = false;
  XLOPER12 m_result;
  XLOPER12 m_ref;
  XLMREF12 m_mref;
};
