// The road sheets (see road_sheet.h).
#include "workbook/road_sheet.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/cell_number.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"

namespace {

enum Column : int32_t {
  kName = 0, kInfo = 1, kInfo2 = 2, kVehicles = 3, kMacro = 4, kCorr = 5, kLanes = 6, kSpeed = 7,
  kRoadtype = 8, kFirstSpeed = 9, kLastSpeed = 15, kPercHeavy = 16, kSearchkey = 17, kGeocode = 22,
  kWidth = 23, kDistHouses = 24, kSlope = 25, kElevation = 26, kHeight = 27, kBarrierHeight = 28,
  kBarrierAngle = 30, kBarrierDistance = 32, kNoise = 34,
};

enum class Section { kNone, kTraffic, kEmis, kAlob, kCoord };

Section MarkerOf(const wchar_t* text) {
  if (wcscmp(text, L"TRAFFIC") == 0) return Section::kTraffic;
  if (wcscmp(text, L"EMIS") == 0) return Section::kEmis;
  if (wcscmp(text, L"ALOB") == 0) return Section::kAlob;
  if (wcscmp(text, L"COORD") == 0) return Section::kCoord;
  return Section::kNone;
}
bool IsMarker(const wchar_t* text) { return MarkerOf(text) != Section::kNone; }

// The name of index in list, or null when the list has none (never the
// bad-reference text).
const wchar_t* NameIn(const CRecordList* list, int32_t index) {
  if (!list) return nullptr;
  const wchar_t* name = list->NameOf(index);
  if (name && list->BadReference() && wcsncmp(name, L"Bad reference = ", 16) == 0) return nullptr;
  return name;
}

int32_t Dimensions(const RoadSheetLists& lists) { return lists.definition ? lists.definition->Dimensions() : 0; }
// The emission-factor columns the record can carry.
int32_t FactorColumns(const RoadSheetLists& lists) {
  int32_t n = Dimensions(lists);
  return n < RoadEmissionFactors ? n : RoadEmissionFactors;
}
const CRecordList* Dimension(const RoadSheetLists& lists, int32_t k) {
  return lists.definition ? lists.definition->List(k) : nullptr;
}
const CRecordList* LastDimension(const RoadSheetLists& lists) {
  int32_t n = Dimensions(lists);
  return n > 0 ? Dimension(lists, n - 1) : nullptr;
}

const wchar_t* const kSpeedLabels[7] = {L"congestion speed",       L"congestion speed 2", L"congestion speed 3",
                                        L"heavy speed",            L"heavy congestion speed",
                                        L"heavy congestion speed 2", L"heavy congestion speed 3"};

int32_t* SpeedField(RoadRec* record, int32_t i) {
  if (i < 3) return &record->congspeed[i];
  if (i == 3) return &record->heavyspeed;
  return &record->heavycongspeed[i - 4];
}

bool HasLetter(const wchar_t* text) {
  for (; *text; ++text) {
    if ((*text >= L'a' && *text <= L'z') || (*text >= L'A' && *text <= L'Z')) return true;
  }
  return false;
}

// The blank-separated values of a heights or noise text; false when one is
// not a number.
bool Values(const wchar_t* text, std::vector<double>* values) {
  values->clear();
  const wchar_t* p = text;
  for (;;) {
    while (*p == L' ') ++p;
    if (!*p) return true;
    wchar_t* end = nullptr;
    double v = wcstod(p, &end);
    if (end == p || (*end && *end != L' ') || !std::isfinite(v)) return false;
    values->push_back(v);
    p = end;
  }
}

}  // namespace

RoadSheetLists CatalogueRoadLists() {
  return RoadSheetLists{SubLists, &RoadtypeList, &SpeedList, &RoadTimevarList, &RoadVehicleList, &RoadVehicleDef};
}

// ---------------------------------------------------------------- the rows

// An empty name would select the active sheet, whatever it holds.
static bool NamedSheet(const wchar_t* sheet) {
  if (sheet && sheet[0]) return true;
  SetErrorText("No road sheet named: the road sheets are named by the macro");
  return false;
}

int32_t CRoadSheetRows::Open(const wchar_t* sheet) {
  if (!NamedSheet(sheet)) return -1;
  m_sheet = sheet;
  m_row = 0;
  m_buf.reset(new (std::nothrow) wchar_t[static_cast<size_t>(RoadSheetColumns) * RoadSheetCellSize]);
  m_pReader.reset(new (std::nothrow) CSheetRowReader(1, 0, kNarrow, RoadSheetCellSize, m_sheet.c_str()));
  if (!m_buf || !m_pReader) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  m_texts.resize(RoadSheetColumns);
  for (int32_t c = 0; c < RoadSheetColumns; ++c) {
    m_texts[static_cast<size_t>(c)] = m_buf.get() + static_cast<size_t>(c) * RoadSheetCellSize;
    m_texts[static_cast<size_t>(c)][0] = 0;
  }
  return m_pReader->Init();
}

