// CRecordList: (name, index) pairs with lookup both ways (see record_list.h).
#include "catalogue/record_list.h"

#include <cstdint>
#include <cstdlib>

#include "catalogue/list_text.h"

namespace {

// The text answered by a failed lookup by index, shared by every list.
wchar_t g_badReference[CRecordList::kBadReferenceSize];

}  // namespace

void CRecordList::Entry::Release() { free(name); }

CRecordList::~CRecordList() = default;

bool CRecordList::Add(const wchar_t* name, int32_t index) {
  if (!m_entries.Grow()) return false;
  wchar_t* copy = nullptr;
  if (name) {
    copy = listtext::Duplicate(name);
    if (!copy) return false;
  }
  m_entries.Append({copy, index});
  return true;
}

void CRecordList::Clear() { m_entries.Clear(); }

int32_t CRecordList::PositionOfName(const wchar_t* name) const {
  if (!name) return -1;
  return m_entries.Position(kByName, name, [](const Entry& e, const wchar_t* n) { return listtext::Compare(e.name, n); });
}

int32_t CRecordList::PositionOfIndex(int32_t index) const {
  return m_entries.Position(kByIndex, index, [](const Entry& e, int32_t i) { return e.index < i ? -1 : e.index > i ? 1 : 0; });
}

int32_t CRecordList::Find(const wchar_t* name) const {
  int32_t at = PositionOfName(name);
  return at < 0 ? -1 : m_entries.At(at).index;
}

const wchar_t* CRecordList::NameOf(int32_t index) const {
  int32_t at = PositionOfIndex(index);
  if (at >= 0 && m_entries.At(at).name) return m_entries.At(at).name;
  if (!m_badReference) return nullptr;
  listtext::FormatCut(g_badReference, kBadReferenceSize, L"Bad reference = %d", static_cast<int>(index));
  return g_badReference;
}

void CRecordList::Sort(uint32_t key) {
  SetSortKey(key);
  Sort();
}

void CRecordList::Sort() {
  m_entries.Sort("CRecordList", [](const Entry& a, const Entry& b) { return a.index < b.index; });
}

int32_t CRecordList::List(int32_t first, wchar_t* name, size_t size) {
  return ListWithIndex(first, name, size, nullptr);
}

int32_t CRecordList::ListWithIndex(int32_t first, wchar_t* name, size_t size, int32_t* index) {
  const Entry* entry = m_entries.Next(first);
  if (!entry) return 0;
  listtext::CopyCut(name, size, entry->name);
  if (index) *index = entry->index;
  return 1;
}
