// VKEdbRsrcLoad: the EDB's resource file from the server into the three
// resource sheets ("Speed-Temp-Scen", "Units", "Rsrc") and the six resource
// lists of the catalogue (speeds, temperatures, scenarios and three unit
// tables, each kept by number).
//
// The unit tables start with their fixed first units (number 0), which the
// file never holds.  A file that cannot be read to its end, a sheet that
// cannot be written and a server that answers with an error instead of the
// file all give 0; what was read by then stays in the sheets and lists.
//
// The sheets are what a later VKEdbRsrcSave writes back, so the Load first
// empties what that Save would read (rows left from another EDB would
// otherwise be sent as this one's), and the WarningList (emptied first)
// names every line of the file the sheets cannot give back as it was: a line
// that is not a setting, a number without a row, a unit 0 (the fixed first
// unit), a unit after a gap in its table (the table ends at its first empty
// name), a line replaced by a later one with the same number, words the
// tables do not keep, and texts the sheets cannot hold (rsrc_rule.h).  Lines
// of white space alone carry nothing and go without a word.
#include <cstdarg>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <map>
#include <new>
#include <string>
#include <utility>

#include "catalogue/catalogue.h"
#include "catalogue/edb_rsrc_line.h"
#include "catalogue/edb_rsrc_rows.h"
#include "catalogue/list_text.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "records/lists.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/field_rule.h"
#include "workbook/rsrc_rule.h"
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

// Empties what a Save would read from the sheets; 1 or -1.
int32_t Empty(RsrcWriters& w) {
  struct NameTable {
    int32_t column;
    CExcelWriteSpeedTempScen* writer;
  };
  for (const NameTable& t :
       {NameTable{SpeedColumn, &w.speed}, {TemperatureColumn, &w.temperature}, {ScenarioColumn, &w.scenario}}) {
    CExcelReadSpeedTempScen reader;
    if (reader.Init(t.column) != 1) return -1;
    RsrcNameRow row;
    int32_t r;
    while ((r = reader.Read(&row)) == 1) {
      if (row.name[0] != 0 && t.writer->Write(row.number, L"") != 1) return -1;
    }
    if (r != 0) return -1;
  }
  struct UnitTable {
    int32_t column;
    CExcelWriteUnits* writer;
  };
  for (const UnitTable& t : {UnitTable{UnitSubColumn, &w.unitSub}, {UnitSubGrpColumn, &w.unitSubGrp},
                             {UnitSubGrpEmColumn, &w.unitSubGrpEm}, {UnitSearchColumn, &w.unitSearch}}) {
    CExcelReadUnits reader;
    if (reader.Init(t.column) != 1) return -1;
    RsrcUnitRow row;
    int32_t r;
    while ((r = reader.Read(&row)) == 1) {
      if (t.writer->Write(row.number, L"", L"") != 1) return -1;
    }
    if (r != 0) return -1;
  }
  CExcelReadRsrc reader;
  if (reader.Init() != 1) return -1;
  RsrcFreeRow row;
  int32_t r;
  while ((r = reader.Read(&row)) == 1) {
    if (w.rsrc.Write(row.row, L"", L"") != 1) return -1;
  }
  return r == 0 ? 1 : -1;
}

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

// Where a line of a table kind stands: its sheet, row and column.
struct Place {
  const wchar_t* sheet;
  int32_t row;
  int32_t column;
};

// A line that went into a table: what it says, and the line for the
// warnings about it.
struct Held {
  int32_t lineNo;
  std::wstring text;
  RsrcLine line;
};

// One file being read into the sheets and lists.
class FileLoad {
 public:
  explicit FileLoad(RsrcWriters& w) : m_w(w) {}

  // One line of the file into the lists and sheets; 1 or -1.
  int32_t Put(const wchar_t* text);
  // The lists from the lines that stand in the tables (a line replaced by a
  // later one with its number is not listed), and the warnings that need the
  // whole file: units after a gap.  1 or -1.
  int32_t Finish();

 private:
  // A warning about the current line; reason is a wide printf format.
  void Warn(const Place& place, const wchar_t* reason, ...);
  void WarnAbout(int32_t lineNo, const std::wstring& text, const Place& place, const wchar_t* reason);
  // True when the line's texts may stand in their cells (else a warning).
  bool Fits(const RsrcLine& line, const Place& place);
  // Remembers the line at its number; warns about the line it replaces.
  void Hold(const RsrcLine& line, const Place& place);
  int32_t PutName(CExcelWriteSpeedTempScen& table, int32_t column, const RsrcLine& line);
  int32_t PutUnit(CExcelWriteUnits& table, int32_t column, const RsrcLine& line);
  int32_t PutFree(const RsrcLine& line);

