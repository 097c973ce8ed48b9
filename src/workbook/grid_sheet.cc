// The grid sheets (see grid_sheet.h).
#include "workbook/grid_sheet.h"

#include <cfloat>
#include <cstring>
#include <cwchar>
#include <new>

#include "catalogue/catalogue.h"
#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/cell_number.h"
#include "workbook/cell_text.h"
#include "workbook/date_code.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_open.h"

namespace {

// Characters a cell of a grid sheet holds.
constexpr int32_t kCellChars = 1023;
constexpr int32_t kCellRead = kCellChars + 2;  // one more, so that a longer text shows
constexpr size_t kCodeSize = kCellChars + 1;
constexpr int32_t kHeaderColumns = 24;
constexpr int32_t kMaxHeadings = 250;

enum class ItemKind { kText, kDate, kFuel, kTimevar, kSearchkey, kCode };

// The header items in the order of their data-line fields.
struct Item {
  int32_t column;
  ItemKind kind;
  const wchar_t* label;
  size_t size;  // texts: the record field; others: 0
  int32_t searchkey;
};

const Item kItems[18] = {
    {6, ItemKind::kText, L"Name", GridNameSize, 0},
    {7, ItemKind::kText, L"Info", GridTextSize, 0},
    {8, ItemKind::kText, L"Info2", GridInfo2Size, 0},
    {9, ItemKind::kText, L"Address", GridTextSize, 0},
    {10, ItemKind::kText, L"Postaddress", GridTextSize, 0},
    {11, ItemKind::kText, L"Info.Supp", GridTextSize, 0},
    {12, ItemKind::kDate, L"Created", 0, 0},
    {13, ItemKind::kDate, L"Changed", 0, 0},
    {14, ItemKind::kText, L"Misc", GridTextSize, 0},
    {23, ItemKind::kFuel, L"Emission Factor", 0, 0},
    {15, ItemKind::kTimevar, L"Timevar", 0, 0},
    {16, ItemKind::kSearchkey, L"Searchkey1", 0, 1},
    {17, ItemKind::kSearchkey, L"Searchkey2", 0, 2},
    {18, ItemKind::kSearchkey, L"Searchkey3", 0, 3},
    {19, ItemKind::kSearchkey, L"Searchkey4", 0, 4},
    {20, ItemKind::kSearchkey, L"Searchkey5", 0, 5},
    {21, ItemKind::kCode, L"Activity code", 0, 0},
    {22, ItemKind::kCode, L"Geo code", 0, 0},
};
constexpr int32_t kFuelItem = 9;

const wchar_t* const kRasterLabels[6] = {L"X", L"Y", L"Nx", L"Ny", L"Dx", L"Dy"};

wchar_t* TextField(GridRec& h, int32_t item) {
  wchar_t* fields[] = {h.name, h.info, h.info2, h.address, h.postaddress, h.infogiver, nullptr, nullptr, h.misc};
  return item < 9 ? fields[item] : nullptr;
}

int32_t* NumberField(GridRec& h, int32_t item) {
  switch (item) {
    case 6:
      return &h.date;
    case 7:
      return &h.changed;
    case 9:
      return &h.fuel;
    case 10:
      return &h.formula;
    default:
      return item >= 11 && item <= 15 ? &h.searchkey[item - 11] : nullptr;
  }
}

CRecordList& ListOf(const GridLists& lists, const Item& item) {
  if (item.kind == ItemKind::kFuel) return *lists.subgrps;
  if (item.kind == ItemKind::kTimevar) return *lists.timevars;
  return lists.substances[item.searchkey];
}

// The name of an index, or null (never the bad-reference text).
const wchar_t* NameOrNull(CRecordList& list, int32_t index) {
  bool flag = list.BadReference();
  list.SetBadReference(false);
  const wchar_t* name = list.NameOf(index);
  list.SetBadReference(flag);
  return name;
}

void NameMissing(const Item& item, int32_t index) {
  if (item.kind == ItemKind::kFuel) {
    SetErrorText("Could not get substance group %d", static_cast<int>(index));
  } else if (item.kind == ItemKind::kTimevar) {
    SetErrorText("Could not get timevar %d", static_cast<int>(index));
  } else {
    SetErrorText("Could not get searchkey%d %d", static_cast<int>(item.searchkey), static_cast<int>(index));
  }
}

// An index item as its cell text: 0 empty, else the name; false (ErrorText
// set) for an index the list does not know.
bool IndexCell(const GridLists& lists, const Item& item, int32_t index, std::wstring* text) {
  text->clear();
  if (index == 0) return true;
  const wchar_t* name = NameOrNull(ListOf(lists, item), index);
  if (!name) {
    NameMissing(item, index);
    return false;
  }
  *text = name;
  return true;
}

// A date code as its cell: 0 empty, else the date; false for a code that is
// no date (it would be lost in the sheet).
bool DateCell(int64_t code, std::wstring* text) {
  text->clear();
  if (code == 0) return true;
  wchar_t cell[kDateCellTextSize];
  DateCodeToCell(static_cast<uint32_t>(code), cell, kDateCellTextSize);
  if (cell[0] == 0) {
    SetErrorText("Could not show the date code %lld as a date", static_cast<long long>(code));
    return false;
  }
  *text = cell;
  return true;
}

bool IsDynamic(const wchar_t* text) { return wcscmp(text, DynamicWord) == 0; }

// A text for a data line: the record rule, and no '@', which separates the
// fields.  False with ErrorText set at the cell.
bool FieldTextFits(const std::wstring& sheet, int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                   size_t size) {
  if (!CellTextFits(sheet.c_str(), row, column, label, text, size, FieldForm::kText)) return false;
  if (wcschr(text, L'@')) {
    CellErrorText(sheet.c_str(), row, column, L"%ls cell holds an @, which separates the fields of a grid cell",
                  label);
    return false;
  }
  return true;
}

// Buffers for a row reader of `columns` cells.
void MakeCells(int32_t columns, std::vector<std::vector<wchar_t>>* buf, std::vector<wchar_t*>* cells) {
  buf->assign(static_cast<size_t>(columns), std::vector<wchar_t>(static_cast<size_t>(kCellRead), L'\0'));
  cells->clear();
  for (auto& b : *buf) cells->push_back(b.data());
}

bool TooLong(const wchar_t* text) { return wcslen(text) > static_cast<size_t>(kCellChars); }

int32_t RefuseUnreadable(const std::wstring& sheet, int32_t row, const CSheetRowReader& reader, int32_t firstColumn) {
  CellErrorText(sheet.c_str(), row, firstColumn + reader.UnreadableColumns().front(), L"%ls", kUnreadableCell);
  return -1;
}

}  // namespace

