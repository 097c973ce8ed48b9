// The substitute host's in-memory workbook (see workbook.h).
#include "sheethost/workbook.h"

#include <cmath>
#include <cwchar>
#include <iterator>

namespace sheethost {

namespace {

const Cell kEmptyCell;

// Lower-case form of ASCII and Latin-1 capitals; other characters as they are.
uint32_t Fold(wchar_t c) {
  uint32_t u = static_cast<uint32_t>(c);
  if (u >= 'A' && u <= 'Z') return u + 32;
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return u + 32;
  return u;
}

bool ValidSheetName(const std::wstring& name) {
  if (name.empty() || name.size() > kMaxSheetName) return false;
  return name.find_first_of(L":\\/?*[]") == std::wstring::npos;
}

}  // namespace

Cell Cell::Num(double value) {
  Cell c;
  c.kind = CellKind::Number;
  c.number = value;
  return c;
}

Cell Cell::Str(std::wstring value) {
  Cell c;
  c.kind = CellKind::Text;
  c.text = std::move(value);
  return c;
}

Cell Cell::Bool(bool value) {
  Cell c;
  c.kind = CellKind::Boolean;
  c.boolean = value;
  return c;
}

Cell Cell::Err(int code) {
  Cell c;
  c.kind = CellKind::Error;
  c.error = code;
  return c;
}

bool Cell::operator==(const Cell& other) const {
  if (kind != other.kind) return false;
  switch (kind) {
    case CellKind::Empty: return true;
    case CellKind::Number: return number == other.number;
    case CellKind::Text: return text == other.text;
    case CellKind::Boolean: return boolean == other.boolean;
    case CellKind::Error: return error == other.error;
  }
  return false;
}

bool InGrid(RW row, COL column) {
  return row >= 0 && row < kXlRows && column >= 0 && column < kXlColumns;
}

bool SameSheetName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// ------------------------------------------------------------------ Sheet

const Cell& Sheet::Get(RW row, COL column) const {
  auto it = m_cells.find(CellPosition(row, column));
  return it == m_cells.end() ? kEmptyCell : it->second;
}

bool Sheet::Set(RW row, COL column, const Cell& cell) {
  if (!InGrid(row, column)) return false;
  if (cell.kind == CellKind::Text && cell.text.size() > static_cast<size_t>(kXlMaxText)) return false;
  if (cell.kind == CellKind::Number && !std::isfinite(cell.number)) return false;
  if (cell.IsEmpty()) {
    m_cells.erase(CellPosition(row, column));
  } else {
    m_cells[CellPosition(row, column)] = cell;
  }
  return true;
}

void Sheet::Clear(RW row, COL column) { m_cells.erase(CellPosition(row, column)); }

void Sheet::ClearArea(const XLREF12& area) {
  for (auto it = m_cells.lower_bound(CellPosition(area.rwFirst, area.colFirst));
       it != m_cells.end() && it->first.first <= area.rwLast;) {
    COL c = it->first.second;
    it = (c >= area.colFirst && c <= area.colLast) ? m_cells.erase(it) : std::next(it);
  }
}

// --------------------------------------------------------------- Workbook

Sheet* Workbook::AddSheet(const std::wstring& name) {
  if (!ValidSheetName(name) || FindSheet(name)) return nullptr;
  IDSHEET id = m_nextId++;
  m_sheets.push_back(std::make_unique<Sheet>(name, id));
  if (m_activeId == 0) m_activeId = id;
  return m_sheets.back().get();
}

Sheet* Workbook::FindSheet(const std::wstring& name) {
  for (auto& sheet : m_sheets) {
    if (SameSheetName(sheet->Name(), name)) return sheet.get();
  }
  return nullptr;
}

const Sheet* Workbook::FindSheet(const std::wstring& name) const {
  for (auto& sheet : m_sheets) {
    if (SameSheetName(sheet->Name(), name)) return sheet.get();
  }
  return nullptr;
}

Sheet* Workbook::SheetById(IDSHEET id) {
  for (auto& sheet : m_sheets) {
    if (sheet->Id() == id) return sheet.get();
  }
  return nullptr;
}

bool Workbook::RemoveSheet(const std::wstring& name) {
  for (auto it = m_sheets.begin(); it != m_sheets.end(); ++it) {
    if (!SameSheetName((*it)->Name(), name)) continue;
    bool wasActive = (*it)->Id() == m_activeId;
    m_sheets.erase(it);
    if (wasActive) m_activeId = m_sheets.empty() ? 0 : m_sheets.front()->Id();
    return true;
  }
  return false;
}

bool Workbook::SetActiveSheet(const std::wstring& name) {
  Sheet* sheet = FindSheet(name);
  if (!sheet) return false;
  m_activeId = sheet->Id();
  return true;
}

Sheet* Workbook::ActiveSheet() { return m_activeId ? SheetById(m_activeId) : nullptr; }

std::vector<Sheet*> Workbook::Sheets() const {
  std::vector<Sheet*> all;
  for (auto& sheet : m_sheets) all.push_back(sheet.get());
  return all;
}

Cell Workbook::GetCell(const std::wstring& sheet, RW row, COL column) const {
  const Sheet* s = FindSheet(sheet);
  return s ? s->Get(row, column) : Cell();
}

bool Workbook::SetCell(const std::wstring& sheet, RW row, COL column, const Cell& cell) {
  Sheet* s = FindSheet(sheet);
  return s && s->Set(row, column, cell);
}

}  // namespace sheethost
