// The resource lists rebuilt from the resource sheets (see
// edb_rsrc_update_idx.h).
#include "workbook/edb_rsrc_update_idx.h"

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "transport/latin1.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

int32_t Refill(CRecordList& list, const wchar_t* name, int32_t number) {
  if (list.Add(name, number)) return 1;
  SetErrorText("Could not allocate memory for %s.", Narrow(name).c_str());
  return -1;
}

// One "Speed-Temp-Scen" table into its list; 1 or -1.
int32_t UpdateNames(int32_t column, CRecordList& list) {
  CExcelReadSpeedTempScen reader;
  if (reader.Init(column) != 1) return -1;
  list.Clear();
  list.SetSortKey(CRecordList::kByIndex);
  RsrcNameRow row;
  int32_t r;
  while ((r = reader.Read(&row)) == 1) {
    if (Refill(list, row.name, row.number) != 1) return -1;
  }
  list.Sort();
  return r == 0 ? 1 : -1;
}

// One "Units" table into its list; 1 or -1.
int32_t UpdateUnits(int32_t column, CRecordList& list) {
  CExcelReadUnits reader;
  if (reader.Init(column) != 1) return -1;
  list.Clear();
  list.SetSortKey(CRecordList::kByIndex);
  RsrcUnitRow row;
  int32_t r;
  while ((r = reader.Read(&row)) == 1) {
    if (Refill(list, row.name, row.number) != 1) return -1;
  }
  list.Sort();
  return r == 0 ? 1 : -1;
}

int32_t Update() {
  if (UpdateNames(SpeedColumn, SpeedList) != 1) return -1;
  if (UpdateNames(TemperatureColumn, TemperatureList) != 1) return -1;
  if (UpdateNames(ScenarioColumn, ScenarioList) != 1) return -1;
  if (UpdateUnits(UnitSubColumn, UnitSubList) != 1) return -1;
  if (UpdateUnits(UnitSubGrpColumn, UnitSubGrpList) != 1) return -1;
  if (UpdateUnits(UnitSubGrpEmColumn, UnitSubGrpEmList) != 1) return -1;
  return 0;
}

}  // namespace

int32_t EdbRsrcUpdateIdx() {
  if (DebugLevel > 0) DebugPrint(" --> EdbRsrcUpdateIdx()\n");
  int32_t r = Update();
  if (DebugLevel > 0) DebugPrint(" <-- EdbRsrcUpdateIdx = %d\n", static_cast<int>(r));
  return r;
}
