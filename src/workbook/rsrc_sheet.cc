// The "Rsrc" sheet (see rsrc_sheet.h).
#include "workbook/rsrc_sheet.h"

#include <cstring>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "workbook/sheet_open.h"

int32_t OpenRsrcReader(std::unique_ptr<CSheetCellReader>& reader, const wchar_t* sheet) {
  reader.reset(new (std::nothrow) CSheetCellReader(static_cast<int32_t>(RsrcValueSize + 1), sheet));
  if (!reader) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  int32_t r = reader->Init();
  if (r != 1) reader.reset();
  return r;
}

CExcelWriteRsrc::CExcelWriteRsrc() = default;
CExcelWriteRsrc::~CExcelWriteRsrc() = default;

int32_t CExcelWriteRsrc::Init() { return OpenCellWriter(m_pWriter, static_cast<int32_t>(RsrcValueSize), RsrcSheet); }

int32_t CExcelWriteRsrc::Write(uint16_t row, const wchar_t* tag, const wchar_t* value) {
  if (!m_pWriter) return WriteBeforeOpen(row, 0);
  if (m_pWriter->WriteCell(row, 0, tag) != 1) return -1;
  return m_pWriter->WriteCell(row, 1, value) == 1 ? 1 : -1;
}

CExcelReadRsrc::CExcelReadRsrc() = default;
CExcelReadRsrc::~CExcelReadRsrc() = default;

int32_t CExcelReadRsrc::Init() {
  m_row = 1;
  return OpenRsrcReader(m_pReader, RsrcSheet);
}

int32_t CExcelReadRsrc::ReadRow(RsrcFreeRow* row) {
  if (!m_pReader || m_row > UINT16_MAX) return 0;
  std::memset(row, 0, sizeof *row);
  // The tag through the value's larger buffer: a tag too long for its field
  // still shows as too long.
  if (m_pReader->ReadCell(m_row, 0, row->value) != 1) return -1;
  if (row->value[0] == 0) return 0;
  listtext::CopyCut(row->tag, RsrcTextSize + 1, row->value);
  if (m_pReader->ReadCell(m_row, 1, row->value) != 1) return -1;
  row->row = static_cast<uint16_t>(m_row);
  ++m_row;
  return 1;
}

int32_t CExcelReadRsrc::Read(RsrcFreeRow* row) {
  if (DebugLevel > 0) DebugPrint("--> CExcelReadRsrc\n");
  int32_t r = ReadRow(row);
  if (DebugLevel > 0) DebugPrint("<-- CExcelReadRsrc = %d\n", static_cast<int>(r));
  return r;
}