int32_t CRoadSheetRows::ReadRow() {
  if (!m_pReader) {
    SetErrorText("The road sheet %s was read before it was opened", Narrow(m_sheet.c_str()).c_str());
    return -1;
  }
  ++m_row;
  for (size_t c = kNarrow; c < m_texts.size(); ++c) m_texts[c][0] = 0;
  int32_t r = m_pReader->ReadRow(m_texts.data());
  if (r < 0) return -1;
  m_unreadable = m_pReader->UnreadableColumns();
  if (m_texts[kNarrow - 1][0] != 0) {
    // A long road: the rest of its row.
    CSheetRowReader rest(m_row, kNarrow, RoadSheetColumns - kNarrow, RoadSheetCellSize, m_sheet.c_str());
    if (rest.Init() != 1) return -1;
    int32_t more = rest.ReadRow(m_texts.data() + kNarrow);
    if (more < 0) return -1;
    for (int32_t c : rest.UnreadableColumns()) m_unreadable.push_back(kNarrow + c);
  }
  return m_unreadable.empty() ? 1 : 0;
}

// ---------------------------------------------------------------- writer

int32_t CExcelWriteRoad::Init(const wchar_t* sheet, const RoadSheetLists& lists) {
  if (DebugLevel > 0) DebugPrint("Creating new excel object for %s\n", Narrow(sheet ? sheet : L"").c_str());
  if (!NamedSheet(sheet)) return -1;
  m_lists = lists;
  m_cells.assign(RoadSheetColumns, std::wstring());
  m_pWriter.reset(new (std::nothrow) CSheetRowWriter(1, 0, RoadSheetColumns, RoadSheetCellSize - 1, sheet));
  if (!m_pWriter) {
    SetErrorText("Could not all allocate string array for first row");
    return -1;
  }
  return m_pWriter->Init();
}

