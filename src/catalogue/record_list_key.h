// CRecordListKey: a list of (name, text key) pairs with lookup both ways,
// sortable by name or by key, and a listing cursor for the list exports.
// Companies are keyed by their ID, facilities by "X Y" made with MakeKey.
//
// Lookups bisect when the list is sorted on the field searched and scan in
// stored order otherwise.  FindName answers "Bad reference = <key>" for an
// unknown key while the bad-reference flag is set; that text lives in one
// buffer shared by every CRecordListKey and stays valid until the next failed
// lookup.  Construction allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/record_entries.h"

class CRecordListKey {
 public:
  // Sort keys: by name, by key; any other value keeps insertion order.
  static constexpr uint32_t kByName = recordlist::kByName;
  static constexpr uint32_t kByKey = recordlist::kByOther;
  static constexpr size_t kKeySize = 1024;
  static constexpr size_t kBadReferenceSize = 64;

  constexpr CRecordListKey() = default;
  ~CRecordListKey();
  CRecordListKey(const CRecordListKey&) = delete;
  CRecordListKey& operator=(const CRecordListKey&) = delete;

  // Appends copies of name and key; clears m_sorted.  False when either copy
  // fails: the list is left as it was.
  bool Add(const wchar_t* name, const wchar_t* key);
  void Clear();

  // Key of the entry named name, or null (never the bad-reference text).
  const wchar_t* FindKey(const wchar_t* name) const;
  // Name of the entry with key, the bad-reference text, or null.
  const wchar_t* FindName(const wchar_t* key) const;

  // Composes "a b" (decimal) in this list's key buffer and returns it; the
  // text stays valid until the next MakeKey on the same list.
  const wchar_t* MakeKey(uint32_t a, uint32_t b);
  // Reads two decimal numbers, separated by white space, back from a key.
  // False (and both set to 0) when the key does not start with two numbers
  // that fit 32 bits.
  static bool ParseKey(const wchar_t* key, uint32_t* a, uint32_t* b);

  void SetBadReference(bool flag) { m_badReference = flag; }
  bool BadReference() const { return m_badReference; }
  void SetSortKey(uint32_t key) { m_entries.SetSortKey(key); }
  uint32_t SortKey() const { return m_entries.SortKey(); }
  void Sort(uint32_t key);
  void Sort();
  bool IsSorted() const { return m_entries.IsSorted(); }

  int32_t Count() const { return m_entries.Count(); }

  // Listing: first != 0 restarts at the first entry.  Copies the name at the
  // cursor into name[size] (cut to size - 1 characters), advances and returns
  // 1; 0 when no entry is left.
  int32_t List(int32_t first, wchar_t* name, size_t size);

 private:
  struct Entry {
    wchar_t* name;
    wchar_t* key;
    void Release();
  };

  int32_t PositionOfName(const wchar_t* name) const;
  int32_t PositionOfKey(const wchar_t* key) const;

  wchar_t m_key[kKeySize] = {};
  bool m_badReference = true;
  recordlist::RecordEntries<Entry> m_entries;
};
