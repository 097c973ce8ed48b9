// The "Speed-Temp-Scen" sheet (see speed_temp_scen_sheet.h).
#include "workbook/speed_temp_scen_sheet.h"

#include <cstring>

#include "host/frame.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/sheet_open.h"

int32_t SpeedTempScenCount(int32_t column) {
  switch (column) {
    case SpeedColumn: return RsrcSpeedCount;
    case TemperatureColumn: return RsrcTemperatureCount;
    case ScenarioColumn: return RsrcScenarioCount;
    default: return 0;
  }
}

CExcelWriteSpeedTempScen::CExcelWriteSpeedTempScen() = default;
CExcelWriteSpeedTempScen::~CExcelWriteSpeedTempScen() = default;

int32_t CExcelWriteSpeedTempScen::Init(int32_t column) {
  if (SpeedTempScenCount(column) == 0) {
    SetErrorText("Only comns 1,2,3 are valid for SpeedTempScen");
    return -1;
  }
  m_column = column;
  return OpenCellWriter(m_pWriter, static_cast<int32_t>(RsrcValueSize), SpeedTempScenSheet);
}

int32_t CExcelWriteSpeedTempScen::Write(uint16_t number, const wchar_t* name) {
  if (!m_pWriter) return WriteBeforeOpen(number, m_column);
  if (number == 0) return 1;
  return m_pWriter->WriteCell(number, m_column, name) == 1 ? 1 : -1;
}

CExcelReadSpeedTempScen::CExcelReadSpeedTempScen() = default;
CExcelReadSpeedTempScen::~CExcelReadSpeedTempScen() = default;

int32_t CExcelReadSpeedTempScen::Init(int32_t column) {
  m_count = SpeedTempScenCount(column);
  if (m_count == 0) {
    SetErrorText("Only comns 1,2,3 are valid for SpeedTempScen");
    return -1;
  }
  m_column = column;
  m_row = 1;
  return OpenRsrcReader(m_pReader, SpeedTempScenSheet);
}

int32_t CExcelReadSpeedTempScen::Read(RsrcNameRow* row) {
  if (!m_pReader || m_row > m_count) return 0;
  std::memset(row, 0, sizeof *row);
  if (m_pReader->ReadCell(m_row, m_column, row->name) != 1) return -1;
  row->number = static_cast<uint16_t>(m_row);
  ++m_row;
  return 1;
}
