// VKEdbRsrcLoad: the EDB's resource file from the server into the three
// resource sheets ("Speed-Temp-Scen", "Units", "Rsrc") and the six resource
// lists of the catalogue (speeds, temperatures, scenarios and three unit
// tables, each kept by number).
//
// The unit tables start with their fixed first units (number 0), which the
// file never holds.  A file that cannot be read to its end, a sheet that
// cannot be written and a server that answers with an error instead of the
// file all give 0; what was read by then stays in the sheets and lists.
#include <cstdint>
#include <cwchar>

#include "catalogue/catalogue.h"
#include "catalogue/edb_rsrc_line.h"
#include "host/frame.h"
#include "records/lists.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

// The writers of the three sheets: three name tables, four unit tables and
// the free settings.
struct RsrcWriters {
  CExcelWriteSpeedTempScen speed, temperature, scenario;
  CExcelWriteUnits unitSub, unitSubGrp, unitSubGrpEm, unitSearch;
  CExcelWriteRsrc rsrc;

  // 1, or -1 with ErrorText set by the sheet that cannot be opened.
  int32_t Init() {
    if (DebugLevel > 0) DebugPrint("\t\tInitialize Speed\n");
    if (speed.Init(SpeedColumn) != 1) return -1;
    if (DebugLevel > 0) DebugPrint("\t\tInitialize Temperature\n");
    if (temperature.Init(TemperatureColumn) != 1) return -1;
    if (DebugLevel > 0) DebugPrint("\t\tInitialize Scenario\n");
    if (scenario.Init(ScenarioColumn) != 1) return -1;
    if (rsrc.Init() != 1) return -1;
    if (unitSub.Init(UnitSubColumn) != 1 || unitSubGrp.Init(UnitSubGrpColumn) != 1 ||
        unitSubGrpEm.Init(UnitSubGrpEmColumn) != 1 || unitSearch.Init(UnitSearchColumn) != 1) {
      return -1;
    }
    return 1;
  }
};

// Empties a list, keeps it by number and gives it its fixed first entry.
bool Restart(CRecordList& list, const wchar_t* first) {
  list.Clear();
  list.SetSortKey(CRecordList::kByIndex);
  return !first || list.Add(first, 0);
}

int32_t NoMemory() {
  SetErrorText("Could not allocate memory for the resource lists.");
  return -1;
}

// Starts the lists and the sheets: the heading of "Rsrc" and the fixed first
// units.  1 or -1.
int32_t Begin(RsrcWriters& w) {
  if (!Restart(SpeedList, nullptr) || !Restart(TemperatureList, nullptr) || !Restart(ScenarioList, nullptr) ||
      !Restart(UnitSubList, L"ton/year") || !Restart(UnitSubGrpList, L"%") ||
      !Restart(UnitSubGrpEmList, L"ton/year")) {
    return NoMemory();
  }
  if (w.rsrc.Write(0, L"Tag", L"Value") != 1) return -1;
  if (w.unitSub.Write(0, L"ton/year", L"1.0") != 1) return -1;
  if (w.unitSubGrp.Write(0, L"%", L"1.0") != 1) return -1;
  if (w.unitSubGrpEm.Write(0, L"ton/year", L"1.0") != 1) return -1;
  if (w.unitSearch.Write(0, L"g/s", L"1.0") != 1) return -1;
  return 1;
}

// A numbered name into its list and table; 1 or -1.
int32_t PutName(CRecordList& list, CExcelWriteSpeedTempScen& table, const RsrcLine& line) {
  if (!list.Add(line.name.c_str(), line.number)) return NoMemory();
  return table.Write(line.number, line.name.c_str());
}

// A unit into its list (when the table has one) and table; 1 or -1.
int32_t PutUnit(CRecordList* list, CExcelWriteUnits& table, const RsrcLine& line) {
  if (list && !list->Add(line.name.c_str(), line.number)) return NoMemory();
  return table.Write(line.number, line.name.c_str(), line.value.c_str());
}

// One line of the file into the lists and sheets; 1 or -1.  `row` is the
// next free row of "Rsrc".
int32_t Put(RsrcWriters& w, const wchar_t* text, int32_t* row) {
  RsrcLine line = ParseRsrcLine(text);
  switch (line.kind) {
    case RsrcKind::Speed: return PutName(SpeedList, w.speed, line);
    case RsrcKind::Temperature: return PutName(TemperatureList, w.temperature, line);
    case RsrcKind::Scenario: return PutName(ScenarioList, w.scenario, line);
    case RsrcKind::UnitSub: return PutUnit(&UnitSubList, w.unitSub, line);
    case RsrcKind::UnitSubGrp: return PutUnit(&UnitSubGrpList, w.unitSubGrp, line);
    case RsrcKind::UnitSubGrpEm: return PutUnit(&UnitSubGrpEmList, w.unitSubGrpEm, line);
    case RsrcKind::UnitSearch: return PutUnit(nullptr, w.unitSearch, line);
    case RsrcKind::Free:
      if (*row > UINT16_MAX) {
        SetErrorText("Too many free resources: the sheet \"Rsrc\" holds %u.", static_cast<unsigned>(UINT16_MAX));
        return -1;
      }
      if (w.rsrc.Write(static_cast<uint16_t>(*row), line.name.c_str(), line.value.c_str()) != 1) return -1;
      ++*row;
      return 1;
    case RsrcKind::Kept:
      break;  // says nothing the sheets hold
  }
  return 1;
}

// Reads the file into the sheets and lists: 1 read to its end, 0 not.
int32_t Load() {
  RsrcWriters writers;
  if (writers.Init() != 1) return 0;
  if (Begin(writers) != 1) return 0;

  static wchar_t text[LineBufferSize];
  int32_t row = 1;
  int32_t r = IOREdbRsrcLoad(1, text);
  // A server that cannot give the file answers with its reason instead.
  if (r == 1 && wcsncmp(text, L"Error:", 6) == 0) {
    SetErrorText("%s", Narrow(text).c_str());
    r = -1;
  }
  while (r == 1) {
    if (Put(writers, text, &row) != 1) {
      r = -1;
      break;
    }
    r = IOREdbRsrcLoad(0, text);
  }
  HTTPAbortCommand();
  if (DebugLevel > 0) DebugPrint("\t\tSorting\n");
  SpeedList.Sort();
  TemperatureList.Sort();
  ScenarioList.Sort();
  UnitSubList.Sort();
  UnitSubGrpList.Sort();
  UnitSubGrpEmList.Sort();
  return r == -1 ? 0 : 1;
}

}  // namespace

int32_t VKAPI VKEdbRsrcLoad(void) {
  if (DebugLevel > 0) DebugPrint("--> VKEdbRsrcLoad()\n");
  int32_t r = Load();
  if (DebugLevel > 0) DebugPrint("<-- VKEdbRsrcLoad = %d\n", static_cast<int>(r));
  return r;
}