  RsrcWriters& m_w;
  int32_t m_lineNo = 0;
  const wchar_t* m_text = L"";
  int32_t m_rsrcRow = 1;  // the next free row of "Rsrc"
  std::map<std::pair<RsrcKind, uint16_t>, Held> m_held;
};

void FileLoad::WarnAbout(int32_t lineNo, const std::wstring& text, const Place& place, const wchar_t* reason) {
  WarningList.Add(place.sheet, place.row, place.column, L"Resource line %d %ls: \"%ls\"", static_cast<int>(lineNo),
                  reason, text.c_str());
}

void FileLoad::Warn(const Place& place, const wchar_t* reason, ...) {
  wchar_t text[kIssueTextSize];
  va_list args;
  va_start(args, reason);
  listtext::FormatCutV(text, kIssueTextSize, reason, args);
  va_end(args);
  WarnAbout(m_lineNo, m_text, place, text);
}

bool FileLoad::Fits(const RsrcLine& line, const Place& place) {
  struct Cell {
    RsrcCell cell;
    const wchar_t* label;
    const std::wstring* text;
  };
  Cell cells[2] = {};
  int n = 0;
  switch (line.kind) {
    case RsrcKind::Speed: cells[n++] = {RsrcCell::kName, L"Speed", &line.name}; break;
    case RsrcKind::Temperature: cells[n++] = {RsrcCell::kName, L"Temperature", &line.name}; break;
    case RsrcKind::Scenario: cells[n++] = {RsrcCell::kName, L"Scenario", &line.name}; break;
    case RsrcKind::Free:
      cells[n++] = {RsrcCell::kTag, L"Tag", &line.name};
      cells[n++] = {RsrcCell::kValue, L"Value", &line.value};
      break;
    case RsrcKind::Kept: return false;
    default:
      cells[n++] = {RsrcCell::kUnitName, L"Unit", &line.name};
      cells[n++] = {RsrcCell::kFactor, L"Factor", &line.value};
      break;
  }
  for (int i = 0; i < n; ++i) {
    wchar_t message[kFieldFaultSize];
    if (RsrcCellFault(cells[i].cell, cells[i].label, cells[i].text->c_str(), message, kFieldFaultSize)) {
      Warn(place, L"is not kept: %ls", message);
      return false;
    }
  }
  return true;
}

void FileLoad::Hold(const RsrcLine& line, const Place& place) {
  if (line.fault == RsrcLineFault::kExtraWords) {
    Warn(place, L"loses words that its table does not keep");
  }
  auto key = std::make_pair(line.kind, line.number);
  auto it = m_held.find(key);
  if (it != m_held.end()) {
    wchar_t reason[64];
    listtext::FormatCut(reason, 64, L"is replaced by line %d with the same number", static_cast<int>(m_lineNo));
    WarnAbout(it->second.lineNo, it->second.text, place, reason);
    it->second = Held{m_lineNo, m_text, line};
  } else {
    m_held.emplace(key, Held{m_lineNo, m_text, line});
  }
}

int32_t FileLoad::PutName(CExcelWriteSpeedTempScen& table, int32_t column, const RsrcLine& line) {
  int32_t count = SpeedTempScenCount(column);
  Place place{SpeedTempScenSheet, line.number, column};
  if (line.number < 1 || line.number > count) {
    Warn(Place{SpeedTempScenSheet, -1, column}, L"has no row in its table (numbers 1 to %d) and is not kept",
         static_cast<int>(count));
    return 1;
  }
  if (!Fits(line, place)) return 1;
  bool replaces = m_held.count(std::make_pair(line.kind, line.number)) > 0;
  Hold(line, place);
  // An unnamed number leaves its cell empty, unless it replaces a name.
  if (line.name.empty() && !replaces) return 1;
  return table.Write(line.number, line.name.c_str());
}

int32_t FileLoad::PutUnit(CExcelWriteUnits& table, int32_t column, const RsrcLine& line) {
  Place place{UnitsSheet, int32_t{line.number} + 1, column};
  if (line.number == 0) {
    Warn(place, L"would replace the table's fixed first unit and is not kept");
    return 1;
  }
  if (!Fits(line, place)) return 1;
  Hold(line, place);
  return table.Write(line.number, line.name.c_str(), line.value.c_str());
}

int32_t FileLoad::PutFree(const RsrcLine& line) {
  Place place{RsrcSheet, m_rsrcRow, 0};
  if (m_rsrcRow > UINT16_MAX) {
    SetErrorText("Too many free resources: the sheet \"Rsrc\" holds %u.", static_cast<unsigned>(UINT16_MAX));
    return -1;
  }
  if (!Fits(line, place)) return 1;
  if (m_w.rsrc.Write(static_cast<uint16_t>(m_rsrcRow), line.name.c_str(), line.value.c_str()) != 1) return -1;
  ++m_rsrcRow;
  return 1;
}