std::wstring GridSheetName(const wchar_t* sheet, int32_t number) {
  if (number == 0) return sheet;
  return std::wstring(sheet) + L" (" + std::to_wstring(number + 1) + L")";
}

int32_t GridLayout::Fields() const {
  int32_t n = 2 + values;
  for (bool d : dynamic) n += d ? 1 : 0;
  return n;
}

bool GridLayout::operator==(const GridLayout& other) const {
  return std::memcmp(dynamic, other.dynamic, sizeof dynamic) == 0 && values == other.values &&
         substances == other.substances;
}

// ---------------------------------------------------------------- writer

CExcelWriteGrid::CExcelWriteGrid() = default;
CExcelWriteGrid::~CExcelWriteGrid() = default;

int32_t CExcelWriteGrid::Init(const GridLists& lists, const GridRec& header, const GridSubstances& substances,
                              const wchar_t* sheet, const wchar_t* activity, const wchar_t* geo) {
  m_lists = lists;
  m_sheet = sheet;
  m_layout = GridLayout();
  GridRec& h = const_cast<GridRec&>(header);
  std::wstring row1[kHeaderColumns];
  const uint32_t raster[6] = {h.x, h.y, h.nx, h.ny, h.dx, h.dy};
  for (int i = 0; i < 6; ++i) row1[i] = std::to_wstring(raster[i]);
  for (int32_t i = 0; i < 18; ++i) {
    const Item& item = kItems[i];
    std::wstring& cell = row1[item.column];
    bool dynamic = false;
    if (item.kind == ItemKind::kText) {
      cell = FieldText(TextField(h, i), item.size);
      dynamic = cell == DynamicMarker;
    } else if (item.kind == ItemKind::kCode) {
      cell = (i == 16 ? activity : geo) ? (i == 16 ? activity : geo) : L"";
      dynamic = cell == DynamicMarker;
      if (!dynamic && TooLong(cell.c_str())) {
        SetErrorText("The %ls of grid %s is longer than the %d characters a cell of the sheet holds",
                     item.label, Narrow(sheet).c_str(), static_cast<int>(kCellChars));
        return -1;
      }
    } else {
      int32_t value = *NumberField(h, i);
      dynamic = value == -1;
      if (!dynamic && !(item.kind == ItemKind::kDate ? DateCell(value, &cell) : IndexCell(lists, item, value, &cell))) {
        return -1;
      }
    }
    if (dynamic) cell = DynamicWord;
    m_layout.dynamic[i] = dynamic;
  }
  const wchar_t* texts[kHeaderColumns];
  for (int32_t c = 0; c < kHeaderColumns; ++c) texts[c] = row1[c].c_str();
  CSheetRowWriter headerRow(1, 0, kHeaderColumns, kCellChars, sheet);
  if (headerRow.Init() != 1 || headerRow.WriteRow(texts) != 1) return -1;

  std::vector<std::wstring> headings;
  if (h.fuel == 0) {
    for (int32_t i = 0; i < substances.count && i < GridMaxSubstances; ++i) {
      const wchar_t* name = NameOrNull(lists.substances[0], substances.index[i]);
      if (!name) {
        SetErrorText("Could not get substance %d", static_cast<int>(substances.index[i]));
        return -1;
      }
      headings.push_back(name);
      m_layout.substances.push_back(substances.index[i]);
    }
  } else {
    headings.push_back(GridActivityLabel);
  }
  m_layout.values = static_cast<int32_t>(headings.size());
  if (!headings.empty()) {
    std::vector<const wchar_t*> row0;
    for (const std::wstring& s : headings) row0.push_back(s.c_str());
    CSheetRowWriter headingRow(0, GridValueColumn, m_layout.values, kCellChars, sheet);
    if (headingRow.Init() != 1 || headingRow.WriteRow(row0.data()) != 1) return -1;
  }

  // The data rows: the coordinates, each dynamic column, the values.
  m_pCoordinates.reset(new (std::nothrow) CSheetRowWriter(2, 0, 2, kCellChars, sheet));
  m_dynamic.clear();
  for (int32_t i = 0; i < 18; ++i) {
    if (m_layout.dynamic[i]) m_dynamic.emplace_back(new (std::nothrow) CSheetRowWriter(2, kItems[i].column, 1, kCellChars, sheet));
  }
  if (m_layout.values > 0) {
    m_pValues.reset(new (std::nothrow) CSheetRowWriter(2, GridValueColumn, m_layout.values, kCellChars, sheet));
  }
  if (!m_pCoordinates || (m_layout.values > 0 && !m_pValues)) {
    SetErrorText("Could not all allocate string array for grid row");
    return -1;
  }
  if (m_pCoordinates->Init() != 1 || (m_pValues && m_pValues->Init() != 1)) return -1;
  for (auto& w : m_dynamic) {
    if (!w || w->Init() != 1) {
      if (!w) SetErrorText("Could not all allocate string array for grid row");
      return -1;
    }
  }
  return 1;
}

