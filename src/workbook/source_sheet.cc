// The "Source" sheet (see source_sheet.h).
#include "workbook/source_sheet.h"

#include <cfloat>
#include <cstdarg>
#include <cwchar>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/alob_cell.h"
#include "workbook/cell_number.h"
#include "workbook/cell_text.h"
#include "workbook/date_code.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_open.h"

namespace {

enum Column : int32_t {
  kName = 0,
  kX1 = 1,
  kY1 = 2,
  kX2 = 3,
  kY2 = 4,
  kFacility = 5,
  kInfo = 6,
  kInfo2 = 7,
  kDate = 8,
  kChanged = 9,
  kChimneyHeight = 10,
  kGasTemperature = 11,
  kGasFlow = 12,
  kChimneyOut = 13,
  kChimneyIn = 14,
  kHouseWidth = 15,
  kHouseHeight = 16,
  kSegments = 17,
  kBuilding = 18,  // 18 .. 22
  kSearchkey = 23,  // 23 .. 27
  kFormulaMacro = 28,
  kGeocode = 29,
  kAlob = 30,
};

constexpr int64_t kMaxCoordinate = 2147483647;
// A code (geocode, activity code) goes on one record line with its keyword.
constexpr size_t kCodeSize = 8001;
// Every cell is read whole: one character more than a cell holds.
constexpr int32_t kCellRead = AlobCellReadSize;

struct BuildingRule {
  const wchar_t* missing;
  const wchar_t* range;
  const wchar_t* count;
  int64_t high;
};
const BuildingRule kBuildingRules[SourceBuildingLists] = {
    {L"Must specify no seg building widths", L"Building widths must be in the interval of 0 to 255",
     L"Number of building widths does not match the ones specified in number of segments", 255},
    {L"Must specify no seg building heights", L"Building heights must be in the interval of 0 to 255",
     L"Number of building heights does not match the ones specified in number of segments", 255},
    {L"Must specify no seg building lengths", L"Building lengths must be in the interval of 0 to 32000",
     L"Number of building lengths does not match the ones specified in number of segments", 32000},
    {L"Must specify no seg distances to farest wall",
     L"Distance to farest wall must be in the interval of 0 to 32000",
     L"Number of distances to farest wall does not match the ones specified in number of segments", 32000},
    {L"Must specify no seg distances to center", L"Distance to center must be in the interval of 0 to 32000",
     L"Number of distances to center does not match the ones specified in number of segments", 32000},
};

// The point-source columns 10 .. 16: label, bound, and the message for an
// area source.
struct PointRule {
  int32_t column;
  const wchar_t* label;
  int64_t high;
  const wchar_t* area;
};
const PointRule kPoint[7] = {
    {kChimneyHeight, L"Chimney height", 999, L"Chimney height can not be set for an area source"},
    {kGasTemperature, L"Gas temperature", 10999, L"Gas temperature can not be set for an area source"},
    {kGasFlow, L"Gas flow", 999, L"Gas flow can not be set for an area source"},
    {kChimneyOut, L"Chimney outer diam.", 999, L"Chimney outer diameter can not be set for an area source"},
    {kChimneyIn, L"Chimney inner diam.", 999, L"Chimney inner diameter can not be set for an area source"},
    {kHouseWidth, L"House width", 999, L"House width can not be set for an area source"},
    {kHouseHeight, L"House height", 500, L"House height can not be set for an area source"},
};

const wchar_t* const kSubHeadings[SourceSubBlockColumns - 1] = {L"Timevar", L"Emission", L"Unit",
                                                                 L"Macro",   L"Actcode",  L"ALOB"};
const wchar_t* const kGroupHeadings[SourceGroupBlockColumns - 1] = {L"Timevar", L"Activity", L"Unit", L"Actcode",
                                                                     L"ALOB"};
const wchar_t* const kFunctionHeadings[SourceFunctionBlockColumns - 1] = {L"Timevar", L"Actcode", L"ALOB"};

std::wstring Heading(const wchar_t* kind, int32_t k, const wchar_t* what) {
  return std::wstring(L"Emission ") + kind + L" " + std::to_wstring(k) + L": " + what;
}

std::wstring VarHeading(int32_t k, int32_t v) { return Heading(L"func", k, (L"Var " + std::to_wstring(v)).c_str()); }

bool Empty(const wchar_t* text) {
  for (; *text; ++text) {
    if (*text != L' ' && *text != L'\t') return false;
  }
  return true;
}

// ---------------------------------------------------------------- one row

// Turns the cells of one row into a source.  A verifier gives an issue list:
// every fault becomes an issue and the row is read on.  A reader gives none:
// the first fault sets ErrorText with its place and the row is refused.
class RowParse {
 public:
  RowParse(const SourceSheetLists& lists, const CSourceInfo& layout, int32_t row, wchar_t* const* cells,
           IssueList* errors)
      : m_lists(lists), m_layout(layout), m_row(row), m_cells(cells), m_errors(errors) {}

