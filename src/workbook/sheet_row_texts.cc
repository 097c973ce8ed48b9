// A row reader with its own text buffers (see sheet_row_texts.h).
#include "workbook/sheet_row_texts.h"

#include <new>

#include "host/frame.h"
#include "workbook/sheet_open.h"

int32_t CSheetRowTexts::Open(const wchar_t* sheet, int32_t columns, int32_t maxText) {
  m_sheet = sheet;
  size_t width = static_cast<size_t>(maxText);
  m_buf.reset(new (std::nothrow) wchar_t[static_cast<size_t>(columns) * width]);
  m_pRows.reset(new (std::nothrow) CSheetRowReader(1, 0, columns, maxText, sheet));
  if (!m_buf || !m_pRows) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  m_texts.resize(static_cast<size_t>(columns));
  for (size_t c = 0; c < m_texts.size(); ++c) {
    m_texts[c] = m_buf.get() + c * width;
    m_texts[c][0] = 0;
  }
  return m_pRows->Init() == 1 ? 1 : -1;
}

int32_t CSheetRowTexts::ReadRow() {
  if (!m_pRows) return ReadBeforeOpen(0, 0, m_sheet);
  return m_pRows->ReadRow(m_texts.data());
}