int32_t CExcelWriteGrid::Write(const GridFields& fields) {
  if (!m_pCoordinates) return -1;
  int32_t row = m_pCoordinates->CurrentRow();
  if (static_cast<int32_t>(fields.size()) != m_layout.Fields()) {
    SetErrorText("Grid %s, row %d: the cell has %d fields where the grid's header makes %d",
                 Narrow(m_sheet.c_str()).c_str(), static_cast<int>(row + 1), static_cast<int>(fields.size()),
                 static_cast<int>(m_layout.Fields()));
    return -1;
  }
  const wchar_t* coordinates[2] = {fields[0].c_str(), fields[1].c_str()};
  if (m_pCoordinates->WriteRow(coordinates) != 1) return -1;
  size_t f = 2;
  size_t w = 0;
  m_texts.resize(1);
  for (int32_t i = 0; i < 18; ++i) {
    if (!m_layout.dynamic[i]) continue;
    const Item& item = kItems[i];
    const std::wstring& field = fields[f++];
    std::wstring& cell = m_texts[0];
    if (item.kind == ItemKind::kText || item.kind == ItemKind::kCode) {
      cell = field;
      if (TooLong(cell.c_str())) {
        SetErrorText("Grid %s, row %d: the %ls is longer than the %d characters a cell holds",
                     Narrow(m_sheet.c_str()).c_str(), static_cast<int>(row + 1), item.label,
                     static_cast<int>(kCellChars));
        return -1;
      }
    } else {
      int64_t value = 0;
      if (!CellWhole(field.c_str(), 0, INT32_MAX, &value)) {
        SetErrorText("Grid %s, row %d: the %ls field is not a number: %s", Narrow(m_sheet.c_str()).c_str(),
                     static_cast<int>(row + 1), item.label, Narrow(field.c_str()).c_str());
        return -1;
      }
      bool shown = item.kind == ItemKind::kDate ? DateCell(value, &cell)
                                                : IndexCell(m_lists, item, static_cast<int32_t>(value), &cell);
      if (!shown) return -1;
    }
    const wchar_t* text = cell.c_str();
    if (m_dynamic[w++]->WriteRow(&text) != 1) return -1;
  }
  if (m_pValues) {
    const wchar_t* values[GridMaxSubstances];
    for (int32_t v = 0; v < m_layout.values; ++v) values[v] = fields[f + static_cast<size_t>(v)].c_str();
    if (m_pValues->WriteRow(values) != 1) return -1;
  }
  return 1;
}