  // False when a reader must refuse the row.
  bool Parse(SourceRec* rec);

 private:
  const wchar_t* Cell(int32_t c) const { return m_cells[c]; }
  bool Stop() const { return m_failed && !m_errors; }

  void Fault(int32_t column, const wchar_t* format, ...) {
    wchar_t message[512];
    va_list args;
    va_start(args, format);
    listtext::FormatCutV(message, 512, format, args);
    va_end(args);
    if (m_errors) {
      m_errors->Add(SourceSheetName, m_row, column, L"%ls", message);
    } else if (!m_failed) {
      CellErrorText(SourceSheetName, m_row, column, L"%ls", message);
    }
    m_failed = true;
  }

  void Text(int32_t column, const wchar_t* label, size_t size, FieldForm form, wchar_t* out) {
    wchar_t message[kFieldFaultSize];
    if (FieldFault(label, Cell(column), size, form, message, kFieldFaultSize)) {
      Fault(column, L"%ls", message);
    } else if (out) {
      listtext::CopyCut(out, size, Cell(column));
    }
  }

  bool Whole(int32_t column, const wchar_t* label, int64_t low, int64_t high, int64_t* value) {
    if (CellWhole(Cell(column), low, high, value)) return true;
    // Every bound of the sheet fits 32 bits.
    Fault(column, L"%ls cell not a whole number from %d to %d: %ls", label, static_cast<int>(low),
          static_cast<int>(high), Cell(column));
    return false;
  }

  bool Real(int32_t column, const wchar_t* label, float low, float high, float* value) {
    if (!CellReal(Cell(column), value)) {
      Fault(column, L"%ls cell not a number that a 32-bit float holds: %ls", label, Cell(column));
      return false;
    }
    if (*value >= low && *value <= high) return true;
    Fault(column, L"%ls cell value out of range [%lg,%lg]", label, static_cast<double>(low),
          static_cast<double>(high));
    return false;
  }

  void Alob(int32_t column, const wchar_t* name, ::Alob* alob) {
    wchar_t message[kFieldFaultSize];
    if (AlobCellFault(Cell(column), message, kFieldFaultSize)) {
      Fault(column, L"%ls", message);
    } else if (Cell(column)[0] != 0 && AlobConcatenate(alob, Cell(column), name) != 0) {
      m_failed = true;
      if (m_errors) m_errors->Add(SourceSheetName, m_row, column, L"Out of memory for the ALOB");
    }
  }

  // An empty time-variation cell leaves the block out: the block's other
  // cells must then be empty too, else what the user typed would be lost.
  bool BlockGiven(int32_t c, int32_t columns, int32_t k, const wchar_t* kind) {
    if (!Empty(Cell(c))) Fault(c, L"Cell not empty");
    if (!Empty(Cell(c + 1))) return true;
    for (int32_t j = 2; j < columns; ++j) {
      if (!Empty(Cell(c + j))) {
        Fault(c + 1, L"Emission %ls %d has values but no Timevar; give one or empty the block", kind,
              static_cast<int>(k));
        break;
      }
    }
    return false;
  }

  int32_t Timevar(int32_t column) {
    int32_t index = m_lists.timevars->Find(Cell(column));
    if (index < 0) Fault(column, L"Unknown timevar");
    return index;
  }

  void Fixed(SourceRec* rec);
  void Blocks(SourceRec* rec);

