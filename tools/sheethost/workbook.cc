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

CellView Sheet::View(const Slot& slot) const {
  CellView view;
  view.kind = static_cast<CellKind>(slot.kind);
  switch (view.kind) {
    case CellKind::Number: view.number = slot.number; break;
    case CellKind::Boolean: view.boolean = slot.boolean; break;
    case CellKind::Error: view.error = slot.error; break;
    case CellKind::Text:
      view.text = m_texts.data() + slot.text.offset;
      view.length = slot.text.length;
      break;
    case CellKind::Empty: break;
  }
  return view;
}

Sheet::Slot* Sheet::Find(RW row, COL column) {
  if (row < 0 || column < 0 || static_cast<size_t>(row) >= m_rows.size()) return nullptr;
  std::vector<Slot>& cells = m_rows[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < cells.size() ? &cells[static_cast<size_t>(column)] : nullptr;
}

Cell Sheet::Get(RW row, COL column) const {
  const Slot* slot = const_cast<Sheet*>(this)->Find(row, column);
  if (!slot) return kEmptyCell;
  CellView view = View(*slot);
  switch (view.kind) {
    case CellKind::Number: return Cell::Num(view.number);
    case CellKind::Text: return Cell::Str(std::wstring(view.text, view.length));
    case CellKind::Boolean: return Cell::Bool(view.boolean);
    case CellKind::Error: return Cell::Err(view.error);
    case CellKind::Empty: break;
  }
  return kEmptyCell;
}

void Sheet::Release(Slot* slot) {
  if (slot->kind == static_cast<uint8_t>(CellKind::Empty)) return;
  if (slot->kind == static_cast<uint8_t>(CellKind::Text)) m_garbage += slot->text.length;
  *slot = Slot();
  --m_count;
  m_snapshotValid = false;
}

void Sheet::ReserveRow(RW row, COL last) {
  if (!InGrid(row, last)) return;
  if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
  std::vector<Slot>& cells = m_rows[static_cast<size_t>(row)];
  if (cells.size() <= static_cast<size_t>(last)) cells.resize(static_cast<size_t>(last) + 1);
}

bool Sheet::Set(RW row, COL column, const Cell& cell) {
  if (!InGrid(row, column)) return false;
  if (cell.kind == CellKind::Text && cell.text.size() > static_cast<size_t>(kXlMaxText)) return false;
  if (cell.kind == CellKind::Number && !std::isfinite(cell.number)) return false;
  if (cell.IsEmpty()) {
    Clear(row, column);
    return true;
  }
  ReserveRow(row, column);
  Slot* slot = Find(row, column);
  Release(slot);
  Slot fresh;
  fresh.kind = static_cast<uint8_t>(cell.kind);
  switch (cell.kind) {
    case CellKind::Number: fresh.number = cell.number; break;
    case CellKind::Boolean: fresh.boolean = cell.boolean; break;
    case CellKind::Error: fresh.error = cell.error; break;
    case CellKind::Text:
      if (m_garbage > (1u << 16) && m_garbage > m_texts.size() / 2) CompactTexts();
      fresh.text.offset = static_cast<uint32_t>(m_texts.size());
      fresh.text.length = static_cast<uint32_t>(cell.text.size());
      m_texts.insert(m_texts.end(), cell.text.begin(), cell.text.end());
      break;
    case CellKind::Empty: break;
  }
  *slot = fresh;
  ++m_count;
  m_snapshotValid = false;
  return true;
}

void Sheet::CompactTexts() {
  std::vector<wchar_t> texts;
  texts.reserve(m_texts.size() - m_garbage);
  for (std::vector<Slot>& row : m_rows) {
    for (Slot& slot : row) {
      if (slot.kind != static_cast<uint8_t>(CellKind::Text)) continue;
      uint32_t offset = static_cast<uint32_t>(texts.size());
      texts.insert(texts.end(), m_texts.begin() + slot.text.offset,
                   m_texts.begin() + slot.text.offset + slot.text.length);
      slot.text.offset = offset;
    }
  }
  m_texts.swap(texts);
  m_garbage = 0;
}

void Sheet::Clear(RW row, COL column) {
  if (Slot* slot = Find(row, column)) Release(slot);
}

void Sheet::ClearArea(const XLREF12& area) {
  for (RW r = area.rwFirst; r <= area.rwLast && r >= 0 && static_cast<size_t>(r) < m_rows.size(); ++r) {
    std::vector<Slot>& row = m_rows[static_cast<size_t>(r)];
    for (COL c = area.colFirst < 0 ? 0 : area.colFirst; c <= area.colLast && static_cast<size_t>(c) < row.size(); ++c) {
      Release(&row[static_cast<size_t>(c)]);
    }
  }
}

void Sheet::ClearAll() {
  m_rows.clear();
  m_texts.clear();
  m_garbage = 0;
  m_count = 0;
  m_snapshotValid = false;
}

const std::map<CellPosition, Cell>& Sheet::Cells() const {
  if (!m_snapshotValid) {
    m_snapshot.clear();
    for (size_t r = 0; r < m_rows.size(); ++r) {
      for (size_t c = 0; c < m_rows[r].size(); ++c) {
        if (m_rows[r][c].kind == static_cast<uint8_t>(CellKind::Empty)) continue;
        m_snapshot.emplace_hint(m_snapshot.end(), CellPosition(static_cast<RW>(r), static_cast<COL>(c)),
                                Get(static_cast<RW>(r), static_cast<COL>(c)));
      }
    }
    m_snapshotValid = true;
  }
  return m_snapshot;
}

size_t Sheet::MemoryBytes() const {
  size_t bytes = m_rows.capacity() * sizeof(std::vector<Slot>) + m_texts.capacity() * sizeof(wchar_t);
  for (const std::vector<Slot>& row : m_rows) bytes += row.capacity() * sizeof(Slot);
  return bytes;
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