// ---------------------------------------------------------------- reader

CExcelReadGrid::CExcelReadGrid() = default;
CExcelReadGrid::~CExcelReadGrid() = default;

int32_t CExcelReadGrid::Init(const GridLists& lists, GridRec* header, GridSubstances* substances, const wchar_t* sheet,
                             CodeString* activity, CodeString* geo, const GridLayout* first) {
  m_lists = lists;
  m_sheet = sheet;
  m_layout = GridLayout();
  m_row = 2;
  std::memset(header, 0, sizeof *header);
  substances->count = 0;
  CopyCode(activity, L"");
  CopyCode(geo, L"");
  const wchar_t* name = m_sheet.c_str();

  std::vector<std::vector<wchar_t>> buf;
  std::vector<wchar_t*> row1;
  MakeCells(kHeaderColumns, &buf, &row1);
  CSheetRowReader headerRow(1, 0, kHeaderColumns, kCellRead, sheet);
  int32_t r = headerRow.Init();
  if (r != 1) return r;
  r = headerRow.ReadRow(row1.data());
  if (r < 0) return -1;
  if (r == 0) return RefuseUnreadable(m_sheet, 1, headerRow, 0);

  uint32_t* raster[6] = {&header->x, &header->y, &header->nx, &header->ny, &header->dx, &header->dy};
  for (int i = 0; i < 6; ++i) {
    int64_t value = 0;
    if (!CellWhole(row1[i], 1, UINT32_MAX, &value)) {
      CellErrorText(name, 1, i, L"%ls cell not a whole number from 1 to 4294967295: %ls", kRasterLabels[i], row1[i]);
      return -1;
    }
    *raster[i] = static_cast<uint32_t>(value);
  }
  for (int32_t i = 0; i < 18; ++i) {
    const Item& item = kItems[i];
    const wchar_t* text = row1[item.column];
    bool dynamic = IsDynamic(text);
    m_layout.dynamic[i] = dynamic;
    if (item.kind == ItemKind::kText) {
      if (dynamic) {
        CopyCut(TextField(*header, i), item.size, DynamicMarker);
      } else {
        if (!CellTextFits(name, 1, item.column, item.label, text, item.size, FieldForm::kQuoted)) return -1;
        listtext::CopyCut(TextField(*header, i), item.size, text);
      }
    } else if (item.kind == ItemKind::kCode) {
      if (!dynamic && !CellTextFits(name, 1, item.column, item.label, text, kCodeSize, FieldForm::kUnpadded)) {
        return -1;
      }
      if (CopyCode(i == 16 ? activity : geo, dynamic ? DynamicMarker : text) != 0) return -1;
    } else if (dynamic) {
      *NumberField(*header, i) = -1;
    } else if (item.kind == ItemKind::kDate) {
      uint32_t code = text[0] ? CellToDateCode(text) : 0;
      if (text[0] && code == 0) {
        CellErrorText(name, 1, item.column, L"%ls cell not a date: %ls", item.label, text);
        return -1;
      }
      *NumberField(*header, i) = static_cast<int32_t>(code);
    } else if (item.kind == ItemKind::kTimevar) {
      int32_t index = text[0] ? m_lists.timevars->Find(text) : -1;
      if (index < 0) {
        CellErrorText(name, 1, item.column, L"Could not get index for timevar: %ls", text);
        return -1;
      }
      header->formula = index;
    } else {
      int32_t index = text[0] ? ListOf(m_lists, item).Find(text) : 0;
      if (index < 0) {
        if (item.kind == ItemKind::kFuel) {
          CellErrorText(name, 1, item.column, L"Could not get index for sub. group: %ls", text);
        } else {
          CellErrorText(name, 1, item.column, L"Could not get index for searchkey%d: %ls",
                        static_cast<int>(item.searchkey), text);
        }
        return -1;
      }
      *NumberField(*header, i) = index;
    }
  }

  if (header->fuel != 0) {
    m_layout.values = 1;
  } else {
    std::vector<wchar_t*> headings;
    MakeCells(kMaxHeadings, &buf, &headings);
    CSheetRowReader headingRow(0, GridValueColumn, kMaxHeadings, kCellRead, sheet);
    if (headingRow.Init() != 1) return -1;
    r = headingRow.ReadRow(headings.data());
    if (r < 0) return -1;
    if (r == 0) return RefuseUnreadable(m_sheet, 0, headingRow, GridValueColumn);
    for (int32_t c = 0; c < kMaxHeadings && headings[c][0]; ++c) {
      if (c >= GridMaxSubstanceColumns) {
        SetErrorText("To many substances specifed");
        return -1;
      }
      int32_t index = m_lists.substances[0].Find(headings[c]);
      if (index < 0 || index > INT16_MAX) {
        CellErrorText(name, 0, GridValueColumn + c, L"Could not get index for substance: %ls", headings[c]);
        return -1;
      }
      substances->index[substances->count++] = static_cast<int16_t>(index);
      m_layout.substances.push_back(static_cast<int16_t>(index));
    }
    if (substances->count == 0) {
      CellErrorText(name, 0, GridValueColumn, L"The grid's emission factor is empty, so the substances of its values must head the columns from here");
      return -1;
    }
    m_layout.values = substances->count;
  }
  header->fieldCount = m_layout.Fields();
  if (first && !(m_layout == *first)) {
    CellErrorText(name, 1, -1, L"The header of this continuation sheet differs from the grid's first sheet");
    return -1;
  }
  int32_t columns = GridValueColumn + m_layout.values;
  MakeCells(columns, &m_buf, &m_cells);
  m_pRows.reset(new (std::nothrow) CSheetRowReader(2, 0, columns, kCellRead, sheet));
  if (!m_pRows) {
    SetErrorText("Could not all allocate string array for grid row");
    return -1;
  }
  return m_pRows->Init() == 1 ? 1 : -1;
}