  const SourceSheetLists& m_lists;
  const CSourceInfo& m_layout;
  int32_t m_row;
  wchar_t* const* m_cells;
  IssueList* m_errors;
  bool m_failed = false;
};

void RowParse::Fixed(SourceRec* rec) {
  Text(kName, L"Name", SourceNameSize, FieldForm::kQuoted, rec->name);
  int64_t v = 0;
  if (Whole(kX1, L"X1", 1, kMaxCoordinate, &v)) rec->x1 = static_cast<uint32_t>(v);
  if (Whole(kY1, L"Y1", 1, kMaxCoordinate, &v)) rec->y1 = static_cast<uint32_t>(v);
  if (Stop()) return;
  bool area = !Empty(Cell(kX2));
  if (area != !Empty(Cell(kY2))) {
    Fault(kY2, L"Must specify none or both of (X2,Y2)");
  } else if (area) {
    if (Whole(kX2, L"X2", 1, kMaxCoordinate, &v)) rec->x2 = static_cast<uint32_t>(v);
    if (Whole(kY2, L"Y2", 1, kMaxCoordinate, &v)) rec->y2 = static_cast<uint32_t>(v);
  }
  if (!Empty(Cell(kFacility))) {
    Text(kFacility, L"Facility", SourceNameSize, FieldForm::kQuoted, nullptr);
    const wchar_t* key = m_lists.facilities->FindKey(Cell(kFacility));
    if (!key || !CRecordListKey::ParseKey(key, &rec->px, &rec->py)) {
      Fault(kFacility, L"Unknown facility: %ls", Cell(kFacility));
    }
  }
  Text(kInfo, L"Info", SourceNameSize, FieldForm::kQuoted, rec->info);
  Text(kInfo2, L"Info2", SourceInfo2Size, FieldForm::kQuoted, rec->info2);
  if (Stop()) return;
  const wchar_t* dateLabels[2] = {L"Date", L"Changed"};
  uint32_t* dates[2] = {&rec->date, &rec->changed};
  for (int i = 0; i < 2; ++i) {
    int32_t column = kDate + i;
    if (Empty(Cell(column))) continue;
    *dates[i] = CellToDateCode(Cell(column));
    if (*dates[i] == 0) Fault(column, L"%ls cell is not a date: %ls", dateLabels[i], Cell(column));
  }
  if (Stop()) return;
  uint16_t* whole[7] = {&rec->chimneyHeight, &rec->gasTemperature, &rec->gasFlow, nullptr, nullptr,
                        &rec->houseWidth,    &rec->houseHeight};
  float* reals[7] = {nullptr, nullptr, nullptr, &rec->chimneyOut, &rec->chimneyIn, nullptr, nullptr};
  for (int i = 0; i < 7; ++i) {
    const PointRule& rule = kPoint[i];
    if (area) {
      if (!Empty(Cell(rule.column))) Fault(rule.column, L"%ls", rule.area);
    } else if (whole[i]) {
      if (Whole(rule.column, rule.label, 0, rule.high, &v)) *whole[i] = static_cast<uint16_t>(v);
    } else {
      Real(rule.column, rule.label, 0, static_cast<float>(rule.high), reals[i]);
    }
    if (Stop()) return;
  }
  bool segments = Whole(kSegments, L"No seg", 0, SourceMaxSegments, &v);
  if (segments) rec->nosegments = static_cast<int32_t>(v);
  for (int32_t list = 0; segments && list < SourceBuildingLists; ++list) {
    const BuildingRule& rule = kBuildingRules[list];
    int32_t column = kBuilding + list;
    const wchar_t* p = Cell(column);
    if (Empty(p)) {
      if (rec->nosegments != 0) Fault(column, L"%ls", rule.missing);
      continue;
    }
    int32_t count = 0;
    bool inRange = true;
    for (;;) {
      while (*p == L' ' || *p == L'\t') ++p;
      if (*p == 0) break;
      const wchar_t* start = p;
      while (*p && *p != L' ' && *p != L'\t') ++p;
      std::wstring word(start, p);
      int64_t value = 0;
      if (!CellWhole(word.c_str(), 0, rule.high, &value)) {
        inRange = false;
        Fault(column, L"%ls", rule.range);
      } else if (count < SourceMaxSegments) {
        rec->build[list][count] = static_cast<int32_t>(value);
      }
      ++count;
    }
    if (inRange && count != rec->nosegments) Fault(column, L"%ls", rule.count);
    if (Stop()) return;
  }
  for (int32_t k = 1; k <= SourceSearchkeys; ++k) {
    int32_t column = kSearchkey + k - 1;
    if (Empty(Cell(column))) continue;
    int32_t index = m_lists.subs[k].Find(Cell(column));
    if (index < 1 || index > UINT16_MAX) {
      Fault(column, L"Unknown SearchKey%d", static_cast<int>(k));
    } else {
      rec->searchkey[k - 1] = static_cast<uint16_t>(index);
    }
  }
  Text(kFormulaMacro, L"Formula macro", SourceMacroSize, FieldForm::kQuoted, rec->formulaMacro);
  Text(kGeocode, L"Geocode", kCodeSize, FieldForm::kText, nullptr);
  if (!Stop() && CopyCode(&rec->geocode, Cell(kGeocode)) != 0) m_failed = true;
  Alob(kAlob, rec->name, &rec->alob);
}

void RowParse::Blocks(SourceRec* rec) {
  int32_t c = SourceFixedColumns;
  for (int32_t k = 0; k < m_layout.SubCount() && !Stop(); ++k, c += SourceSubBlockColumns) {
    if (!BlockGiven(c, SourceSubBlockColumns, k + 1, L"sub")) continue;
    SourceEmission* e = rec->emissions.Append();
    if (!e) {
      SetErrorText("Source (%s): Can not allocate emission container.\n", Narrow(rec->name).c_str());
      m_failed = true;
      return;
    }
    e->substance = m_layout.Sub(k);
    e->timevar = Timevar(c + 1);
    Text(c + 4, L"Macro", SourceBlockMacroSize, FieldForm::kText, e->macro);
    float low = Empty(Cell(c + 4)) ? 0.0f : -FLT_MAX;
    Real(c + 2, L"Emission", low, FLT_MAX, &e->emission);
    if (Empty(Cell(c + 3))) {
      Fault(c + 3, L"Emission without unit");
    } else {
      Text(c + 3, L"Unit", SourceUnitSize, FieldForm::kText, e->unit);
      if (m_lists.subUnits->Find(Cell(c + 3)) < 0) Fault(c + 3, L"Unknown substance unit");
    }
    Text(c + 5, L"Actcode", kCodeSize, FieldForm::kText, nullptr);
    if (!Stop() && CopyCode(&e->actcode, Cell(c + 5)) != 0) m_failed = true;
    Alob(c + 6, rec->name, &e->alob);
  }
  for (int32_t k = 0; k < m_layout.GroupCount() && !Stop(); ++k, c += SourceGroupBlockColumns) {
    if (!BlockGiven(c, SourceGroupBlockColumns, k + 1, L"fac")) continue;
    SourceSubgrp* g = rec->subgroups.Append();
    if (!g) {
      SetErrorText("Can't allocate subgrp container (%s)\n", Narrow(rec->name).c_str());
      m_failed = true;
      return;
    }
    g->subgrp = m_layout.Group(k);
    g->timevar = Timevar(c + 1);
    Real(c + 2, L"Activity", FLT_MIN, FLT_MAX, &g->activity);
    if (Empty(Cell(c + 3))) {
      Fault(c + 3, L"Emission without unit");
    } else {
      Text(c + 3, L"Unit", SourceUnitSize, FieldForm::kText, g->unit);
      if (m_lists.subgrpUnits->Find(Cell(c + 3)) < 0) Fault(c + 3, L"Unknown sub grp activity unit");
    }
    Text(c + 4, L"Actcode", kCodeSize, FieldForm::kText, nullptr);
    if (!Stop() && CopyCode(&g->actcode, Cell(c + 4)) != 0) m_failed = true;
    Alob(c + 5, rec->name, &g->alob);
  }
  for (int32_t k = 0; k < m_layout.FormulaCount() && !Stop(); ++k) {
    int32_t variables = m_layout.Variables(k);
    int32_t columns = SourceFunctionBlockColumns + variables;
    int32_t start = c;
    c += columns;
    if (!BlockGiven(start, columns, k + 1, L"func")) continue;
    SourceActivity* a = rec->activities.Append();
    if (!a) {
      SetErrorText("Can't allocate activity container (%s)\n", Narrow(rec->name).c_str());
      m_failed = true;
      return;
    }
    a->emfac = m_layout.Formula(k);
    a->timevar = Timevar(start + 1);
    Text(start + 2, L"Actcode", kCodeSize, FieldForm::kText, nullptr);
    if (!Stop() && CopyCode(&a->actcode, Cell(start + 2)) != 0) m_failed = true;
    Alob(start + 3, rec->name, &a->alob);
    bool gap = false;
    for (int32_t v = 0; v < variables; ++v) {
      int32_t column = start + SourceFunctionBlockColumns + v;
      if (Empty(Cell(column))) {
        gap = true;
        continue;
      }
      // Variables are numbered by their place: one after an empty cell would
      // be saved as another variable.
      if (gap) {
        Fault(column, L"Var %d is given after an empty Var cell; variables must stand without gaps",
              static_cast<int>(v + 1));
      }
      float value = 0;
      if (Real(column, L"Activity", -FLT_MAX, FLT_MAX, &value) && a->novariable < SourceMaxVariables) {
        a->var[a->novariable] = value;
      }
      ++a->novariable;
    }
    if (a->novariable > SourceMaxVariables) {
      Fault(start, L"Emission func %d has more than %d variables", static_cast<int>(k + 1),
            static_cast<int>(SourceMaxVariables));
    }
  }
}

bool RowParse::Parse(SourceRec* rec) {
  Fixed(rec);
  if (!Stop()) Blocks(rec);
  return !m_failed;
}

// Opens a row reader over the fixed columns and the layout's blocks with its
// buffers: 1, 0 (no sheet) or -1.
int32_t OpenRows(const CSourceInfo& layout, std::unique_ptr<CSheetRowReader>* rows, std::unique_ptr<wchar_t[]>* buf,
                 std::vector<wchar_t*>* texts) {
  int32_t columns = SourceFixedColumns + SourceBlockColumns(layout);
  texts->assign(static_cast<size_t>(columns), nullptr);
  // Left uninitialised: the reader writes each cell's text before it is read.
  buf->reset(new (std::nothrow) wchar_t[static_cast<size_t>(columns) * kCellRead]);
  if (!*buf) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  for (size_t c = 0; c < texts->size(); ++c) {
    (*texts)[c] = buf->get() + c * kCellRead;
    (*texts)[c][0] = 0;
  }
  rows->reset(new (std::nothrow) CSheetRowReader(1, 0, columns, kCellRead, SourceSheetName));
  if (!*rows) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return (*rows)->Init();
}

}  // namespace

