// The "Rsrc" sheet (see rsrc_sheet.h).
#include "workbook/rsrc_sheet.h"

#include <cstring>

#include "host/frame.h"
#include "workbook/sheet_open.h"

CExcelWriteRsrc::CExcelWriteRsrc() = default;
CExcelWriteRsrc::~CExcelWriteRsrc() = default;

int32_t CExcelWriteRsrc::Init() { return OpenCellWriter(m_pWriter, 256, RsrcSheet); }

int32_t CExcelWriteRsrc::Write(uint16_t row, const wchar_t* tag, const wchar_t* value) {
  if (!m_pWriter) return WriteBeforeOpen(row, 0);
  if (m_pWriter->WriteCell(row, 0, tag) != 1) return -1;
  return m_pWriter->WriteCell(row, 1, value) == 1 ? 1 : -1;
}

CExcelReadRsrc::CExcelReadRsrc() = default;
CExcelReadRsrc::~CExcelReadRsrc() = default;

int32_t CExcelReadRsrc::Init() {
  m_row = 1;
  return OpenCellReader(m_pReader, static_cast<int32_t>(RsrcTextSize), RsrcSheet);
}

int32_t CExcelReadRsrc::ReadRow(RsrcFreeRow* row) {
  if (!m_pReader || m_row > UINT16_MAX) return 0;
  std::memset(row, 0, sizeof *row);
  if (m_pReader->ReadCell(m_row, 0, row->tag) != 1) return -1;
  if (row->tag[0] == 0) return 0;
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