int32_t CExcelReadGrid::Read(GridFields* fields) {
  if (!m_pRows) return -1;
  int32_t row = m_row;
  int32_t r = m_pRows->ReadRow(m_cells.data());
  if (r < 0) return -1;
  if (r == 0 && !(m_pRows->UnreadableColumns().front() != 0 && m_cells[0][0] == 0)) {
    return RefuseUnreadable(m_sheet, row, *m_pRows, 0);
  }
  if (m_cells[0][0] == 0) return 0;
  ++m_row;
  const wchar_t* name = m_sheet.c_str();
  fields->resize(static_cast<size_t>(m_layout.Fields()));
  size_t f = 0;
  for (int c = 0; c < 2; ++c) {
    int64_t value = 0;
    if (!CellWhole(m_cells[c], 1, UINT32_MAX, &value)) {
      CellErrorText(name, row, c, L"%ls cell not a whole number from 1 to 4294967295: %ls", kRasterLabels[c],
                    m_cells[c]);
      return -1;
    }
    (*fields)[f++] = std::to_wstring(value);
  }
  for (int32_t i = 0; i < 18; ++i) {
    if (!m_layout.dynamic[i]) continue;
    const Item& item = kItems[i];
    const wchar_t* text = m_cells[item.column];
    std::wstring& field = (*fields)[f++];
    if (item.kind == ItemKind::kText || item.kind == ItemKind::kCode) {
      if (!FieldTextFits(m_sheet, row, item.column, item.label, text,
                         item.kind == ItemKind::kText ? item.size : kCodeSize)) {
        return -1;
      }
      field = text;
    } else if (item.kind == ItemKind::kDate) {
      uint32_t code = text[0] ? CellToDateCode(text) : 0;
      if (text[0] && code == 0) {
        CellErrorText(name, row, item.column, L"%ls cell not a date: %ls", item.label, text);
        return -1;
      }
      field = std::to_wstring(code);
    } else {
      int32_t index = text[0] ? ListOf(m_lists, item).Find(text) : (item.kind == ItemKind::kSearchkey ? 0 : -1);
      if (index < 0) {
        if (item.kind == ItemKind::kFuel) {
          CellErrorText(name, row, item.column, L"Could not get index for sub. group: %ls", text);
        } else if (item.kind == ItemKind::kTimevar) {
          CellErrorText(name, row, item.column, L"Could not get index for timevar: %ls", text);
        } else {
          CellErrorText(name, row, item.column, L"Could not get index for searchkey%d: %ls",
                        static_cast<int>(item.searchkey), text);
        }
        return -1;
      }
      field = std::to_wstring(index);
    }
  }
  for (int32_t v = 0; v < m_layout.values; ++v) {
    const wchar_t* text = m_cells[GridValueColumn + v];
    float value = 0;
    if (!CellReal(text, &value) || value < 0) {
      CellErrorText(name, row, GridValueColumn + v, L"%ls cell not a number from 0 to 3.40282347e+38: %ls",
                    m_layout.substances.empty() ? GridActivityLabel : L"Substance emission", text);
      return -1;
    }
    (*fields)[f++] = FloatText(value);
  }
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifyGrid::CExcelVerifyGrid() = default;
CExcelVerifyGrid::~CExcelVerifyGrid() = default;

int32_t CExcelVerifyGrid::Init(const GridLists& lists, IssueList& errors, IssueList& warnings, const wchar_t* sheet) {
  m_lists = lists;
  m_sheet = sheet;
  m_row = 2;
  m_pChecker.reset(new (std::nothrow) CCellChecker(sheet, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  CCellChecker& check = *m_pChecker;
  const wchar_t* name = m_sheet.c_str();

  std::vector<std::vector<wchar_t>> buf;
  std::vector<wchar_t*> row1;
  MakeCells(kHeaderColumns + 1, &buf, &row1);
  CSheetRowReader headerRow(1, 0, kHeaderColumns + 1, kCellRead, sheet);
  int32_t r = headerRow.Init();
  if (r != 1) return r;
  r = headerRow.ReadRow(row1.data());
  if (r < 0) return -1;
  if (r == 0) {
    for (int32_t c : headerRow.UnreadableColumns()) errors.Add(name, 1, c, L"%ls", kUnreadableCell);
  }
  for (int i = 0; i < 6; ++i) {
    const wchar_t* text = row1[i];
    if (text[0] == 0 || IsDynamic(text)) {
      if (i < 2) {
        errors.Add(name, 1, i, i == 0 ? L"Lower X base coordinate must be given" : L"Lower Y base coordinate must be given");
      } else {
        errors.Add(name, 1, i, L"%ls must be static", kRasterLabels[i]);
      }
    } else {
      check.CheckULong(1, i, kRasterLabels[i], text, 1, UINT32_MAX);
    }
  }
  for (int32_t i = 0; i < 18; ++i) {
    const Item& item = kItems[i];
    const wchar_t* text = row1[item.column];
    bool dynamic = IsDynamic(text);
    m_layout.dynamic[i] = dynamic;
    if (dynamic) continue;
    switch (item.kind) {
      case ItemKind::kText:
        check.CheckText(1, item.column, item.label, text, item.size, FieldForm::kQuoted);
        break;
      case ItemKind::kCode:
        check.CheckText(1, item.column, item.label, text, kCodeSize, FieldForm::kUnpadded);
        break;
      case ItemKind::kDate:
        if (text[0] && CellToDateCode(text) == 0) errors.Add(name, 1, item.column, L"%ls cell not a date", item.label);
        break;
      case ItemKind::kTimevar:
        if (m_lists.timevars->Find(text) < 0) errors.Add(name, 1, item.column, L"Unknown Timevar");
        break;
      case ItemKind::kSearchkey:
        if (text[0] && ListOf(m_lists, item).Find(text) < 0) {
          errors.Add(name, 1, item.column, L"Unknown Searchkey%d", static_cast<int>(item.searchkey));
        }
        break;
      case ItemKind::kFuel:
        if (text[0] && m_lists.subgrps->Find(text) < 0) errors.Add(name, 1, item.column, L"Unknown Emission Factor");
        break;
    }
  }
  m_activityMode = m_layout.dynamic[kFuelItem] || row1[kItems[kFuelItem].column][0] != 0;

  std::vector<wchar_t*> headings;
  std::vector<std::vector<wchar_t>> headingBuf;
  MakeCells(kMaxHeadings, &headingBuf, &headings);
  CSheetRowReader headingRow(0, GridValueColumn, kMaxHeadings, kCellRead, sheet);
  if (headingRow.Init() != 1 || headingRow.ReadRow(headings.data()) < 0) return -1;
  if (m_activityMode) {
    if (wcscmp(headings[0], GridActivityLabel) != 0) {
      warnings.Add(name, 0, GridValueColumn, L"Label should be \"%ls\"", GridActivityLabel);
    }
    const wchar_t* value = row1[GridValueColumn];
    m_valuesDynamic = value[0] == 0 || IsDynamic(value);
    if (!m_valuesDynamic) warnings.Add(name, 1, GridValueColumn, L"Emission factor emission must be dynamic");
    m_layout.values = 1;
  } else {
    int32_t count = 0;
    for (int32_t c = 0; c < kMaxHeadings && headings[c][0]; ++c) {
      if (c >= GridMaxSubstanceColumns) {
        errors.Add(name, 0, GridValueColumn + c, L"Too many substances. Maximum is %d.", GridMaxSubstanceColumns + 1);
        break;
      }
      if (m_lists.substances[0].Find(headings[c]) < 0) errors.Add(name, 0, GridValueColumn + c, L"Unknown Substance");
      ++count;
    }
    if (count == 0) {
      errors.Add(name, 0, GridValueColumn, L"The grid's emission factor is empty, so the substances of its values must head the columns from here");
    }
    // Row 1 of the value columns: Y is read with the header, the rest here.
    std::vector<wchar_t*> values;
    std::vector<std::vector<wchar_t>> valueBuf;
    if (count > 0) {
      MakeCells(count, &valueBuf, &values);
      CSheetRowReader valueRow(1, GridValueColumn, count, kCellRead, sheet);
      if (valueRow.Init() != 1 || valueRow.ReadRow(values.data()) < 0) return -1;
      for (int32_t c = 0; c < count; ++c) {
        if (values[c][0] && !IsDynamic(values[c])) {
          warnings.Add(name, 1, GridValueColumn + c, L"Substance emission must be dynamic");
        }
      }
    }
    m_layout.values = count;
  }
  m_columns = GridValueColumn + m_layout.values;
  MakeCells(m_columns, &m_buf, &m_cells);
  m_pRows.reset(new (std::nothrow) CSheetRowReader(2, 0, m_columns, kCellRead, sheet));
  if (!m_pRows) {
    SetErrorText("Could not all allocate string array for grid row");
    return -1;
  }
  return m_pRows->Init() == 1 ? 1 : -1;
}

int32_t CExcelVerifyGrid::VerifyRow() {
  if (!m_pRows || !m_pChecker) return ReadBeforeOpen(m_row, 0, m_sheet.c_str());
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  const wchar_t* name = m_sheet.c_str();
  int32_t row = m_row;
  int32_t r = m_pRows->ReadRow(m_cells.data());
  if (r < 0) return -1;
  std::vector<int32_t> unreadable;
  if (r == 0) unreadable = m_pRows->UnreadableColumns();
  bool xUnreadable = !unreadable.empty() && unreadable.front() == 0;
  if (m_cells[0][0] == 0 && !xUnreadable) {
    for (int32_t c = 1; c < m_columns; ++c) {
      if (m_cells[c][0]) check.Warnings().Add(name, row, c, L"Missing X coordinate or garbage data in row.");
    }
    return 0;
  }
  ++m_row;
  for (int32_t c : unreadable) errors.Add(name, row, c, L"%ls", kUnreadableCell);
  if (!xUnreadable) check.CheckULong(row, 0, L"X", m_cells[0], 1, UINT32_MAX);
  if (m_cells[1][0] == 0) {
    errors.Add(name, row, 1, L"Missing Y coordinate.");
  } else {
    check.CheckULong(row, 1, L"Y", m_cells[1], 1, UINT32_MAX);
  }
  for (int c = 2; c < 6; ++c) {
    if (m_cells[c][0]) errors.Add(name, row, c, L"%ls can not be dynamic", kRasterLabels[c]);
  }
  for (int32_t i = 0; i < 18; ++i) {
    const Item& item = kItems[i];
    const wchar_t* text = m_cells[item.column];
    bool dynamic = m_layout.dynamic[i];
    if (!dynamic) {
      if (text[0] == 0) continue;
      if (item.kind == ItemKind::kFuel && !m_activityMode) {
        errors.Add(name, row, item.column, L"Emission Factor is not used");
      } else if (item.kind == ItemKind::kDate) {
        errors.Add(name, row, item.column, L"%ls is not dynamic", item.label);
      } else if (item.kind == ItemKind::kFuel) {
        errors.Add(name, row, item.column, L"Emission Factor is not dynamic");
      } else {
        errors.Add(name, row, item.column, L"%ls is not dynamic", item.label);
      }
      continue;
    }
    switch (item.kind) {
      case ItemKind::kText:
      case ItemKind::kCode: {
        size_t size = item.kind == ItemKind::kText ? item.size : kCodeSize;
        if (check.CheckText(row, item.column, item.label, text, size, FieldForm::kText) == 1 && wcschr(text, L'@')) {
          errors.Add(name, row, item.column, L"%ls cell holds an @, which separates the fields of a grid cell",
                     item.label);
        }
        break;
      }
      case ItemKind::kDate:
        if (text[0] && CellToDateCode(text) == 0) errors.Add(name, row, item.column, L"%ls cell not a date", item.label);
        break;
      case ItemKind::kTimevar:
        if (m_lists.timevars->Find(text) < 0) errors.Add(name, row, item.column, L"Unknown Timevar");
        break;
      case ItemKind::kSearchkey:
        if (text[0] && ListOf(m_lists, item).Find(text) < 0) {
          errors.Add(name, row, item.column, L"Unknown Searchkey%d", static_cast<int>(item.searchkey));
        }
        break;
      case ItemKind::kFuel:
        if (m_lists.subgrps->Find(text) < 0) errors.Add(name, row, item.column, L"Unknown Emission Factor");
        break;
    }
  }
  if (m_activityMode && !m_valuesDynamic) {
    if (m_cells[GridValueColumn][0]) errors.Add(name, row, GridValueColumn, L"Em Fac Activity is not dynamic");
  } else {
    const wchar_t* label = m_activityMode ? GridActivityLabel : L"Substance emission";
    for (int32_t v = 0; v < m_layout.values; ++v) {
      check.CheckFloat(row, GridValueColumn + v, label, m_cells[GridValueColumn + v], 0.0f, FLT_MAX);
    }
  }
  return 1;
}

int32_t CExcelVerifyGrid::Verify() {
  int32_t r;
  while ((r = VerifyRow()) == 1) {
    if (m_pChecker->Errors().IsFull()) return 1;
  }
  return r == 0 ? 1 : r;
}
