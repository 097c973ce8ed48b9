// The digests of what the server held at the load (see load_base.h).
#include "load_base.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <set>
#include <tuple>

#include "record_diff.h"
#include "terminal.h"

using sheethost::Cell;
using sheethost::CellKind;
using sheethost::Sheet;

const wchar_t kBaseSheet[] = L"VorkabBase";

namespace {

enum BaseColumn : COL { KindColumn, PartColumn, IndexColumn, NameColumn, DigestColumn };

// FNV-1a, 64 bits, over the code units of the texts, each text ended by a
// separator the cells cannot hold.
class Digest {
 public:
  void Add(const std::wstring& text) {
    for (wchar_t c : text) Byte4(static_cast<uint32_t>(c));
    Byte4(0xFFFFFFFFu);
  }
  std::string Hex() const {
    char text[17];
    snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(m_hash));
    return text;
  }

 private:
  void Byte4(uint32_t unit) {
    for (int i = 0; i < 4; ++i) {
      m_hash ^= (unit >> (8 * i)) & 0xFFu;
      m_hash *= 1099511628211ull;
    }
  }
  uint64_t m_hash = 14695981039346656037ull;
};

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
std::string Narrow(const std::wstring& ascii) {
  std::string text;
  for (wchar_t c : ascii) text += c < 0x80 ? static_cast<char>(c) : '?';
  return text;
}

using Key = std::pair<std::string, int32_t>;  // part, index
std::map<Key, const BaseRecord*> ByKey(const KindBase& records) {
  std::map<Key, const BaseRecord*> keyed;
  for (const BaseRecord& r : records) keyed[{r.part, r.index}] = &r;
  return keyed;
}

const BaseRecord* Find(const std::map<Key, const BaseRecord*>& keyed, const Key& key) {
  auto found = keyed.find(key);
  return found == keyed.end() ? nullptr : found->second;
}

bool Same(const BaseRecord* a, const BaseRecord* b) {
  if (!a || !b) return a == b;
  return a->digest == b->digest;
}

// The change from a to b of one record; both differ.
BaseChange ChangeOf(const Key& key, const BaseRecord* a, const BaseRecord* b) {
  if (!a) return {BaseChange::Add, key.first, key.second, b->name};
  if (!b) return {BaseChange::Delete, key.first, key.second, a->name};
  return {BaseChange::Change, key.first, key.second, b->name};
}

}  // namespace

KindBase DigestKind(const RecordKind& kind, const sheethost::Workbook& book) {
  KindBase records;
  for (const TransferPart& part : kind.parts) {
    if (!part.save) continue;
    if (part.layout.sheet.empty()) {
      // Compared whole: every cell of the kind's sheets, with its place.
      Digest digest;
      for (const std::wstring& name : KindSheets(kind, book)) {
        digest.Add(name);
        const Sheet* sheet = book.FindSheet(name);
        if (!sheet) continue;
        for (const auto& cell : sheet->Cells()) {
          std::wstring text = FieldText(cell.second);
          if (text.empty()) continue;  // an empty text is no content (the file does not keep it)
          digest.Add(std::to_wstring(cell.first.first) + L"," + std::to_wstring(cell.first.second));
          digest.Add(text);
        }
      }
      records.push_back({part.label, 0, L"", digest.Hex()});
      continue;
    }
    for (const SheetRecord& record : ReadRecords(book, part.layout)) {
      Digest digest;
      digest.Add(record.name);
      for (const auto& field : record.fields) {
        std::wstring text = FieldText(field.second);
        if (text.empty()) continue;
        digest.Add(field.first);
        digest.Add(text);
      }
      records.push_back({part.label, record.index, record.name, digest.Hex()});
    }
  }
  return records;
}

std::map<std::string, KindBase> ReadBase(const sheethost::Workbook& book) {
  std::map<std::string, KindBase> kinds;
  const Sheet* sheet = book.FindSheet(kBaseSheet);
  if (!sheet) return kinds;
  for (RW row = 1;; ++row) {
    std::wstring kind = FieldText(sheet->Get(row, KindColumn));
    if (kind.empty()) break;
    KindBase& records = kinds[Narrow(kind)];
    if (FieldText(sheet->Get(row, PartColumn)).empty()) continue;  // a kind loaded empty
    BaseRecord record;
    record.part = Narrow(FieldText(sheet->Get(row, PartColumn)));
    const Cell& index = sheet->Get(row, IndexColumn);
    // No index: a part compared whole.  Anything but a whole index in range
    // matches no record: the kind then reads as changed, never as unchanged.
    bool whole = index.kind == CellKind::Number && index.number >= 1 && index.number <= 2147483647.0 &&
                 std::floor(index.number) == index.number;
    record.index = index.IsEmpty() ? 0 : whole ? static_cast<int32_t>(index.number) : -1;
    record.name = FieldText(sheet->Get(row, NameColumn));
    record.digest = Narrow(FieldText(sheet->Get(row, DigestColumn)));
    records.push_back(record);
  }
  return kinds;
}

