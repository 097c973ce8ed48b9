// CRecordList: a list of (name, 32-bit index) pairs with lookup both ways,
// sortable by name or by index, and a listing cursor for the list exports.
//
// Lookups bisect when the list is sorted on the field searched, and scan in
// stored order otherwise (returning the first match).  A lookup by index that
// finds no name answers the "Bad reference = %d" text while the bad-reference
// flag is set; that text lives in one buffer shared by every CRecordList and
// stays valid until the next failed lookup.
//
// Construction allocates nothing, so process-wide instances are ready before
// any export runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/record_entries.h"

class CRecordList {
 public:
  // Sort keys: by name, by index; any other value keeps insertion order.
  static constexpr uint32_t kByName = recordlist::kByName;
  static constexpr uint32_t kByIndex = recordlist::kByOther;
  // Size in characters of the shared bad-reference text.
  static constexpr size_t kBadReferenceSize = 64;

  constexpr CRecordList() = default;
  explicit constexpr CRecordList(uint32_t sortKey) : m_entries(sortKey) {}
  ~CRecordList();
  CRecordList(const CRecordList&) = delete;
  CRecordList& operator=(const CRecordList&) = delete;

  // Appends a copy of name (null is kept as "no name") with index; clears
  // m_sorted.  False when memory runs out: the list is left as it was.
  bool Add(const wchar_t* name, int32_t index);
  bool AddName(const wchar_t* name) { return Add(name, 0); }
  // Frees every name and empties the list; the array stays allocated.
  void Clear();

  // Index of the entry named name, or -1.
  int32_t Find(const wchar_t* name) const;
  // Name of the entry with index, the bad-reference text, or null.
  const wchar_t* NameOf(int32_t index) const;

  void SetBadReference(bool flag) { m_badReference = flag; }
  bool BadReference() const { return m_badReference; }
  // A new key clears m_sorted; the same key changes nothing.
  void SetSortKey(uint32_t key) { m_entries.SetSortKey(key); }
  uint32_t SortKey() const { return m_entries.SortKey(); }
  void Sort(uint32_t key);
  void Sort();
  bool IsSorted() const { return m_entries.IsSorted(); }

  int32_t Count() const { return m_entries.Count(); }

  // Listing: first != 0 restarts at the first entry.  Copies the name at the
  // cursor into name[size] (cut to size - 1 characters; nothing when name is
  // null or size 0), advances and returns 1; 0 when no entry is left.
  int32_t List(int32_t first, wchar_t* name, size_t size);
  // As List, also giving the entry's index (when index is not null).
  int32_t ListWithIndex(int32_t first, wchar_t* name, size_t size, int32_t* index);

 private:
  struct Entry {
    wchar_t* name;
    int32_t index;
    void Release();
  };

  // Position of the entry matching, or -1.
  int32_t PositionOfName(const wchar_t* name) const;
  int32_t PositionOfIndex(int32_t index) const;

  bool m_badReference = true;
  recordlist::RecordEntries<Entry> m_entries;
};
