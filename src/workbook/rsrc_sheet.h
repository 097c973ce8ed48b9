// The "Rsrc" sheet: the free settings of the resource file, one per row from
// row 1, the tag in column A and the value in column B; row 0 holds the
// heading "Tag", "Value".  The list ends at the first empty tag.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/edb_rsrc_rows.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"

constexpr const wchar_t* RsrcSheet = L"Rsrc";

// Opens the cell reader of a resource sheet's reader, with room for the
// longest resource text and one character more: 1; 0 when the sheet is
// missing; -1 (ErrorText set unless 1).  The reader is dropped unless 1.
int32_t OpenRsrcReader(std::unique_ptr<CSheetCellReader>& reader, const wchar_t* sheet);

class CExcelWriteRsrc {
 public:
  CExcelWriteRsrc();
  ~CExcelWriteRsrc();
  CExcelWriteRsrc(const CExcelWriteRsrc&) = delete;
  CExcelWriteRsrc& operator=(const CExcelWriteRsrc&) = delete;

  // 1 or -1.
  int32_t Init();
  // Tag and value into the row (row 0: the heading); 1 or -1.
  int32_t Write(uint16_t row, const wchar_t* tag, const wchar_t* value);

 private:
  std::unique_ptr<CSheetCellWriter> m_pWriter;
};

class CExcelReadRsrc {
 public:
  CExcelReadRsrc();
  ~CExcelReadRsrc();
  CExcelReadRsrc(const CExcelReadRsrc&) = delete;
  CExcelReadRsrc& operator=(const CExcelReadRsrc&) = delete;

  // 1; 0 when the sheet is missing; -1.
  int32_t Init();
  // The next setting from row 1 on: 1; 0 at the first empty tag (or past
  // row 65535); -1.
  int32_t Read(RsrcFreeRow* row);

  // After Init: unreadable cells become issues in errors and read as empty
  // (for the verifier, which goes on past them).
  void ReportUnreadableTo(IssueList* errors) {
    if (m_pReader) m_pReader->ReportUnreadableTo(errors);
  }

 private:
  int32_t ReadRow(RsrcFreeRow* row);

  std::unique_ptr<CSheetCellReader> m_pReader;
  int32_t m_row = 1;
};
