// VKEdbRsrcSave: the EDB's resource file written from the three resource
// sheets and sent to the server in one upload.  The file is made from the
// sheets alone (no earlier Load is needed), group after group: the speeds,
// scenarios and temperatures (every row of their tables, named or not), the
// searchkey, substance, substance-group and substance-group emission units
// (without the fixed first units, number 0), then the free settings of
// "Rsrc".
//
// Every sheet is read, and every cell checked by the resource rule
// (rsrc_rule.h), before anything goes to the server: a cell whose line would
// not read back as typed refuses the whole save with its message and place,
// and so does any later failure, so the server keeps its file.
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "catalogue/edb_rsrc_line.h"
#include "host/frame.h"
#include "records/lists.h"
#include "vorkabcom.h"
#include "workbook/rsrc_rule.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

using Lines = std::vector<std::wstring>;

// Every row of a name table; 1 or -1.
int32_t ReadNames(CExcelReadSpeedTempScen& table, int32_t column, RsrcKind kind, const wchar_t* label,
                  Lines* lines) {
  RsrcNameRow row;
  int32_t r;
  while ((r = table.Read(&row)) == 1) {
    if (!RsrcCellFits(SpeedTempScenSheet, row.number, column, RsrcCell::kName, label, row.name)) return -1;
    RsrcLine line;
    line.kind = kind;
    line.number = row.number;
    line.name = row.name;
    lines->push_back(FormatRsrcLine(line));
  }
  return r == 0 ? 1 : -1;
}

// The units of a table but its fixed first unit; 1 or -1.
int32_t ReadUnits(CExcelReadUnits& table, int32_t column, RsrcKind kind, Lines* lines) {
  RsrcUnitRow row;
  int32_t r;
  while ((r = table.Read(&row)) == 1) {
    if (row.number == 0) continue;
    int32_t sheetRow = int32_t{row.number} + 1;
    if (!RsrcCellFits(UnitsSheet, sheetRow, column, RsrcCell::kUnitName, L"Unit", row.name) ||
        !RsrcCellFits(UnitsSheet, sheetRow, column + 1, RsrcCell::kFactor, L"Factor", row.factor)) {
      return -1;
    }
    RsrcLine line;
    line.kind = kind;
    line.number = row.number;
    line.name = row.name;
    line.value = row.factor;
    lines->push_back(FormatRsrcLine(line));
  }
  return r == 0 ? 1 : -1;
}

// The free settings; 1 or -1.
int32_t ReadFree(CExcelReadRsrc& table, Lines* lines) {
  RsrcFreeRow row;
  int32_t r;
  while ((r = table.Read(&row)) == 1) {
    if (!RsrcCellFits(RsrcSheet, row.row, 0, RsrcCell::kTag, L"Tag", row.tag) ||
        !RsrcCellFits(RsrcSheet, row.row, 1, RsrcCell::kValue, L"Value", row.value)) {
      return -1;
    }
    RsrcLine line;
    line.kind = RsrcKind::Free;
    line.name = row.tag;
    line.value = row.value;
    lines->push_back(FormatRsrcLine(line));
  }
  return r == 0 ? 1 : -1;
}

// The file the sheets hold, in the order a save sends it; 1 or -1.
int32_t ReadFile(Lines* lines) {
  CExcelReadSpeedTempScen speed, scenario, temperature;
  CExcelReadUnits unitSearch, unitSub, unitSubGrp, unitSubGrpEm;
  CExcelReadRsrc rsrc;
  if (speed.Init(SpeedColumn) != 1 || scenario.Init(ScenarioColumn) != 1 ||
      temperature.Init(TemperatureColumn) != 1 || unitSearch.Init(UnitSearchColumn) != 1 ||
      unitSub.Init(UnitSubColumn) != 1 || unitSubGrp.Init(UnitSubGrpColumn) != 1 ||
      unitSubGrpEm.Init(UnitSubGrpEmColumn) != 1 || rsrc.Init() != 1) {
    return -1;
  }
  try {
    if (ReadNames(speed, SpeedColumn, RsrcKind::Speed, L"Speed", lines) != 1) return -1;
    if (ReadNames(scenario, ScenarioColumn, RsrcKind::Scenario, L"Scenario", lines) != 1) return -1;
    if (ReadNames(temperature, TemperatureColumn, RsrcKind::Temperature, L"Temperature", lines) != 1) return -1;
    if (ReadUnits(unitSearch, UnitSearchColumn, RsrcKind::UnitSearch, lines) != 1) return -1;
    if (ReadUnits(unitSub, UnitSubColumn, RsrcKind::UnitSub, lines) != 1) return -1;
    if (ReadUnits(unitSubGrp, UnitSubGrpColumn, RsrcKind::UnitSubGrp, lines) != 1) return -1;
    if (ReadUnits(unitSubGrpEm, UnitSubGrpEmColumn, RsrcKind::UnitSubGrpEm, lines) != 1) return -1;
    return ReadFree(rsrc, lines);
  } catch (const std::bad_alloc&) {
    SetErrorText("Could not allocate memory for the resource file.");
    return -1;
  }
}

int32_t Save() {
  Lines lines;
  if (ReadFile(&lines) != 1) return -1;
  int32_t r = IOREdbRsrcSave(RsrcSaveStart, nullptr);
  for (size_t i = 0; r == 1 && i < lines.size(); ++i) r = IOREdbRsrcSave(RsrcSaveLine, lines[i].c_str());
  if (r != 1) {
    IOREdbRsrcSave(RsrcSaveAbort, nullptr);
    return r;
  }
  return IOREdbRsrcSave(RsrcSaveFinish, nullptr);
}

}  // namespace

int32_t VKAPI VKEdbRsrcSave(void) {
  if (DebugLevel > 0) DebugPrint("--> VKEdbRsrcSave()\n");
  int32_t r = Save();
  if (DebugLevel > 0) DebugPrint("<-- VKEdbRsrcSave = %d\n", static_cast<int>(r));
  return r;
}