int32_t SourceBlockColumns(const CSourceInfo& layout) {
  int32_t columns = SourceSubBlockColumns * layout.SubCount() + SourceGroupBlockColumns * layout.GroupCount();
  for (int32_t k = 0; k < layout.FormulaCount(); ++k) columns += SourceFunctionBlockColumns + layout.Variables(k);
  return columns;
}

// ---------------------------------------------------------------- layout

int32_t ReadSourceLayout(CSheetCellReader& cells, const SourceSheetLists& lists, CSourceInfo* layout,
                         IssueList& errors, bool* damaged) {
  layout->Reset();
  *damaged = false;
  std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[kCellRead]);
  if (!text) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  auto read = [&](int32_t column) {
    int32_t r = cells.ReadCell(0, column, text.get());
    if (r == 0) text[0] = 0;  // an error value: no heading
    return r < 0 ? -1 : 1;
  };
  auto broken = [&](int32_t column, const wchar_t* format, const std::wstring& want) {
    errors.Add(SourceSheetName, 0, column, format, want.c_str(), text.get());
    *damaged = true;
  };
  // The heading cells after the first of a block, as the layout needs them.
  auto follow = [&](int32_t c, const wchar_t* kind, int32_t k, const wchar_t* const* headings, int32_t n) {
    for (int32_t j = 0; j < n; ++j) {
      if (read(c + 1 + j) < 0) return -1;
      std::wstring want = Heading(kind, k, headings[j]);
      if (want != text.get()) {
        broken(c + 1 + j, L"Heading should be \"%ls\", not \"%ls\": the block's columns were moved or deleted",
               want);
        return 0;
      }
    }
    return 1;
  };
  int32_t c = SourceFixedColumns;
  if (read(c) < 0) return -1;
  while (text[0] != 0) {
    std::wstring sub = Heading(L"sub", layout->SubCount() + 1, L"");
    std::wstring fac = Heading(L"fac", layout->GroupCount() + 1, L"");
    std::wstring func = Heading(L"func", layout->FormulaCount() + 1, L"");
    const wchar_t* cell = text.get();
    int32_t r = 0;
    if (layout->GroupCount() == 0 && layout->FormulaCount() == 0 && wcsncmp(cell, sub.c_str(), sub.size()) == 0) {
      int32_t index = lists.subs[0].Find(cell + sub.size());
      if (index < 0) errors.Add(SourceSheetName, 0, c, L"Unknown substance: %ls", cell + sub.size());
      if (layout->AppendSub(index) != 0) return -1;
      r = follow(c, L"sub", layout->SubCount(), kSubHeadings, SourceSubBlockColumns - 1);
      c += SourceSubBlockColumns;
    } else if (layout->FormulaCount() == 0 && wcsncmp(cell, fac.c_str(), fac.size()) == 0) {
      int32_t index = lists.subgrps->Find(cell + fac.size());
      if (index < 0) errors.Add(SourceSheetName, 0, c, L"Unknown emission factor: %ls", cell + fac.size());
      if (layout->AppendGroup(index) != 0) return -1;
      r = follow(c, L"fac", layout->GroupCount(), kGroupHeadings, SourceGroupBlockColumns - 1);
      c += SourceGroupBlockColumns;
    } else if (wcsncmp(cell, func.c_str(), func.size()) == 0) {
      int32_t index = lists.emfacs->Find(cell + func.size());
      if (index < 0) errors.Add(SourceSheetName, 0, c, L"Unknown formula: %ls", cell + func.size());
      if (layout->AppendFormula(index) != 0) return -1;
      int32_t block = layout->FormulaCount() - 1;
      r = follow(c, L"func", layout->FormulaCount(), kFunctionHeadings, SourceFunctionBlockColumns - 1);
      c += SourceFunctionBlockColumns;
      while (r == 1) {
        if (read(c) < 0) return -1;
        if (VarHeading(block + 1, layout->Variables(block) + 1) != text.get()) break;
        if (layout->Variables(block) == SourceMaxVariables) {
          errors.Add(SourceSheetName, 0, c, L"An emission function holds at most %d variables",
                     static_cast<int>(SourceMaxVariables));
          *damaged = true;
          return 1;
        }
        layout->AddVariable(block);
        ++c;
      }
      if (r == 1) continue;  // the cell at c is read
    } else {
      errors.Add(SourceSheetName, 0, c, L"Unknown emission specification: %ls", cell);
      *damaged = true;
      return 1;
    }
    if (r < 0) return -1;
    if (r == 0) return 1;
    if (read(c) < 0) return -1;
  }
  return 1;
}

