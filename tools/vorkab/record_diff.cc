// Records of a sheet and their comparison (see record_diff.h).
#include "record_diff.h"

#include <cmath>
#include <set>

#include "xlsx_cell_text.h"

using sheethost::Cell;
using sheethost::CellKind;
using sheethost::Sheet;

std::wstring FieldText(const Cell& cell) {
  switch (cell.kind) {
    case CellKind::Text: return cell.text;
    case CellKind::Number: {
      std::string n = xlsx::NumberText(cell.number);
      return std::wstring(n.begin(), n.end());
    }
    case CellKind::Boolean: return cell.boolean ? L"TRUE" : L"FALSE";
    case CellKind::Error: return L"#ERROR";
    case CellKind::Empty: break;
  }
  return std::wstring();
}

namespace {

std::wstring Text(const Cell& cell) { return FieldText(cell); }

int32_t IndexOf(const Cell& cell) {
  double value = 0;
  if (cell.kind == CellKind::Number) {
    value = cell.number;
  } else if (cell.kind == CellKind::Text) {
    std::string narrow(cell.text.begin(), cell.text.end());
    if (!xlsx::ParseNumber(narrow, &value)) return -1;
  } else {
    return -1;
  }
  if (value < 1 || value > 2147483647.0 || std::floor(value) != value) return -1;
  return static_cast<int32_t>(value);
}

std::wstring Heading(const Sheet& sheet, COL column, RW offset, const RecordLayout& layout) {
  std::wstring heading = Text(sheet.Get(0, column));
  if (heading.empty()) {
    std::string name = xlsx::ColumnName(column);
    heading.assign(name.begin(), name.end());
  }
  if (static_cast<size_t>(offset) < layout.rowLabels.size()) {
    heading += L" (" + layout.rowLabels[static_cast<size_t>(offset)] + L")";
  } else if (layout.rowsPerRecord > 1) {
    heading += L" (row " + std::to_wstring(offset + 1) + L")";
  }
  return heading;
}

}  // namespace

std::vector<SheetRecord> ReadRecords(const sheethost::Workbook& book, const RecordLayout& layout) {
  std::vector<SheetRecord> records;
  const Sheet* sheet = layout.sheet.empty() ? nullptr : book.FindSheet(layout.sheet);
  if (!sheet) return records;
  const auto& cells = sheet->Cells();
  if (layout.indexColumn < 0) {
    for (const auto& entry : cells) {
      if (entry.first.first < 1 || entry.first.second != layout.nameColumn) continue;
      std::wstring name = Text(entry.second);
      if (name.empty() || name == L"-") continue;
      SheetRecord record;
      record.index = static_cast<int32_t>(entry.first.first);
      record.name = name;
      record.row = entry.first.first;
      records.push_back(record);
    }
    return records;
  }
  // Named records: each record's rows, up to the first record row without a name.
  std::map<RW, SheetRecord> byRow;
  RW end = kXlRows;
  for (RW row = 1; row < kXlRows; row += layout.rowsPerRecord) {
    if (Text(sheet->Get(row, layout.nameColumn)).empty()) {
      end = row;
      break;
    }
    SheetRecord& record = byRow[row];
    record.row = row;
    record.name = Text(sheet->Get(row, layout.nameColumn));
    record.index = IndexOf(sheet->Get(row, layout.indexColumn));
  }
  for (auto it = cells.lower_bound({1, 0}); it != cells.end() && it->first.first < end; ++it) {
    RW row = it->first.first;
    COL column = it->first.second;
    if (column == layout.nameColumn || column == layout.indexColumn || it->second.IsEmpty()) continue;
    RW offset = (row - 1) % layout.rowsPerRecord;
    byRow[row - offset].fields[Heading(*sheet, column, offset, layout)] = it->second;
  }
  for (auto& entry : byRow) records.push_back(std::move(entry.second));
  return records;
}

std::vector<RecordChange> DiffRecords(const std::vector<SheetRecord>& server, const std::vector<SheetRecord>& workbook) {
  std::map<int32_t, const SheetRecord*> before, after;
  for (const SheetRecord& r : server) before[r.index] = &r;
  for (const SheetRecord& r : workbook) after[r.index] = &r;
  std::set<int32_t> indexes;
  for (const auto& e : before) indexes.insert(e.first);
  for (const auto& e : after) indexes.insert(e.first);
  std::vector<RecordChange> changes;
  for (int32_t index : indexes) {
    auto b = before.find(index);
    auto a = after.find(index);
    if (b == before.end()) {
      changes.push_back({RecordChange::Add, index, a->second->name, L"", {}});
    } else if (a == after.end()) {
      changes.push_back({RecordChange::Delete, index, b->second->name, L"", {}});
    } else {
      RecordChange change{RecordChange::Change, index, a->second->name, b->second->name, {}};
      std::set<std::wstring> fields;
      for (const auto& f : a->second->fields) fields.insert(f.first);
      for (const auto& f : b->second->fields) fields.insert(f.first);
      for (const std::wstring& field : fields) {
        auto x = a->second->fields.find(field);
        auto y = b->second->fields.find(field);
        std::wstring newText = x == a->second->fields.end() ? L"" : Text(x->second);
        std::wstring oldText = y == b->second->fields.end() ? L"" : Text(y->second);
        if (newText != oldText) change.fields.push_back(field);
      }
      if (change.name != change.serverName || !change.fields.empty()) changes.push_back(change);
    }
  }
  return changes;
}

std::vector<std::wstring> DiffSheets(const sheethost::Workbook& server, const sheethost::Workbook& workbook,
                                     const std::vector<std::wstring>& sheets, size_t limit, size_t* count) {
  std::vector<std::wstring> cells;
  *count = 0;
  for (const std::wstring& name : sheets) {
    const Sheet* a = workbook.FindSheet(name);
    const Sheet* b = server.FindSheet(name);
    std::set<std::pair<RW, COL>> positions;
    if (a) {
      for (const auto& e : a->Cells()) positions.insert(e.first);
    }
    if (b) {
      for (const auto& e : b->Cells()) positions.insert(e.first);
    }
    for (const auto& p : positions) {
      std::wstring x = a ? Text(a->Get(p.first, p.second)) : L"";
      std::wstring y = b ? Text(b->Get(p.first, p.second)) : L"";
      if (x == y) continue;
      if (++*count <= limit) {
        std::string cell = xlsx::CellName(p.first, p.second);
        cells.push_back(name + L"!" + std::wstring(cell.begin(), cell.end()));
      }
    }
  }
  return cells;
}
