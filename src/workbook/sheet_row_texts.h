// CSheetRowTexts: a row reader together with the text buffers it fills, for
// sheets whose number of columns is known only when they are opened (the
// vehicle sheets: one column per substance or per dimension).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "workbook/sheet_row_reader.h"

class CSheetRowTexts {
 public:
  // Reads columns 0 .. columns - 1 of sheet from row 1 on, each cell as a
  // text of at most maxText - 1 characters; 1, or -1 (a missing sheet
  // included; the error text is set).
  // REQUIRES: columns >= 1, maxText >= 1.
  int32_t Open(const wchar_t* sheet, int32_t columns, int32_t maxText);
  // The next row, as CSheetRowReader::ReadRow answers; -1 before Open.
  int32_t ReadRow();
  // Column c of the row read last.
  // REQUIRES: Open answered 1, 0 <= c < columns.
  const wchar_t* Cell(int32_t c) const { return m_texts[static_cast<size_t>(c)]; }

 private:
  const wchar_t* m_sheet = L"";
  std::unique_ptr<CSheetRowReader> m_pRows;
  std::unique_ptr<wchar_t[]> m_buf;
  std::vector<wchar_t*> m_texts;
};