int32_t CExcelWriteRoad::Write(const RoadRec& record, const Alob* alob, const RoadCoordVector& coordinates,
                               const CodeString* geocode, const RoadTrafficVector& traffic) {
  if (!m_pWriter) {
    SetErrorText("The road sheet was written before it was opened");
    return -1;
  }
  std::wstring name = FieldText(record.name, RoadNameSize);
  std::string label = Narrow(name.c_str());
  for (int32_t i = 0; i < m_used; ++i) m_cells[static_cast<size_t>(i)].clear();
  std::vector<std::wstring>& cells = m_cells;
  cells[kName] = name;
  cells[kInfo] = FieldText(record.info, RoadNameSize);
  cells[kInfo2] = FieldText(record.info2, RoadInfo2Size);
  cells[kVehicles] = std::to_wstring(record.vehicles);
  cells[kMacro] = FieldText(record.vehiclemacro, RoadMacroSize);
  cells[kCorr] = FloatText(record.corrfactor);
  cells[kLanes] = std::to_wstring(record.nolanes);
  const wchar_t* speed = NameIn(m_lists.speeds, record.speed);
  if (!speed) {
    SetErrorText("Could not get speed %d", static_cast<int>(record.speed));
    return -1;
  }
  cells[kSpeed] = speed;
  if (record.roadtype != 0) {
    const wchar_t* roadtype = NameIn(m_lists.roadtypes, record.roadtype);
    if (!roadtype) {
      SetErrorText("Could not get roadtype %d", static_cast<int>(record.roadtype));
      return -1;
    }
    cells[kRoadtype] = roadtype;
  } else if (Dimensions(m_lists) == 0) {
    SetErrorText("No road vehicle emission factors defined.");
    return -1;
  }
  static const char* const kSpeedFailures[7] = {
      "Could not get congestion speed %d",       "Could not get congestion speed2 %d",
      "Could not get congestion speed3 %d",      "Could not get heavy congestion speed %d",
      "Could not get heavy congestion speed %d", "Could not get heavy congestion speed2 %d",
      "Could not get heavy congestion speed3 %d"};
  for (int32_t i = 0; i < 7; ++i) {
    int32_t v = *SpeedField(const_cast<RoadRec*>(&record), i);
    if (v == 0) continue;
    const wchar_t* text = record.roadtype != 0 ? NameIn(m_lists.speeds, v) : NameIn(LastDimension(m_lists), v - 1);
    if (!text) {
      SetErrorText(kSpeedFailures[i], static_cast<int>(v));
      return -1;
    }
    cells[kFirstSpeed + i] = text;
  }
  cells[kPercHeavy] = FloatText(record.percheavy);
  for (int32_t k = 0; k < RoadSearchkeys; ++k) {
    if (record.searchkey[k] == 0) continue;
    const wchar_t* key = NameIn(m_lists.substances ? &m_lists.substances[k + 1] : nullptr, record.searchkey[k]);
    if (!key) {
      SetErrorText("Could not get searchkey%d %d", static_cast<int>(k + 1), static_cast<int>(record.searchkey[k]));
      return -1;
    }
    cells[kSearchkey + k] = key;
  }
  cells[kGeocode] = geocode ? geocode->Text() : L"";
  cells[kWidth] = std::to_wstring(record.width);
  cells[kDistHouses] = std::to_wstring(record.disthouses);
  cells[kSlope] = std::to_wstring(record.slope);
  cells[kElevation] = std::to_wstring(record.elevation);
  cells[kHeight] = FieldText(record.height, RoadHeightSize);
  for (int32_t i = 0; i < 2; ++i) {
    cells[kBarrierHeight + i] = FloatText(record.barrierheight[i]);
    cells[kBarrierAngle + i] = std::to_wstring(record.barrierangle[i]);
    cells[kBarrierDistance + i] = FloatText(record.barrierdistance[i]);
  }
  cells[kNoise] = FieldText(record.noise, RoadNoiseSize);

  // Emission factors by class name, one column per dimension.
  int32_t factors = RoadEmissionFactorCount(record);
  int32_t dimensions = Dimensions(m_lists);
  for (int32_t k = 0; k < factors; ++k) {
    const wchar_t* text = k < dimensions ? NameIn(Dimension(m_lists, k), record.emifac[k] - 1) : nullptr;
    if (!text) {
      SetErrorText("Road (%s): could not get emission factor %d of dimension %d", label.c_str(),
                   static_cast<int>(record.emifac[k]), static_cast<int>(k + 1));
      return -1;
    }
    cells[RoadFixedColumns + k] = text;
  }

  // The sections, counted first: a road is refused, never cut.
  size_t alobLines = 0;
  const wchar_t* attributes = alob ? alob->Text() : L"";
  if (*attributes) {
    alobLines = 1;
    for (const wchar_t* c = attributes; *c; ++c) alobLines += *c == L'\n';
  }
  if (coordinates.Count() > static_cast<size_t>(RoadMaxCoordinates)) {
    SetErrorText("Road (%s) has %u coordinates; a row of the road sheet holds at most %d.", label.c_str(),
                 static_cast<unsigned>(coordinates.Count()), static_cast<int>(RoadMaxCoordinates));
    return -1;
  }
  size_t needed = static_cast<size_t>(RoadFixedColumns + dimensions) +
                  (traffic.Count() ? 1 + 3 * traffic.Count() : 0) + (alobLines ? 1 + alobLines : 0) + 1 +
                  2 * coordinates.Count();
  if (needed > static_cast<size_t>(RoadSheetColumns)) {
    SetErrorText("Road (%s) needs %u cells, more than the %d of a row of the road sheet.", label.c_str(),
                 static_cast<unsigned>(needed), static_cast<int>(RoadSheetColumns));
    return -1;
  }
  size_t c = static_cast<size_t>(RoadFixedColumns + dimensions);
  if (traffic.Count()) {
    bool emissions = std::signbit(traffic.value[0]);
    cells[c++] = emissions ? L"EMIS" : L"TRAFFIC";
    for (size_t i = 0; i < traffic.Count(); ++i) {
      if (std::signbit(traffic.value[i]) != emissions) {
        SetErrorText("Road (%s) has both traffic and direct emissions, which one row cannot show.", label.c_str());
        return -1;
      }
      const wchar_t* what = emissions ? NameIn(m_lists.substances, traffic.index[i])
                                      : NameIn(m_lists.roadVehicles, traffic.index[i]);
      if (!what) {
        SetErrorText(emissions ? "Could not get substance %d" : "Could not get road vehicle %d",
                     static_cast<int>(traffic.index[i]));
        return -1;
      }
      const wchar_t* timevar = NameIn(m_lists.timevars, traffic.timevar[i]);
      if (!timevar) {
        SetErrorText("Could not get timevar %d", static_cast<int>(traffic.timevar[i]));
        return -1;
      }
      cells[c++] = what;
      cells[c++] = timevar;
      cells[c++] = FloatText(emissions ? -traffic.value[i] : traffic.value[i]);
    }
  }
  if (alobLines) {
    cells[c++] = L"ALOB";
    for (const wchar_t* start = attributes;;) {
      const wchar_t* end = wcschr(start, L'\n');
      std::wstring line(start, end ? static_cast<size_t>(end - start) : wcslen(start));
      if (line.empty() || IsMarker(line.c_str())) {
        SetErrorText("Road (%s): the attribute line \"%s\" cannot stand in the ALOB section of a row.", label.c_str(),
                     Narrow(line.c_str()).c_str());
        return -1;
      }
      cells[c++] = line;
      if (!end) break;
      start = end + 1;
    }
  }
  cells[c++] = L"COORD";
  for (size_t i = 0; i < coordinates.Count(); ++i) {
    cells[c++] = std::to_wstring(coordinates.x[i]);
    cells[c++] = std::to_wstring(coordinates.y[i]);
  }
  // The row up to one empty cell after its last: what stands right of that
  // is never read, so the cells beyond need not be written.
  int32_t used = static_cast<int32_t>(c) + 1;
  m_texts.resize(RoadSheetColumns);
  for (int32_t i = 0; i < used; ++i) m_texts[static_cast<size_t>(i)] = cells[static_cast<size_t>(i)].c_str();
  int32_t r = m_pWriter->WriteRowPart(m_texts.data(), used);
  m_used = used;
  return r == 1 ? 1 : -1;
}

