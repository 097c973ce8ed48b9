// VKEdbRsrcSave: the EDB's resource file written from the three resource
// sheets and sent to the server in one upload.  The file is made from the
// sheets alone (no earlier Load is needed), group after group: the speeds,
// scenarios and temperatures (every row of their tables, named or not), the
// searchkey, substance, substance-group and substance-group emission units
// (without the fixed first units, number 0), then the free settings of
// "Rsrc".  The first failure gives up the upload, so the server keeps its
// file.
#include <cstdint>
#include <string>

#include "catalogue/edb_rsrc_line.h"
#include "host/frame.h"
#include "records/lists.h"
#include "vorkabcom.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

// Sends one resource line; 1 or the failure.
int32_t Send(const RsrcLine& line) {
  std::wstring text = FormatRsrcLine(line);
  return IOREdbRsrcSave(RsrcSaveLine, text.c_str());
}

// Every row of a name table; 1 or the failure.
int32_t SendNames(CExcelReadSpeedTempScen& table, RsrcKind kind) {
  RsrcNameRow row;
  int32_t r;
  while ((r = table.Read(&row)) == 1) {
    RsrcLine line;
    line.kind = kind;
    line.number = row.number;
    line.name = row.name;
    if ((r = Send(line)) != 1) return r;
  }
  return r == 0 ? 1 : -1;
}

// The units of a table but its fixed first unit; 1 or the failure.
int32_t SendUnits(CExcelReadUnits& table, RsrcKind kind) {
  RsrcUnitRow row;
  int32_t r;
  while ((r = table.Read(&row)) == 1) {
    if (row.number == 0) continue;
    RsrcLine line;
    line.kind = kind;
    line.number = row.number;
    line.name = row.name;
    line.value = row.factor;
    if ((r = Send(line)) != 1) return r;
  }
  return r == 0 ? 1 : -1;
}

// The free settings; 1 or the failure.
int32_t SendFree(CExcelReadRsrc& table) {
  RsrcFreeRow row;
  int32_t r;
  while ((r = table.Read(&row)) == 1) {
    RsrcLine line;
    line.kind = RsrcKind::Free;
    line.name = row.tag;
    line.value = row.value;
    if ((r = Send(line)) != 1) return r;
  }
  return r == 0 ? 1 : -1;
}

int32_t Save() {
  // Every sheet is opened before anything goes to the server.
  CExcelReadSpeedTempScen speed, scenario, temperature;
  CExcelReadUnits unitSearch, unitSub, unitSubGrp, unitSubGrpEm;
  CExcelReadRsrc rsrc;
  if (speed.Init(SpeedColumn) != 1 || scenario.Init(ScenarioColumn) != 1 ||
      temperature.Init(TemperatureColumn) != 1 || unitSearch.Init(UnitSearchColumn) != 1 ||
      unitSub.Init(UnitSubColumn) != 1 || unitSubGrp.Init(UnitSubGrpColumn) != 1 ||
      unitSubGrpEm.Init(UnitSubGrpEmColumn) != 1 || rsrc.Init() != 1) {
    return -1;
  }

  int32_t r = IOREdbRsrcSave(RsrcSaveStart, nullptr);
  if (r == 1) r = SendNames(speed, RsrcKind::Speed);
  if (r == 1) r = SendNames(scenario, RsrcKind::Scenario);
  if (r == 1) r = SendNames(temperature, RsrcKind::Temperature);
  if (r == 1) r = SendUnits(unitSearch, RsrcKind::UnitSearch);
  if (r == 1) r = SendUnits(unitSub, RsrcKind::UnitSub);
  if (r == 1) r = SendUnits(unitSubGrp, RsrcKind::UnitSubGrp);
  if (r == 1) r = SendUnits(unitSubGrpEm, RsrcKind::UnitSubGrpEm);
  if (r == 1) r = SendFree(rsrc);
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
