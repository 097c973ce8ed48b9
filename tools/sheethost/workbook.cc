// The substitute host's in-memory workbook (see workbook.h).
#include "sheethost/workbook.h"

#include <cmath>
#include <cstring>
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
  if (slot.Number()) {
    view.kind = CellKind::Number;
    std::memcpy(&view.number, &slot.bits, sizeof view.number);
    return view;
  }
  switch (slot.Kind()) {
    case kBoolean:
      view.kind = CellKind::Boolean;
      view.boolean = (slot.bits & 1) != 0;
      break;
    case kError:
      view.kind = CellKind::Error;
      view.error = static_cast<int>(static_cast<int32_t>(slot.bits & 0xFFFFFFFFu));
      break;
    case kSmallText:
      view.kind = CellKind::Text;
      view.length = static_cast<size_t>((slot.bits >> 40) & 0xFF);
      for (size_t i = 0; i < view.length; ++i) view.small[i] = static_cast<unsigned char>(slot.bits >> (8 * i));
      break;
    case kNarrowText:
      view.kind = CellKind::Text;
      view.narrow = m_narrow.data() + slot.Offset();
      view.length = slot.Length();
      break;
    case kWideText:
      view.kind = CellKind::Text;
      view.wide = m_wide.data() + slot.Offset();
      view.length = slot.Length();
      break;
    default:
      break;
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
    case CellKind::Text: {
      std::wstring text(view.length, L'\0');
      for (size_t i = 0; i < view.length; ++i) text[i] = view.At(i);
      return Cell::Str(std::move(text));
    }
    case CellKind::Boolean: return Cell::Bool(view.boolean);
    case CellKind::Error: return Cell::Err(view.error);
    case CellKind::Empty: break;
  }
  return kEmptyCell;
}

void Sheet::Release(Slot* slot) {
  if (slot->Empty()) return;
  if (!slot->Number() && (slot->Kind() == kNarrowText || slot->Kind() == kWideText)) m_garbage += slot->Length();
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

Sheet::Slot* Sheet::Prepare(RW row, COL column) {
  if (!InGrid(row, column)) return nullptr;
  ReserveRow(row, column);
  Slot* slot = Find(row, column);
  Release(slot);
  ++m_count;
  m_snapshotValid = false;
  return slot;
}

bool Sheet::Set(RW row, COL column, const Cell& cell) {
  if (!InGrid(row, column)) return false;
  switch (cell.kind) {
    case CellKind::Number: return SetNumber(row, column, cell.number);
    case CellKind::Text: return SetText(row, column, cell.text.data(), cell.text.size());
    case CellKind::Empty:
      Clear(row, column);
      return true;
    case CellKind::Boolean:
    case CellKind::Error: {
      Slot* slot = Prepare(row, column);
      uint64_t payload = cell.kind == CellKind::Boolean ? (cell.boolean ? 1u : 0u)
                                                        : static_cast<uint32_t>(static_cast<int32_t>(cell.error));
      uint64_t tag = cell.kind == CellKind::Boolean ? kBoolean : kError;
      slot->bits = kMarked | (tag << 48) | payload;
      return true;
    }
  }
  return false;
}

bool Sheet::SetNumber(RW row, COL column, double number) {
  if (!InGrid(row, column) || !std::isfinite(number)) return false;
  Slot* slot = Prepare(row, column);
  std::memcpy(&slot->bits, &number, sizeof number);
  return true;
}

bool Sheet::SetText(RW row, COL column, const wchar_t* text, size_t length) {
  if (!InGrid(row, column) || length > static_cast<size_t>(kXlMaxText)) return false;
  bool latin1 = true;
  for (size_t i = 0; i < length && latin1; ++i) latin1 = static_cast<uint32_t>(text[i]) <= 0xFF;
  if (m_garbage > (1u << 16) && m_garbage > (m_narrow.size() + m_wide.size()) / 2) CompactTexts();
  Slot* slot = Prepare(row, column);
  if (latin1 && length <= kSmallChars) {
    uint64_t bits = kMarked | (uint64_t{kSmallText} << 48) | (uint64_t{length} << 40);
    for (size_t i = 0; i < length; ++i) bits |= uint64_t{static_cast<uint32_t>(text[i]) & 0xFFu} << (8 * i);
    slot->bits = bits;
  } else if (latin1) {
    uint64_t offset = m_narrow.size();
    for (size_t i = 0; i < length; ++i) m_narrow.push_back(static_cast<unsigned char>(text[i]));
    slot->bits = kMarked | (uint64_t{kNarrowText} << 48) | (uint64_t{length} << 32) | offset;
  } else {
    uint64_t offset = m_wide.size();
    m_wide.insert(m_wide.end(), text, text + length);
    slot->bits = kMarked | (uint64_t{kWideText} << 48) | (uint64_t{length} << 32) | offset;
  }
  return true;
}

void Sheet::CompactTexts() {
  std::vector<unsigned char> narrow;
  std::vector<wchar_t> wide;
  narrow.reserve(m_narrow.size());
  wide.reserve(m_wide.size());
  for (std::vector<Slot>& row : m_rows) {
    for (Slot& slot : row) {
      if (slot.Number() || (slot.Kind() != kNarrowText && slot.Kind() != kWideText)) continue;
      size_t offset = slot.Offset(), length = slot.Length();
      uint64_t at;
      if (slot.Kind() == kNarrowText) {
        at = narrow.size();
        narrow.insert(narrow.end(), m_narrow.begin() + offset, m_narrow.begin() + offset + length);
      } else {
        at = wide.size();
        wide.insert(wide.end(), m_wide.begin() + offset, m_wide.begin() + offset + length);
      }
      slot.bits = (slot.bits & ~uint64_t{0xFFFFFFFFu}) | at;
    }
  }
  narrow.shrink_to_fit();
  wide.shrink_to_fit();
  m_narrow.swap(narrow);
  m_wide.swap(wide);
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
  m_narrow.clear();
  m_wide.clear();
  m_garbage = 0;
  m_count = 0;
  m_snapshotValid = false;
}

const std::map<CellPosition, Cell>& Sheet::Cells() const {
  if (!m_snapshotValid) {
    m_snapshot.clear();
    for (size_t r = 0; r < m_rows.size(); ++r) {
      for (size_t c = 0; c < m_rows[r].size(); ++c) {
        if (m_rows[r][c].Empty()) continue;
        m_snapshot.emplace_hint(m_snapshot.end(), CellPosition(static_cast<RW>(r), static_cast<COL>(c)),
                                Get(static_cast<RW>(r), static_cast<COL>(c)));
      }
    }
    m_snapshotValid = true;
  }
  return m_snapshot;
}

size_t Sheet::MemoryBytes() const {
  size_t bytes = m_rows.capacity() * sizeof(std::vector<Slot>) + m_narrow.capacity() + m_wide.capacity() * sizeof(wchar_t);
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
