// The resource file in memory (see edb_rsrc_tables.h).
#include "catalogue/edb_rsrc_tables.h"

#include <new>
#include <utility>

#include "catalogue/edb_rsrc_rows.h"

namespace {

// Position of a kind in the order a save sends the tables.
int SaveRank(RsrcKind kind) {
  switch (kind) {
    case RsrcKind::Speed: return 0;
    case RsrcKind::Scenario: return 1;
    case RsrcKind::Temperature: return 2;
    case RsrcKind::UnitSearch: return 3;
    case RsrcKind::UnitSub: return 4;
    case RsrcKind::UnitSubGrp: return 5;
    case RsrcKind::UnitSubGrpEm: return 6;
    case RsrcKind::Free: return 7;
    case RsrcKind::Kept: break;
  }
  return 8;
}

// A sheet's text against the text it was written from: equal, or the
// sheet's cut of it.
bool SameAsShown(const std::wstring& shown, const std::wstring& stored) {
  if (shown == stored) return true;
  size_t cut = RsrcTextSize - 1;
  return shown.size() == cut && stored.size() > cut && stored.compare(0, cut, shown) == 0;
}

bool SameKey(const RsrcLine& a, const RsrcLine& b) {
  return a.kind == RsrcKind::Free ? a.name == b.name : a.number == b.number;
}

// Unit lines numbered 0 are the fixed first units.
bool IsFixedUnit(const RsrcLine& line) { return IsRsrcUnitKind(line.kind) && line.number == 0; }

}  // namespace

bool CEdbRsrcTables::AddLine(const wchar_t* line) {
  try {
    Entry entry;
    entry.line = ParseRsrcLine(line);
    entry.text = line ? line : L"";
    entry.asRead = true;
    m_entries.push_back(std::move(entry));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::vector<RsrcLine> CEdbRsrcTables::Rows(RsrcKind kind) const {
  std::vector<RsrcLine> rows;
  for (const Entry& entry : m_entries) {
    if (entry.line.kind == kind) rows.push_back(entry.line);
  }
  return rows;
}

bool CEdbRsrcTables::ReplaceRows(RsrcKind kind, const std::vector<RsrcLine>& rows) {
  if (kind == RsrcKind::Kept) return false;
  try {
    std::vector<Entry> entries = m_entries;
    std::vector<bool> taken(entries.size(), false);
    std::vector<Entry> added;
    for (const RsrcLine& given : rows) {
      RsrcLine row = given;
      row.kind = kind;
      if (IsFixedUnit(row)) continue;
      size_t i = 0;
      while (i < entries.size() &&
             (taken[i] || entries[i].line.kind != kind || IsFixedUnit(entries[i].line) ||
              !SameKey(entries[i].line, row))) {
        ++i;
      }
      if (i < entries.size()) {
        taken[i] = true;
        Entry& entry = entries[i];
        if (!SameAsShown(row.name, entry.line.name) || !SameAsShown(row.value, entry.line.value)) {
          entry.line = row;
          entry.asRead = false;
        }
        continue;
      }
      if (IsRsrcNameKind(kind) && row.name.empty()) continue;
      added.push_back(Entry{row, std::wstring(), false});
    }

    // Drop the kind's lines that no row took.
    std::vector<Entry> kept;
    kept.reserve(entries.size() + added.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      const RsrcLine& line = entries[i].line;
      if (line.kind == kind && !taken[i] && !IsFixedUnit(line)) continue;
      kept.push_back(std::move(entries[i]));
    }

    // Where the new rows go.
    size_t at = kept.size();
    bool found = false;
    for (size_t i = kept.size(); !found && i-- > 0;) {
      if (kept[i].line.kind == kind) {
        at = i + 1;
        found = true;
      }
    }
    for (size_t i = kept.size(); !found && i-- > 0;) {
      const RsrcLine& line = kept[i].line;
      if (line.kind != RsrcKind::Kept && SaveRank(line.kind) < SaveRank(kind)) {
        at = i + 1;
        found = true;
      }
    }
    if (!found) {
      for (size_t i = 0; i < kept.size(); ++i) {
        if (kept[i].line.kind != RsrcKind::Kept) {
          at = i;
          break;
        }
      }
    }
    kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    m_entries.swap(kept);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int32_t CEdbRsrcTables::Print(const std::function<int32_t(const wchar_t* line)>& send) const {
  for (const Entry& entry : m_entries) {
    int32_t r = entry.asRead ? send(entry.text.c_str()) : send(FormatRsrcLine(entry.line).c_str());
    if (r != 1) return r;
  }
  return 1;
}

std::vector<std::wstring> CEdbRsrcTables::Lines() const {
  std::vector<std::wstring> lines;
  for (const Entry& entry : m_entries) {
    lines.push_back(entry.asRead ? entry.text : FormatRsrcLine(entry.line));
  }
  return lines;
}