int32_t FileLoad::Put(const wchar_t* text) {
  ++m_lineNo;
  m_text = text;
  RsrcLine line = ParseRsrcLine(text);
  switch (line.kind) {
    case RsrcKind::Speed: return PutName(m_w.speed, SpeedColumn, line);
    case RsrcKind::Temperature: return PutName(m_w.temperature, TemperatureColumn, line);
    case RsrcKind::Scenario: return PutName(m_w.scenario, ScenarioColumn, line);
    case RsrcKind::UnitSub: return PutUnit(m_w.unitSub, UnitSubColumn, line);
    case RsrcKind::UnitSubGrp: return PutUnit(m_w.unitSubGrp, UnitSubGrpColumn, line);
    case RsrcKind::UnitSubGrpEm: return PutUnit(m_w.unitSubGrpEm, UnitSubGrpEmColumn, line);
    case RsrcKind::UnitSearch: return PutUnit(m_w.unitSearch, UnitSearchColumn, line);
    case RsrcKind::Free: return PutFree(line);
    case RsrcKind::Kept: break;
  }
  const wchar_t* p = text;
  while (*p && std::iswspace(static_cast<wint_t>(*p))) ++p;
  if (*p == 0) return 1;  // white space alone
  Place place{RsrcSheet, -1, -1};
  switch (line.fault) {
    case RsrcLineFault::kNoNumber: Warn(place, L"has no number from 0 to 65535 and is not kept"); break;
    case RsrcLineFault::kNoUnit: Warn(place, L"has no factor and unit name and is not kept"); break;
    default: Warn(place, L"is not a setting (head: value) and is not kept"); break;
  }
  return 1;
}

// The catalogue list of a kind; null for the searchkey units, which have none.
CRecordList* ListOf(RsrcKind kind) {
  switch (kind) {
    case RsrcKind::Speed: return &SpeedList;
    case RsrcKind::Temperature: return &TemperatureList;
    case RsrcKind::Scenario: return &ScenarioList;
    case RsrcKind::UnitSub: return &UnitSubList;
    case RsrcKind::UnitSubGrp: return &UnitSubGrpList;
    case RsrcKind::UnitSubGrpEm: return &UnitSubGrpEmList;
    default: return nullptr;
  }
}

int32_t FileLoad::Finish() {
  for (const auto& held : m_held) {
    const RsrcLine& line = held.second.line;
    CRecordList* list = ListOf(line.kind);
    if (list && !line.name.empty() && !list->Add(line.name.c_str(), line.number)) return NoMemory();
  }
  struct UnitTable {
    RsrcKind kind;
    int32_t column;
  };
  for (const UnitTable& t : {UnitTable{RsrcKind::UnitSub, UnitSubColumn}, {RsrcKind::UnitSubGrp, UnitSubGrpColumn},
                             {RsrcKind::UnitSubGrpEm, UnitSubGrpEmColumn}, {RsrcKind::UnitSearch, UnitSearchColumn}}) {
    // The first number without a unit ends the table for the Save.
    uint16_t gap = 1;
    while (gap < UINT16_MAX && m_held.count(std::make_pair(t.kind, gap))) ++gap;
    if (gap == UINT16_MAX) continue;
    for (auto it = m_held.lower_bound(std::make_pair(t.kind, static_cast<uint16_t>(gap + 1)));
         it != m_held.end() && it->first.first == t.kind; ++it) {
      wchar_t reason[128];
      listtext::FormatCut(reason, 128,
                          L"is not saved back: unit %d is missing and the table ends at its first empty name",
                          static_cast<int>(gap));
      WarnAbout(it->second.lineNo, it->second.text, Place{UnitsSheet, int32_t{it->first.second} + 1, t.column},
                reason);
    }
  }
  return 1;
}

// Reads the file into the sheets and lists: 1 read to its end, 0 not.
int32_t Load() {
  WarningList.Clear();
  RsrcWriters writers;
  if (writers.Init() != 1) return 0;
  if (Empty(writers) != 1) return 0;
  if (Begin(writers) != 1) return 0;

  static wchar_t text[LineBufferSize];
  FileLoad file(writers);
  int32_t r = IOREdbRsrcLoad(1, text);
  // A server that cannot give the file answers with its reason instead.
  if (r == 1 && wcsncmp(text, L"Error:", 6) == 0) {
    SetErrorText("%s", Narrow(text).c_str());
    r = -1;
  }
  try {
    while (r == 1) {
      if (file.Put(text) != 1) {
        r = -1;
        break;
      }
      r = IOREdbRsrcLoad(0, text);
    }
    if (file.Finish() != 1) r = -1;
  } catch (const std::bad_alloc&) {
    r = NoMemory();
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