// ---------------------------------------------------------------- writer

CExcelWriteSource::CExcelWriteSource() = default;
CExcelWriteSource::~CExcelWriteSource() = default;

int32_t CExcelWriteSource::Init(const SourceSheetLists& lists) {
  m_lists = lists;
  return 1;
}

int32_t CExcelWriteSource::WriteHeader(const SourceRec& rec) {
  const SourceListingHeader& h = rec.header;
  std::vector<std::wstring> headings;
  for (size_t k = 0; k < h.subs.size(); ++k) {
    const wchar_t* name = m_lists.subs[0].NameOf(h.subs[k]);
    if (!name) {
      SetErrorText("Could not get substance %d", static_cast<int>(h.subs[k]));
      return -1;
    }
    int32_t n = static_cast<int32_t>(k + 1);
    headings.push_back(Heading(L"sub", n, name));
    for (const wchar_t* what : kSubHeadings) headings.push_back(Heading(L"sub", n, what));
  }
  for (size_t k = 0; k < h.groups.size(); ++k) {
    const wchar_t* name = m_lists.subgrps->NameOf(h.groups[k]);
    if (!name) {
      SetErrorText("Could not get substance group %d", static_cast<int>(h.groups[k]));
      return -1;
    }
    int32_t n = static_cast<int32_t>(k + 1);
    headings.push_back(Heading(L"fac", n, name));
    for (const wchar_t* what : kGroupHeadings) headings.push_back(Heading(L"fac", n, what));
  }
  for (size_t k = 0; k < h.formulas.size(); ++k) {
    const wchar_t* name = m_lists.emfacs->NameOf(h.formulas[k]);
    if (!name) {
      SetErrorText("Could not get emission factor %d", static_cast<int>(h.formulas[k]));
      return -1;
    }
    int32_t n = static_cast<int32_t>(k + 1);
    headings.push_back(Heading(L"func", n, name));
    for (const wchar_t* what : kFunctionHeadings) headings.push_back(Heading(L"func", n, what));
    for (int32_t v = 1; v <= h.maxvars[k]; ++v) headings.push_back(VarHeading(n, v));
  }
  m_columns = SourceFixedColumns + static_cast<int32_t>(headings.size());
  if (!headings.empty()) {
    std::vector<const wchar_t*> texts;
    for (const std::wstring& text : headings) texts.push_back(text.c_str());
    CSheetRowWriter head(0, SourceFixedColumns, static_cast<int32_t>(headings.size()), 256, SourceSheetName);
    if (head.Init() != 1 || head.WriteRow(texts.data()) != 1) return -1;
  }
  m_pRows.reset(new (std::nothrow) CSheetRowWriter(1, 0, m_columns, static_cast<int32_t>(AlobCellMax), SourceSheetName));
  if (!m_pRows) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (m_pRows->Init() != 1) {
    m_pRows.reset();
    return -1;
  }
  m_cells.assign(static_cast<size_t>(m_columns), std::wstring());
  m_texts.assign(static_cast<size_t>(m_columns), nullptr);
  return 0;
}

