// CSheetCellReader: reads single cells of a sheet as texts (one xlCoerce per
// cell), for heading rows, index columns and other random access.
#pragma once

#include <cstdint>

#include "host/issue_list.h"
#include "port/xlcall.h"
#include "workbook/coerced_value.h"
#include "workbook/sheet_name.h"
#include "workbook/sheet_ref.h"

class CSheetCellReader {
 public:
  // Caller buffers hold maxText characters.
  CSheetCellReader(int32_t maxText, const wchar_t* sheet);
  ~CSheetCellReader() = default;
  CSheetCellReader(const CSheetCellReader&) = delete;
  CSheetCellReader& operator=(const CSheetCellReader&) = delete;

  // 1; 0 when the named sheet cannot be selected; -1 when the active sheet
  // cannot.  The error text is set unless 1.
  int32_t Init();
  // Fills text with the cell's text (cell rule, cut to maxText - 1); 1 or -1.
  // A cell that holds neither text nor a number (an error value such as
  // #DIV/0!, or TRUE) reads as empty and gives 0, with the error text set to
  // kUnreadableCell and the cell's place: a reader refuses it, a verifier
  // reports it and goes on.
  int32_t ReadCell(int32_t row, int32_t column, wchar_t* text);
  // For verifiers that read through a Save's reader: from now on an
  // unreadable cell adds kUnreadableCell at its place to errors and reads as
  // an empty cell (1), so that the verification goes on.
  void ReportUnreadableTo(IssueList* errors) { m_pUnreadable = errors; }

  const SheetName& Sheet() const { return m_sheet; }

 private:
  int32_t m_maxText;
  SheetName m_sheet;
  SheetRef m_ref;
  CoercedValue m_result;
  IssueList* m_pUnreadable = nullptr;
};
