// The "Units" sheet (see units_sheet.h).
#include "workbook/units_sheet.h"

#include <cstring>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/sheet_open.h"

namespace {

constexpr int32_t kLastRow = UINT16_MAX + 1;  // unit 65535

}  // namespace

bool IsUnitsTableColumn(int32_t column) {
  return column == UnitSubColumn || column == UnitSubGrpColumn || column == UnitSubGrpEmColumn ||
         column == UnitSearchColumn;
}

CExcelWriteUnits::CExcelWriteUnits() = default;
CExcelWriteUnits::~CExcelWriteUnits() = default;

int32_t CExcelWriteUnits::Init(int32_t column) {
  if (!IsUnitsTableColumn(column)) {
    SetErrorText("Only columns 0,2,4,6 are valid for Units");
    return -1;
  }
  m_column = column;
  return OpenCellWriter(m_pWriter, static_cast<int32_t>(RsrcValueSize), UnitsSheet);
}

int32_t CExcelWriteUnits::Write(uint16_t number, const wchar_t* name, const wchar_t* factor) {
  int32_t row = int32_t{number} + 1;
  if (!m_pWriter) return WriteBeforeOpen(row, m_column);
  if (m_pWriter->WriteCell(row, m_column, name) != 1) return -1;
  return m_pWriter->WriteCell(row, m_column + 1, factor) == 1 ? 1 : -1;
}

CExcelReadUnits::CExcelReadUnits() = default;
CExcelReadUnits::~CExcelReadUnits() = default;

int32_t CExcelReadUnits::Init(int32_t column) {
  if (!IsUnitsTableColumn(column)) {
    SetErrorText("Only columns 0,2,4,6 are valid for Units");
    return -1;
  }
  m_column = column;
  m_row = 1;
  return OpenRsrcReader(m_pReader, UnitsSheet);
}

int32_t CExcelReadUnits::Read(RsrcUnitRow* row) {
  if (!m_pReader || m_row > kLastRow) return 0;
  std::memset(row, 0, sizeof *row);
  // The name through the factor's larger buffer: a name too long for its
  // field still shows as too long.
  if (m_pReader->ReadCell(m_row, m_column, row->factor) != 1) return -1;
  if (row->factor[0] == 0) return 0;
  listtext::CopyCut(row->name, RsrcTextSize + 1, row->factor);
  if (m_pReader->ReadCell(m_row, m_column + 1, row->factor) != 1) return -1;
  row->number = static_cast<uint16_t>(m_row - 1);
  ++m_row;
  return 1;
}