int32_t CExcelWriteSource::Write(SourceRec& rec) {
  if (!m_pRows) return WriteBeforeOpen(1, 0);
  for (std::wstring& cell : m_cells) cell.clear();
  std::string name = Narrow(FieldText(rec.name, SourceNameSize).c_str());
  m_cells[kName] = FieldText(rec.name, SourceNameSize);
  m_cells[kX1] = std::to_wstring(rec.x1);
  m_cells[kY1] = std::to_wstring(rec.y1);
  if (rec.x2 != 0 || rec.y2 != 0) {
    m_cells[kX2] = std::to_wstring(rec.x2);
    m_cells[kY2] = std::to_wstring(rec.y2);
  }
  if (rec.px != 0 || rec.py != 0) {
    wchar_t key[32];
    swprintf(key, 32, L"%lu %lu", static_cast<unsigned long>(rec.px), static_cast<unsigned long>(rec.py));
    const wchar_t* facility = m_lists.facilities->FindName(key);
    if (!facility) {
      SetErrorText("Could not get facility %s", Narrow(key).c_str());
      return -1;
    }
    m_cells[kFacility] = facility;
  }
  m_cells[kInfo] = FieldText(rec.info, SourceNameSize);
  m_cells[kInfo2] = FieldText(rec.info2, SourceInfo2Size);
  // A date code the cell cannot show would come back as no date at all.
  const uint32_t codes[2] = {rec.date, rec.changed};
  for (int i = 0; i < 2; ++i) {
    wchar_t date[kDateCellTextSize];
    DateCodeToCell(codes[i], date, kDateCellTextSize);
    if (codes[i] != 0 && date[0] == 0) {
      SetErrorText("Source %s: %s %06lu is not a date the sheet can show", name.c_str(), i == 0 ? "DATE" : "CHANGED",
                   static_cast<unsigned long>(codes[i]));
      return -1;
    }
    m_cells[kDate + i] = date;
  }
  if (!rec.IsArea()) {
    m_cells[kChimneyHeight] = std::to_wstring(rec.chimneyHeight);
    m_cells[kGasTemperature] = std::to_wstring(rec.gasTemperature);
    m_cells[kGasFlow] = std::to_wstring(rec.gasFlow);
    m_cells[kChimneyOut] = FloatText(rec.chimneyOut);
    m_cells[kChimneyIn] = FloatText(rec.chimneyIn);
    m_cells[kHouseWidth] = std::to_wstring(rec.houseWidth);
    m_cells[kHouseHeight] = std::to_wstring(rec.houseHeight);
  }
  m_cells[kSegments] = std::to_wstring(rec.nosegments);
  int32_t segments = rec.nosegments < 0 ? 0 : rec.nosegments > SourceMaxSegments ? SourceMaxSegments : rec.nosegments;
  for (int32_t list = 0; list < SourceBuildingLists; ++list) {
    std::wstring& cell = m_cells[kBuilding + list];
    for (int32_t s = 0; s < segments; ++s) cell += std::to_wstring(rec.build[list][s]) + L" ";
  }
  for (int32_t k = 1; k <= SourceSearchkeys; ++k) {
    uint16_t index = rec.searchkey[k - 1];
    if (index == 0) continue;
    const wchar_t* key = m_lists.subs[k].NameOf(index);
    if (!key) {
      SetErrorText("Could not get searchkey%d %d", static_cast<int>(k), static_cast<int>(index));
      return -1;
    }
    m_cells[kSearchkey + k - 1] = key;
  }
  m_cells[kFormulaMacro] = FieldText(rec.formulaMacro, SourceMacroSize);
  m_cells[kGeocode] = rec.geocode.Text();
  const wchar_t* alob = AlobCellText(&rec.alob, "source", m_cells[kName].c_str());
  if (!alob) return -1;
  m_cells[kAlob] = alob;

  // Each block goes to the first heading entry of its substance, group or
  // function that this row has not used yet.
  SourceListingHeader& h = rec.header;
  std::fill(h.subUsed.begin(), h.subUsed.end(), 0);
  std::fill(h.groupUsed.begin(), h.groupUsed.end(), 0);
  std::fill(h.formulaUsed.begin(), h.formulaUsed.end(), 0);
  auto place = [&name](const std::vector<int32_t>& indexes, std::vector<char>& used, int32_t index,
                       const char* what) -> int32_t {
    for (size_t k = 0; k < indexes.size(); ++k) {
      if (indexes[k] == index && !used[k]) {
        used[k] = 1;
        return static_cast<int32_t>(k);
      }
    }
    SetErrorText("Source %s: the listing heading has no free %s block for %d", name.c_str(), what,
                 static_cast<int>(index));
    return -1;
  };
  auto timevar = [this](int32_t index) -> const wchar_t* {
    const wchar_t* tv = m_lists.timevars->NameOf(index);
    if (!tv) SetErrorText("Could not get timevar %d", static_cast<int>(index));
    return tv;
  };
  int32_t groupStart = SourceFixedColumns + SourceSubBlockColumns * static_cast<int32_t>(h.subs.size());
  int32_t functionStart = groupStart + SourceGroupBlockColumns * static_cast<int32_t>(h.groups.size());
  for (int32_t i = 0; i < rec.emissions.Count(); ++i) {
    const SourceEmission& e = rec.emissions[i];
    int32_t k = place(h.subs, h.subUsed, e.substance, "substance");
    const wchar_t* tv = k < 0 ? nullptr : timevar(e.timevar);
    if (!tv) return -1;
    const wchar_t* text = AlobCellText(&e.alob, "source emission", m_cells[kName].c_str());
    if (!text) return -1;
    int32_t c = SourceFixedColumns + SourceSubBlockColumns * k;
    m_cells[c + 1] = tv;
    m_cells[c + 2] = FloatText(e.emission);
    m_cells[c + 3] = FieldText(e.unit, SourceUnitSize);
    m_cells[c + 4] = FieldText(e.macro, SourceBlockMacroSize);
    m_cells[c + 5] = e.actcode.Text();
    m_cells[c + 6] = text;
  }
  for (int32_t i = 0; i < rec.subgroups.Count(); ++i) {
    const SourceSubgrp& g = rec.subgroups[i];
    int32_t k = place(h.groups, h.groupUsed, g.subgrp, "substance group");
    const wchar_t* tv = k < 0 ? nullptr : timevar(g.timevar);
    if (!tv) return -1;
    const wchar_t* text = AlobCellText(&g.alob, "source activity", m_cells[kName].c_str());
    if (!text) return -1;
    int32_t c = groupStart + SourceGroupBlockColumns * k;
    m_cells[c + 1] = tv;
    m_cells[c + 2] = FloatText(g.activity);
    m_cells[c + 3] = FieldText(g.unit, SourceUnitSize);
    m_cells[c + 4] = g.actcode.Text();
    m_cells[c + 5] = text;
  }
  for (int32_t i = 0; i < rec.activities.Count(); ++i) {
    const SourceActivity& a = rec.activities[i];
    int32_t k = place(h.formulas, h.formulaUsed, a.emfac, "emission function");
    if (k >= 0 && a.novariable > h.maxvars[static_cast<size_t>(k)]) {
      SetErrorText("Source %s: emission function %d has %d variables, the heading %d", name.c_str(),
                   static_cast<int>(a.emfac), static_cast<int>(a.novariable),
                   static_cast<int>(h.maxvars[static_cast<size_t>(k)]));
      return -1;
    }
    const wchar_t* tv = k < 0 ? nullptr : timevar(a.timevar);
    if (!tv) return -1;
    const wchar_t* text = AlobCellText(&a.alob, "source activity", m_cells[kName].c_str());
    if (!text) return -1;
    int32_t c = functionStart;
    for (int32_t j = 0; j < k; ++j) c += SourceFunctionBlockColumns + h.maxvars[static_cast<size_t>(j)];
    m_cells[c + 1] = tv;
    m_cells[c + 2] = a.actcode.Text();
    m_cells[c + 3] = text;
    for (int32_t v = 0; v < a.novariable; ++v) m_cells[c + SourceFunctionBlockColumns + v] = FloatText(a.var[v]);
  }
  for (size_t c = 0; c < m_cells.size(); ++c) m_texts[c] = m_cells[c].c_str();
  return m_pRows->WriteRow(m_texts.data());
}