// ---------------------------------------------------------------- reader

int32_t CExcelReadRoad::Init(const wchar_t* sheet, const RoadSheetLists& lists) {
  m_lists = lists;
  return m_rows.Open(sheet);
}

int32_t CExcelReadRoad::Read(RoadRec* record, Alob* alob, RoadCoordVector* coordinates, CodeString* geocode,
                             RoadTrafficVector* traffic) {
  std::memset(record, 0, sizeof *record);
  alob->Clear();
  coordinates->Clear();
  traffic->Clear();
  if (geocode) CopyCode(geocode, L"");
  int32_t r = m_rows.ReadRow();
  if (r < 0) return -1;
  const wchar_t* sheet = m_rows.Sheet();
  int32_t row = m_rows.Row();
  if (r == 0) {
    CellErrorText(sheet, row, m_rows.Unreadable().front(), L"%ls", kUnreadableCell);
    return -1;
  }
  const wchar_t* name = m_rows.Cell(kName);
  if (name[0] == 0) return 0;

  auto text = [&](int32_t column, const wchar_t* label, wchar_t* out, size_t size, FieldForm form) {
    if (!CellTextFits(sheet, row, column, label, m_rows.Cell(column), size, form)) return false;
    listtext::CopyCut(out, size, m_rows.Cell(column));
    return true;
  };
  auto whole = [&](int32_t column, const wchar_t* label, int32_t* out) {
    int64_t v = 0;
    if (!CellWhole(m_rows.Cell(column), INT32_MIN, INT32_MAX, &v)) {
      CellErrorText(sheet, row, column, L"%ls cell not a whole number: %ls", label, m_rows.Cell(column));
      return false;
    }
    *out = static_cast<int32_t>(v);
    return true;
  };
  auto real = [&](int32_t column, const wchar_t* label, float* out) {
    if (!CellReal(m_rows.Cell(column), out)) {
      CellErrorText(sheet, row, column, L"%ls cell not a number: %ls", label, m_rows.Cell(column));
      return false;
    }
    return true;
  };
  auto numbers = [&](int32_t column, const wchar_t* label, wchar_t* out, size_t size) {
    if (HasLetter(m_rows.Cell(column))) {
      CellErrorText(sheet, row, column, L"%ls cell holds a letter, which the record does not keep", label);
      return false;
    }
    return text(column, label, out, size, FieldForm::kUnpadded);
  };
  if (!text(kName, L"Name", record->name, RoadNameSize, FieldForm::kQuoted) ||
      !text(kInfo, L"Info", record->info, RoadNameSize, FieldForm::kQuoted) ||
      !text(kInfo2, L"Info2", record->info2, RoadInfo2Size, FieldForm::kQuoted) ||
      !whole(kVehicles, L"Vehicles", &record->vehicles) ||
      !text(kMacro, L"Vehicle macro", record->vehiclemacro, RoadMacroSize, FieldForm::kQuoted) ||
      !real(kCorr, L"Corr", &record->corrfactor) || !whole(kLanes, L"Lanes", &record->nolanes)) {
    return -1;
  }
  record->speed = m_lists.speeds ? m_lists.speeds->Find(m_rows.Cell(kSpeed)) : -1;
  if (record->speed < 0) {
    CellErrorText(sheet, row, kSpeed, L"Could not get index for speed: %ls", m_rows.Cell(kSpeed));
    return -1;
  }
  if (m_rows.Cell(kRoadtype)[0] != 0) {
    int32_t roadtype = m_lists.roadtypes ? m_lists.roadtypes->Find(m_rows.Cell(kRoadtype)) : -1;
    if (roadtype < 1 || roadtype > UINT16_MAX) {
      CellErrorText(sheet, row, kRoadtype, L"Could not get index for roadtype: %ls", m_rows.Cell(kRoadtype));
      return -1;
    }
    record->roadtype = static_cast<uint16_t>(roadtype);
  }
  for (int32_t i = 0; i < 7; ++i) {
    const wchar_t* cell = m_rows.Cell(kFirstSpeed + i);
    if (cell[0] == 0) continue;
    int32_t v = -1;
    if (record->roadtype != 0) {
      v = m_lists.speeds ? m_lists.speeds->Find(cell) : -1;
    } else if (const CRecordList* last = LastDimension(m_lists)) {
      v = last->Find(cell);
      if (v >= 0) ++v;
    }
    if (v < 0) {
      CellErrorText(sheet, row, kFirstSpeed + i, L"Could not get index for %ls: %ls", kSpeedLabels[i], cell);
      return -1;
    }
    *SpeedField(record, i) = v;
  }
  if (!real(kPercHeavy, L"Percent heavy", &record->percheavy)) return -1;
  for (int32_t k = 0; k < RoadSearchkeys; ++k) {
    const wchar_t* cell = m_rows.Cell(kSearchkey + k);
    if (cell[0] == 0) continue;
    int32_t key = m_lists.substances ? m_lists.substances[k + 1].Find(cell) : -1;
    if (key < 1 || key > UINT16_MAX) {
      CellErrorText(sheet, row, kSearchkey + k, L"Could not get index for searchkey%d: %ls", static_cast<int>(k + 1),
                    cell);
      return -1;
    }
    record->searchkey[k] = static_cast<uint16_t>(key);
  }
  if (!CellTextFits(sheet, row, kGeocode, L"Geocode", m_rows.Cell(kGeocode), RoadSheetCellSize - 1, FieldForm::kText)) {
    return -1;
  }
  if (geocode && CopyCode(geocode, m_rows.Cell(kGeocode)) != 0) return -1;
  if (!whole(kWidth, L"Width", &record->width) || !whole(kDistHouses, L"Dist. houses", &record->disthouses) ||
      !whole(kSlope, L"Slope", &record->slope) || !whole(kElevation, L"Elevation", &record->elevation) ||
      !numbers(kHeight, L"Building heights", record->height, RoadHeightSize) ||
      !real(kBarrierHeight, L"Barrier height 1", &record->barrierheight[0]) ||
      !real(kBarrierHeight + 1, L"Barrier height 2", &record->barrierheight[1]) ||
      !whole(kBarrierAngle, L"Barrier angle 1", &record->barrierangle[0]) ||
      !whole(kBarrierAngle + 1, L"Barrier angle 2", &record->barrierangle[1]) ||
      !real(kBarrierDistance, L"Barrier distance 1", &record->barrierdistance[0]) ||
      !real(kBarrierDistance + 1, L"Barrier distance 2", &record->barrierdistance[1]) ||
      !numbers(kNoise, L"Noise factors", record->noise, RoadNoiseSize)) {
    return -1;
  }

  // Emission factors: an empty cell is none, and nothing may follow it.
  int32_t factors = FactorColumns(m_lists);
  bool ended = false;
  for (int32_t k = 0; k < factors; ++k) {
    int32_t column = RoadFixedColumns + k;
    const wchar_t* cell = m_rows.Cell(column);
    if (cell[0] == 0) {
      ended = true;
      continue;
    }
    const CRecordList* list = Dimension(m_lists, k);
    int32_t v = list ? list->Find(cell) : -1;
    if (v < 0 || v >= UINT16_MAX || ended) {
      CellErrorText(sheet, row, column, ended ? L"Emission factor %d follows an empty one" : L"Unknown emission factor %d",
                    static_cast<int>(k));
      return -1;
    }
    record->emifac[k] = static_cast<uint16_t>(v + 1);
  }

  // The sections.
  std::wstring label = FieldText(record->name, RoadNameSize);
  int32_t c = RoadFixedColumns + Dimensions(m_lists);
  while (c < RoadSheetColumns && m_rows.Cell(c)[0] != 0) {
    Section section = MarkerOf(m_rows.Cell(c));
    if (section == Section::kNone) {
      CellErrorText(sheet, row, c, L"Garbage data: %ls", m_rows.Cell(c));
      return -1;
    }
    int32_t marker = c++;
    auto inSection = [&](int32_t at) { return at < RoadSheetColumns && m_rows.Cell(at)[0] != 0 && !IsMarker(m_rows.Cell(at)); };
    if (section == Section::kTraffic || section == Section::kEmis) {
      bool emis = section == Section::kEmis;
      if (traffic->Count() && std::signbit(traffic->value[0]) != emis) {
        CellErrorText(sheet, row, marker, L"A road cannot have both TRAFFIC and EMIS");
        return -1;
      }
      for (; inSection(c); c += 3) {
        if (!inSection(c + 1) || !inSection(c + 2)) {
          CellErrorText(sheet, row, c, L"Incomplete %ls entry: it needs three cells", emis ? L"EMIS" : L"TRAFFIC");
          return -1;
        }
        const wchar_t* what = m_rows.Cell(c);
        int32_t index = emis ? (m_lists.substances ? m_lists.substances->Find(what) : -1)
                             : (m_lists.roadVehicles ? m_lists.roadVehicles->Find(what) : -1);
        if (index < 0) {
          CellErrorText(sheet, row, c, emis ? L"Unknown substance: %ls" : L"Unknown road vehicle: %ls", what);
          return -1;
        }
        int32_t timevar = m_lists.timevars ? m_lists.timevars->Find(m_rows.Cell(c + 1)) : -1;
        if (timevar < 0) {
          CellErrorText(sheet, row, c + 1, L"Unknown timevar: %ls", m_rows.Cell(c + 1));
          return -1;
        }
        float value = 0;
        if (!real(c + 2, emis ? L"Emission factor" : L"Complex vehicle percentage", &value)) return -1;
        if (emis ? !(value > 0) : std::signbit(value)) {
          CellErrorText(sheet, row, c + 2, emis ? L"An emission must be above 0: %ls" : L"A share cannot be negative: %ls",
                        m_rows.Cell(c + 2));
          return -1;
        }
        if (!traffic->Add(index, timevar, emis ? -value : value)) {
          SetErrorText("Road (%s): Can't alloc traffic vector.\n", Narrow(label.c_str()).c_str());
          return -1;
        }
      }
    } else if (section == Section::kAlob) {
      for (; inSection(c); ++c) {
        wchar_t message[kFieldFaultSize];
        if (FieldFault(L"ALOB line", m_rows.Cell(c), static_cast<size_t>(MaxAlobLine) + 1, FieldForm::kText, message,
                       kFieldFaultSize)) {
          CellErrorText(sheet, row, c, L"%ls", message);
          return -1;
        }
        if (AlobConcatenate(alob, m_rows.Cell(c), label.c_str()) != 0) return -1;
      }
    } else {
      for (; inSection(c); c += 2) {
        int64_t x = 0, y = 0;
        if (!CellWhole(m_rows.Cell(c), 0, INT32_MAX, &x) || !inSection(c + 1) ||
            !CellWhole(m_rows.Cell(c + 1), 0, INT32_MAX, &y)) {
          CellErrorText(sheet, row, c, L"No coordinate specified or garbage");
          return -1;
        }
        if (coordinates->Count() == static_cast<size_t>(RoadMaxCoordinates)) {
          CellErrorText(sheet, row, c, L"Road has more than %d coordinates", static_cast<int>(RoadMaxCoordinates));
          return -1;
        }
        try {
          coordinates->x.push_back(static_cast<int32_t>(x));
          coordinates->y.push_back(static_cast<int32_t>(y));
        } catch (const std::bad_alloc&) {
          SetErrorText("ROAD (%s): Error allocating X", Narrow(label.c_str()).c_str());
          return -1;
        }
      }
    }
  }
  return 1;
}