void WriteBase(sheethost::Workbook& book, const std::map<std::string, KindBase>& kinds) {
  std::map<std::string, KindBase> all = ReadBase(book);
  for (const auto& kind : kinds) all[kind.first] = kind.second;
  Sheet* sheet = book.FindSheet(kBaseSheet);
  if (!sheet) sheet = book.AddSheet(kBaseSheet);
  sheet->ClearAll();
  const wchar_t* headings[] = {L"Kind", L"Part", L"Index", L"Name", L"Digest"};
  for (COL c = 0; c < 5; ++c) sheet->Set(0, c, Cell::Str(headings[c]));
  RW row = 1;
  for (const auto& kind : all) {
    // A kind with no records keeps a row of its own: it was loaded, empty.
    if (kind.second.empty()) sheet->Set(row++, KindColumn, Cell::Str(Wide(kind.first)));
    for (const BaseRecord& r : kind.second) {
      sheet->Set(row, KindColumn, Cell::Str(Wide(kind.first)));
      sheet->Set(row, PartColumn, Cell::Str(Wide(r.part)));
      if (r.index != 0) sheet->Set(row, IndexColumn, Cell::Num(r.index));
      if (!r.name.empty()) sheet->Set(row, NameColumn, Cell::Str(r.name));
      sheet->Set(row, DigestColumn, Cell::Str(Wide(r.digest)));
      ++row;
    }
  }
}

std::vector<BaseChange> ChangesBetween(const KindBase& before, const KindBase& after) {
  auto a = ByKey(before), b = ByKey(after);
  std::set<Key> keys;
  for (const auto& e : a) keys.insert(e.first);
  for (const auto& e : b) keys.insert(e.first);
  std::vector<BaseChange> changes;
  for (const Key& key : keys) {
    const BaseRecord* x = Find(a, key);
    const BaseRecord* y = Find(b, key);
    if (!Same(x, y)) changes.push_back(ChangeOf(key, x, y));
  }
  return changes;
}

std::string DescribeChange(const BaseChange& c) {
  if (c.index == 0 && c.name.empty()) return "changed";
  const char* verb = c.what == BaseChange::Add ? "add    " : c.what == BaseChange::Delete ? "delete " : "change ";
  return verb + ("\"" + ForTerminal(c.name) + "\"") + " (index " + std::to_string(c.index) + ")";
}

void PrintThreeWay(const RecordKind& kind, const KindBase& base, const KindBase& workbook, const KindBase& server,
                   size_t* both) {
  auto b = ByKey(base), w = ByKey(workbook), s = ByKey(server);
  for (const TransferPart& part : kind.parts) {
    if (!part.save) continue;
    std::set<Key> keys;
    for (const auto* side : {&b, &w, &s}) {
      for (const auto& e : *side) {
        if (e.first.first == part.label) keys.insert(e.first);
      }
    }
    std::vector<std::string> lines;
    size_t mine = 0, theirs = 0, conflicts = 0;
    for (const Key& key : keys) {
      const BaseRecord* base0 = Find(b, key);
      const BaseRecord* wb = Find(w, key);
      const BaseRecord* sv = Find(s, key);
      bool workbookChanged = !Same(base0, wb), serverChanged = !Same(base0, sv);
      if (workbookChanged && serverChanged) {
        if (Same(wb, sv)) {
          lines.push_back("  both     " + DescribeChange(ChangeOf(key, base0, wb)) + ", the same way");
          continue;
        }
        ++conflicts;
        std::string mineText = DescribeChange(ChangeOf(key, base0, wb));
        std::string theirsText = DescribeChange(ChangeOf(key, base0, sv));
        lines.push_back("  both     " + (mineText == theirsText ? mineText + ", each differently"
                                                                 : "workbook: " + mineText + "; server: " + theirsText));
      } else if (workbookChanged) {
        ++mine;
        lines.push_back("  workbook " + DescribeChange(ChangeOf(key, base0, wb)));
      } else if (serverChanged) {
        ++theirs;
        lines.push_back("  server   " + DescribeChange(ChangeOf(key, base0, sv)));
      }
    }
    std::cout << part.label << " since the load: " << mine << " changed in the workbook, " << theirs
              << " changed on the server, " << conflicts << " changed on both\n";
    for (const std::string& line : lines) std::cout << line << "\n";
    *both += conflicts;
  }
}
