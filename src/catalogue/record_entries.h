// RecordEntries: what CRecordList and CRecordListKey share, for their own
// entry type: the growing entry array, clearing, the sort key with its
// m_sorted state, ordering, lookup (bisection when the entries are in order
// of the field looked for, a scan in stored order otherwise) and the listing
// cursor.
//
// An Entry holds an owned name (wchar_t* name) and one more field; its
// Release() frees what it owns.  Sort key 0 orders by name, 1 by the other
// field, any other value keeps insertion order.  Construction allocates
// nothing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "catalogue/list_text.h"

namespace recordlist {

constexpr uint32_t kByName = 0;
constexpr uint32_t kByOther = 1;

// Writes the sort's entry (" --> Owner::Sort, m_sorted = 0|1") or exit
// (" <-- Owner::Sort") line into the log when DebugLevel is above 0.
void TraceSort(const char* owner, bool entering, bool sorted);

template <class Entry>
class RecordEntries {
 public:
  constexpr RecordEntries() = default;
  explicit constexpr RecordEntries(uint32_t sortKey) : m_sortKey(sortKey) {}
  ~RecordEntries() {
    Clear();
    std::free(m_pData);
  }
  RecordEntries(const RecordEntries&) = delete;
  RecordEntries& operator=(const RecordEntries&) = delete;

  // Room for one more entry: the array grows by 32 entries when full.  False
  // when memory runs out (the list is as it was).
  bool Grow() {
    if (static_cast<uint32_t>(m_count) < m_capacity) return true;
    if (m_capacity > static_cast<uint32_t>(INT32_MAX) - kGrowBy) return false;
    uint32_t capacity = m_capacity + kGrowBy;
    if (capacity > SIZE_MAX / sizeof(Entry)) return false;
    Entry* grown = static_cast<Entry*>(std::realloc(m_pData, capacity * sizeof(Entry)));
    if (!grown) return false;
    m_pData = grown;
    m_capacity = capacity;
    return true;
  }
  // Appends entry, which the list then owns, after a successful Grow; clears
  // m_sorted.
  void Append(const Entry& entry) {
    m_pData[m_count++] = entry;
    m_sorted = false;
  }
  // Releases every entry; count 0, not sorted; the array stays allocated.
  void Clear() {
    for (int32_t i = 0; i < m_count; ++i) m_pData[i].Release();
    m_count = 0;
    m_sorted = false;
  }

  int32_t Count() const { return m_count; }
  const Entry& At(int32_t i) const { return m_pData[i]; }

  // A new key clears m_sorted; the same key changes nothing.
  void SetSortKey(uint32_t key) {
    if (key == m_sortKey) return;
    m_sortKey = key;
    m_sorted = false;
  }
  uint32_t SortKey() const { return m_sortKey; }
  bool IsSorted() const { return m_sorted; }

  // Puts the entries in order of the sort key unless they are already (by
  // name, or by the other field with otherLess), then counts as sorted; traced
  // under owner.
  template <class Less>
  void Sort(const char* owner, Less otherLess) {
    TraceSort(owner, true, m_sorted);
    if (!m_sorted && m_count > 1) {
      Entry* end = m_pData + m_count;
      if (m_sortKey == kByName) {
        std::sort(m_pData, end, [](const Entry& a, const Entry& b) { return listtext::Compare(a.name, b.name) < 0; });
      } else if (m_sortKey == kByOther) {
        std::sort(m_pData, end, otherLess);
      }
    }
    m_sorted = true;
    TraceSort(owner, false, m_sorted);
  }

  // Position of an entry for which compare(entry, value) is 0, or -1: with
  // bisection when the entries are sorted on key (compare then orders them),
  // else the first in stored order.
  template <class Value, class Compare>
  int32_t Position(uint32_t key, const Value& value, Compare compare) const {
    if (m_count == 0) return -1;
    if (m_sorted && m_sortKey == key) {
      const Entry* end = m_pData + m_count;
      const Entry* at = std::lower_bound(static_cast<const Entry*>(m_pData), end, value,
                                         [&](const Entry& e, const Value& v) { return compare(e, v) < 0; });
      return at != end && compare(*at, value) == 0 ? static_cast<int32_t>(at - m_pData) : -1;
    }
    for (int32_t i = 0; i < m_count; ++i) {
      if (compare(m_pData[i], value) == 0) return i;
    }
    return -1;
  }

  // Listing: first != 0 restarts at the first entry.  The entry at the
  // cursor, which moves on; null when no entry is left.
  const Entry* Next(int32_t first) {
    if (first) m_cursor = 0;
    if (m_cursor < 0 || m_cursor >= m_count) return nullptr;
    return &m_pData[m_cursor++];
  }

 private:
  static constexpr uint32_t kGrowBy = 32;

  uint32_t m_capacity = 0;
  int32_t m_count = 0;
  Entry* m_pData = nullptr;
  bool m_sorted = false;
  uint32_t m_sortKey = kByName;
  int32_t m_cursor = 0;
};

}  // namespace recordlist