// ---------------------------------------------------------------- verifier

int32_t CExcelVerifyRoad::Init(const wchar_t* sheet, const RoadSheetLists& lists, IssueList& errors,
                               IssueList& warnings) {
  NoNoiseFactors = 0;
  m_lists = lists;
  m_pChecker.reset(new (std::nothrow) CCellChecker(sheet, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return m_rows.Open(sheet);
}

int32_t CExcelVerifyRoad::VerifyRec() {
  if (!m_pChecker) {
    SetErrorText("The road sheet was verified before it was opened");
    return -1;
  }
  CCellChecker& check = *m_pChecker;
  int32_t r = m_rows.ReadRow();
  if (r < 0) return -1;
  int32_t row = m_rows.Row();
  if (r == 0) {
    for (int32_t c : m_rows.Unreadable()) check.Errors().Add(m_rows.Sheet(), row, c, L"%ls", kUnreadableCell);
  }
  if (m_rows.Cell(kName)[0] == 0) {
    for (int32_t c = 0; c < RoadSheetColumns; ++c) {
      if (m_rows.Cell(c)[0] != 0) check.Warnings().Add(m_rows.Sheet(), row, c, L"Missing name or garbage data in row.");
    }
    return 0;
  }
  VerifyFixed();
  return 1;
}

void CExcelVerifyRoad::VerifyFixed() {
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  const wchar_t* sheet = m_rows.Sheet();
  int32_t row = m_rows.Row();
  auto cell = [this](int32_t c) { return m_rows.Cell(c); };
  check.CheckText(row, kName, L"Name", cell(kName), RoadNameSize, FieldForm::kQuoted);
  check.CheckText(row, kInfo, L"Info", cell(kInfo), RoadNameSize, FieldForm::kQuoted);
  check.CheckText(row, kInfo2, L"Info2", cell(kInfo2), RoadInfo2Size, FieldForm::kQuoted);
  check.CheckLong(row, kVehicles, L"Vehicles", cell(kVehicles), 0, 9999999);
  check.CheckText(row, kMacro, L"Vehicle macro", cell(kMacro), RoadMacroSize, FieldForm::kQuoted);
  check.CheckFloat(row, kCorr, L"Corr", cell(kCorr), 0.01f, 1e15f);
  check.CheckLong(row, kLanes, L"Lanes", cell(kLanes), 1, 99);
  if (!m_lists.speeds || m_lists.speeds->Find(cell(kSpeed)) < 0) errors.Add(sheet, row, kSpeed, L"Unknown Speed");
  bool roadtype = cell(kRoadtype)[0] != 0;
  if (roadtype && (!m_lists.roadtypes || m_lists.roadtypes->Find(cell(kRoadtype)) < 1)) {
    errors.Add(sheet, row, kRoadtype, L"Unknown Roadtype");
  }
  VerifySpeeds(roadtype);
  check.CheckFloat(row, kPercHeavy, L"Percent heavy", cell(kPercHeavy), 0, 9999999);
  for (int32_t k = 0; k < RoadSearchkeys; ++k) {
    const wchar_t* key = cell(kSearchkey + k);
    if (key[0] != 0 && (!m_lists.substances || m_lists.substances[k + 1].Find(key) < 1)) {
      errors.Add(sheet, row, kSearchkey + k, L"Unknown SearchKey%d", static_cast<int>(k + 1));
    }
  }
  check.CheckText(row, kGeocode, L"Geocode", cell(kGeocode), RoadSheetCellSize - 1, FieldForm::kText);
  check.CheckLong(row, kWidth, L"Width", cell(kWidth), 0, 255);
  check.CheckLong(row, kDistHouses, L"Dist. houses", cell(kDistHouses), 0, 255);
  check.CheckLong(row, kSlope, L"Slope", cell(kSlope), -127, 127);
  check.CheckLong(row, kElevation, L"Elevation", cell(kElevation), 0, 127);
  VerifyNumbersText(kHeight, true);
  static const wchar_t* const kBarrier[6] = {L"Barrier height 1", L"Barrier height 2",   L"Barrier angle 1",
                                             L"Barrier angle 2",  L"Barrier distance 1", L"Barrier distance 2"};
  for (int32_t i = 0; i < 2; ++i) {
    check.CheckFloat(row, kBarrierHeight + i, kBarrier[i], cell(kBarrierHeight + i), 0, 127);
    check.CheckLong(row, kBarrierAngle + i, kBarrier[2 + i], cell(kBarrierAngle + i), 0, 360);
    check.CheckFloat(row, kBarrierDistance + i, kBarrier[4 + i], cell(kBarrierDistance + i), 0, 999);
  }
  VerifyNumbersText(kNoise, false);

  int32_t dimensions = Dimensions(m_lists);
  int32_t after = RoadFixedColumns + dimensions;
  bool usesRoadtype = roadtype || (after < RoadSheetColumns && wcscmp(cell(after), L"EMIS") == 0);
  bool ended = false;
  for (int32_t k = 0; k < dimensions; ++k) {
    int32_t column = RoadFixedColumns + k;
    const wchar_t* factor = cell(column);
    if (usesRoadtype) {
      if (factor[0] != 0) {
        errors.Add(sheet, row, column, L"Road referencing a roadtype has a non empty emission factor %d",
                   static_cast<int>(k));
      }
    } else if (factor[0] == 0) {
      errors.Add(sheet, row, column, L"Road has an empty emission factor %d", static_cast<int>(k));
      ended = true;
    } else if (k >= RoadEmissionFactors) {
      errors.Add(sheet, row, column, L"A road holds at most %d emission factors", RoadEmissionFactors);
    } else if (!Dimension(m_lists, k) || Dimension(m_lists, k)->Find(factor) < 0) {
      errors.Add(sheet, row, column, L"Unknown emission factor %d", static_cast<int>(k));
    }
  }
  (void)ended;
  VerifySections(after);
}

void CExcelVerifyRoad::VerifySpeeds(bool roadtype) {
  IssueList& errors = m_pChecker->Errors();
  const wchar_t* sheet = m_rows.Sheet();
  int32_t row = m_rows.Row();
  bool earlier = m_rows.Cell(kFirstSpeed)[0] != 0;
  for (int32_t c = kFirstSpeed + 1; c <= kLastSpeed; ++c) {
    bool given = m_rows.Cell(c)[0] != 0;
    if (given != earlier) errors.Add(sheet, row, c, L"All speeds must be specified or none");
    earlier = earlier || given;
  }
  static const wchar_t* const kUnknown[7] = {L"Unknown congestion speed: %ls",    L"Unknown congestion speed 2",
                                             L"Unknown congestion speed 3",       L"Unknown heavy speed",
                                             L"Unknown heavy congestion speed",   L"Unknown heavy congestion speed 2",
                                             L"Unknown heavy congestion speed 3"};
  const CRecordList* list = roadtype ? m_lists.speeds : LastDimension(m_lists);
  for (int32_t i = 0; i < 7; ++i) {
    const wchar_t* name = m_rows.Cell(kFirstSpeed + i);
    if (name[0] != 0 && (!list || list->Find(name) < 0)) errors.Add(sheet, row, kFirstSpeed + i, kUnknown[i], name);
  }
}

void CExcelVerifyRoad::VerifyNumbersText(int32_t column, bool heights) {
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  const wchar_t* sheet = m_rows.Sheet();
  int32_t row = m_rows.Row();
  const wchar_t* text = m_rows.Cell(column);
  const wchar_t* label = heights ? L"Building heights" : L"Noise factors";
  if (check.CheckText(row, column, label, text, heights ? RoadHeightSize : RoadNoiseSize, FieldForm::kUnpadded) != 1) {
    return;
  }
  std::vector<double> values;
  bool numbers = !HasLetter(text) && Values(text, &values);
  if (heights) {
    if (!numbers) {
      errors.Add(sheet, row, column, L"Building heights must be in the interval of 0 to 255");
      return;
    }
    size_t n = values.size() < 12 ? values.size() : 12;
    for (size_t i = 0; i < n; ++i) {
      if (values[i] < 0 || values[i] > 255) {
        errors.Add(sheet, row, column, L"Building heights must be in the interval of 0 to 255");
        break;
      }
    }
    if (values.size() < 12) errors.Add(sheet, row, column, L"Must specify 12 building heights");
    return;
  }
  if (!numbers) {
    errors.Add(sheet, row, column, L"Noise factors must be in the interval of 1 to 99999");
    return;
  }
  int32_t n = static_cast<int32_t>(values.size() < 10 ? values.size() : 10);
  for (int32_t i = 0; i < n; ++i) {
    if (values[static_cast<size_t>(i)] < 0 || values[static_cast<size_t>(i)] > 99999) {
      errors.Add(sheet, row, column, L"Noise factors must be in the interval of 1 to 99999");
      break;
    }
  }
  if (n > 0 && NoNoiseFactors == 0) {
    NoNoiseFactors = n;
  } else if (n == 0 && NoNoiseFactors != 0) {
    errors.Add(sheet, row, column, L"Number of noise factors differs from erlier roads");
  } else if (n != NoNoiseFactors) {
    errors.Add(sheet, row, column, L"Number of noise factors differs from erlier roads %d (%d)", static_cast<int>(n),
               static_cast<int>(NoNoiseFactors));
  }
}

void CExcelVerifyRoad::VerifySections(int32_t from) {
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  const wchar_t* sheet = m_rows.Sheet();
  int32_t row = m_rows.Row();
  auto cell = [this](int32_t c) { return m_rows.Cell(c); };
  auto inSection = [&](int32_t at) { return at < RoadSheetColumns && cell(at)[0] != 0 && !IsMarker(cell(at)); };
  bool traffic = false, emis = false, coord = false;
  int32_t c = from;
  while (c < RoadSheetColumns && cell(c)[0] != 0) {
    Section section = MarkerOf(cell(c));
    if (section == Section::kNone) {
      errors.Add(sheet, row, c, L"Garbage data");
      ++c;
      continue;
    }
    int32_t marker = c++;
    if (section == Section::kTraffic || section == Section::kEmis) {
      bool isEmis = section == Section::kEmis;
      (isEmis ? emis : traffic) = true;
      if (traffic && emis) errors.Add(sheet, row, marker, L"A road cannot have both TRAFFIC and EMIS");
      for (; inSection(c); c += 3) {
        if (!inSection(c + 1) || !inSection(c + 2)) {
          errors.Add(sheet, row, c, L"Incomplete %ls entry: it needs three cells", isEmis ? L"EMIS" : L"TRAFFIC");
          c += inSection(c + 1) ? 2 : 1;
          break;
        }
        const CRecordList* list = isEmis ? m_lists.substances : m_lists.roadVehicles;
        if (!list || list->Find(cell(c)) < 0) {
          errors.Add(sheet, row, c, isEmis ? L"Unknown substance: %ls" : L"Unknown road vehicle: %ls", cell(c));
        }
        if (!m_lists.timevars || m_lists.timevars->Find(cell(c + 1)) < 0) errors.Add(sheet, row, c + 1, L"Unknown timevar");
        double value = 0;
        if (check.CheckFloat(row, c + 2, isEmis ? L"Emission factor" : L"Complex vehicle percentage", cell(c + 2), 0,
                             1e9f, &value) == 1 &&
            isEmis && !(value > 0)) {
          errors.Add(sheet, row, c + 2, L"An emission must be above 0");
        }
      }
    } else if (section == Section::kAlob) {
      for (; inSection(c); ++c) {
        check.CheckText(row, c, L"ALOB line", cell(c), static_cast<size_t>(MaxAlobLine) + 1, FieldForm::kText);
      }
    } else {
      coord = true;
      int32_t pairs = 0;
      bool good = true;
      for (; inSection(c); c += 2) {
        int64_t x = 0, y = 0;
        if (!CellWhole(cell(c), 1, INT32_MAX, &x) || !inSection(c + 1) || !CellWhole(cell(c + 1), 1, INT32_MAX, &y)) {
          errors.Add(sheet, row, c, L"No coordinate specified or garbage");
          good = false;
          if (!inSection(c + 1)) {
            ++c;
            break;
          }
          continue;
        }
        ++pairs;
      }
      if (good && pairs < 2) errors.Add(sheet, row, marker, L"Must have at least two coordinate pairs for a road");
      if (pairs > RoadMaxCoordinates) {
        errors.Add(sheet, row, marker, L"Road has more than %d coordinates", static_cast<int>(RoadMaxCoordinates));
      }
    }
  }
  if (!coord) errors.Add(sheet, row, from, L"Must have at least two coordinate pairs for a road");
}