// ---------------------------------------------------------------- reader

CExcelReadSource::CExcelReadSource() = default;
CExcelReadSource::~CExcelReadSource() = default;

int32_t CExcelReadSource::Init(const SourceSheetLists& lists, CSourceInfo* layout) {
  m_lists = lists;
  m_pLayout = layout;
  m_row = 0;
  CSheetCellReader cells(kCellRead, SourceSheetName);
  int32_t r = cells.Init();
  if (r != 1) return r;
  // A damaged heading row would put values into other blocks: nothing is read.
  IssueList issues;
  bool damaged = false;
  if (ReadSourceLayout(cells, lists, layout, issues, &damaged) != 1) return -1;
  if (damaged || issues.Count() > 0) {
    wchar_t first[kIssueTextSize];
    issues.Next(1, first, kIssueTextSize);
    SetErrorText("The Source sheet's heading row is damaged: %s", Narrow(first).c_str());
    return -1;
  }
  return OpenRows(*layout, &m_pRows, &m_buf, &m_texts);
}

int32_t CExcelReadSource::Read(SourceRec* rec) {
  if (DebugLevel > 0) DebugPrint("  --> CExcelReadSource::Read()\n");
  rec->Clear();
  if (!m_pRows || !m_pLayout) return ReadBeforeOpen(m_row + 1, 0, SourceSheetName);
  ++m_row;
  if (m_pRows->ReadRow(m_texts.data()) != 1) return -1;  // an unreadable cell included
  if (Empty(m_texts[kName])) return 0;
  RowParse parse(m_lists, *m_pLayout, m_row, m_texts.data(), nullptr);
  if (!parse.Parse(rec)) return -1;
  if (DebugLevel > 0) DebugPrint("  <-- CExcelReadSource::Read()\n");
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifySource::CExcelVerifySource() = default;
CExcelVerifySource::~CExcelVerifySource() = default;

int32_t CExcelVerifySource::Init(const SourceSheetLists& lists, CSourceInfo* layout, IssueList& errors,
                                 IssueList& warnings) {
  m_lists = lists;
  m_pLayout = layout;
  m_pErrors = &errors;
  m_pWarnings = &warnings;
  m_row = 0;
  layout->Reset();
  CSheetCellReader cells(kCellRead, SourceSheetName);
  int32_t r = cells.Init();
  if (r != 1) return r;
  bool damaged = false;
  if (ReadSourceLayout(cells, lists, layout, errors, &damaged) != 1) return -1;
  return OpenRows(*layout, &m_pRows, &m_buf, &m_texts);
}

int32_t CExcelVerifySource::VerifyRec() {
  if (!m_pRows || !m_pErrors) return ReadBeforeOpen(0, 0, SourceSheetName);
  if (DebugLevel > 0) DebugPrint("  --> CExcelVerifySource::VerifyRec()\n");
  SourceRec rec;
  for (;;) {
    ++m_row;
    int32_t r = m_pRows->ReadRow(m_texts.data());
    if (r < 0) return -1;
    if (r == 0) {
      for (int32_t c : m_pRows->UnreadableColumns()) m_pErrors->Add(SourceSheetName, m_row, c, L"%ls", kUnreadableCell);
    }
    if (Empty(m_texts[kName])) {
      for (size_t c = 1; c < m_texts.size(); ++c) {
        if (!Empty(m_texts[c])) {
          m_pWarnings->Add(SourceSheetName, m_row, static_cast<int32_t>(c), L"Missing name or garbage data in row.");
        }
      }
      if (DebugLevel > 0) DebugPrint("  --- End of records\n  <-- CExcelVerifySource::VerifyRec()\n");
      return 1;
    }
    rec.Clear();
    RowParse parse(m_lists, *m_pLayout, m_row, m_texts.data(), m_pErrors);
    parse.Parse(&rec);
    if (m_pErrors->IsFull()) return 1;
  }
}
