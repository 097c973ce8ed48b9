// The resource lists rebuilt from the resource sheets (see
// edb_rsrc_update_idx.h).
#include "workbook/edb_rsrc_update_idx.h"

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "transport/latin1.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

// One resource table ("Speed-Temp-Scen" or "Units") into its list: every row
// the reader gives, by the number it gives; 1 or -1.
template <class Reader, class Row>
int32_t Refill(int32_t column, CRecordList& list) {
  Reader reader;
  if (reader.Init(column) != 1) return -1;
  list.Clear();
  list.SetSortKey(CRecordList::kByIndex);
  Row row;
  int32_t r;
  while ((r = reader.Read(&row)) == 1) {
    if (!list.Add(row.name, row.number)) {
      SetErrorText("Could not allocate memory for %s.", Narrow(row.name).c_str());
      return -1;
    }
  }
  list.Sort();
  return r == 0 ? 1 : -1;
}

int32_t Update() {
  using Names = CExcelReadSpeedTempScen;
  using Units = CExcelReadUnits;
  if (Refill<Names, RsrcNameRow>(SpeedColumn, SpeedList) != 1) return -1;
  if (Refill<Names, RsrcNameRow>(TemperatureColumn, TemperatureList) != 1) return -1;
  if (Refill<Names, RsrcNameRow>(ScenarioColumn, ScenarioList) != 1) return -1;
  if (Refill<Units, RsrcUnitRow>(UnitSubColumn, UnitSubList) != 1) return -1;
  if (Refill<Units, RsrcUnitRow>(UnitSubGrpColumn, UnitSubGrpList) != 1) return -1;
  if (Refill<Units, RsrcUnitRow>(UnitSubGrpEmColumn, UnitSubGrpEmList) != 1) return -1;
  return 0;
}

}  // namespace

int32_t EdbRsrcUpdateIdx() {
  if (DebugLevel > 0) DebugPrint(" --> EdbRsrcUpdateIdx()\n");
  int32_t r = Update();
  if (DebugLevel > 0) DebugPrint(" <-- EdbRsrcUpdateIdx = %d\n", static_cast<int>(r));
  return r;
}
