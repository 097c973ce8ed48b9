// CRecordList: (name, index) pairs with lookup both ways (see record_list.h).
#include "catalogue/record_list.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "catalogue/list_text.h"
#include "host/frame.h"

namespace {

// The text answered by a failed lookup by index, shared by every list.
wchar_t g_badReference[CRecordList::kBadReferenceSize];

constexpr uint32_t kGrowBy = 32;

}  // namespace

CRecordList::~CRecordList() {
  Clear();
  free(m_pData);
  m_pData = nullptr;
  m_capacity = 0;
}

bool CRecordList::Add(const wchar_t* name, int32_t index) {
  if (static_cast<uint32_t>(m_count) == m_capacity) {
    if (m_capacity > static_cast<uint32_t>(INT32_MAX) - kGrowBy) return false;
    uint32_t capacity = m_capacity + kGrowBy;
    if (capacity > SIZE_MAX / sizeof(Entry)) return false;
    Entry* grown = static_cast<Entry*>(realloc(m_pData, capacity * sizeof(Entry)));
    if (!grown) return false;
    m_pData = grown;
    m_capacity = capacity;
  }
  wchar_t* copy = nullptr;
  if (name) {
    copy = listtext::Duplicate(name);
    if (!copy) return false;
  }
  m_pData[m_count].name = copy;
  m_pData[m_count].index = index;
  ++m_count;
  m_sorted = false;
  return true;
}

void CRecordList::Clear() {
  for (int32_t i = 0; i < m_count; ++i) free(m_pData[i].name);
  m_count = 0;
  m_sorted = false;
}

int32_t CRecordList::PositionOfName(const wchar_t* name) const {
  if (!name || m_count == 0) return -1;
  if (m_sorted && m_sortKey == kByName) {
    const Entry* end = m_pData + m_count;
    const Entry* at = std::lower_bound(static_cast<const Entry*>(m_pData), end, name, [](const Entry& e, const wchar_t* n) {
      return listtext::Compare(e.name, n) < 0;
    });
    if (at != end && listtext::Compare(at->name, name) == 0) return static_cast<int32_t>(at - m_pData);
    return -1;
  }
  for (int32_t i = 0; i < m_count; ++i) {
    if (listtext::Compare(m_pData[i].name, name) == 0) return i;
  }
  return -1;
}

int32_t CRecordList::PositionOfIndex(int32_t index) const {
  if (m_count == 0) return -1;
  if (m_sorted && m_sortKey == kByIndex) {
    const Entry* end = m_pData + m_count;
    const Entry* at = std::lower_bound(static_cast<const Entry*>(m_pData), end, index,
                                       [](const Entry& e, int32_t i) { return e.index < i; });
    if (at != end && at->index == index) return static_cast<int32_t>(at - m_pData);
    return -1;
  }
  for (int32_t i = 0; i < m_count; ++i) {
    if (m_pData[i].index == index) return i;
  }
  return -1;
}

int32_t CRecordList::Find(const wchar_t* name) const {
  int32_t at = PositionOfName(name);
  return at < 0 ? -1 : m_pData[at].index;
}

const wchar_t* CRecordList::NameOf(int32_t index) const {
  int32_t at = PositionOfIndex(index);
  if (at >= 0 && m_pData[at].name) return m_pData[at].name;
  if (!m_badReference) return nullptr;
  listtext::FormatCut(g_badReference, kBadReferenceSize, L"Bad reference = %d", static_cast<int>(index));
  return g_badReference;
}

void CRecordList::SetSortKey(uint32_t key) {
  if (key == m_sortKey) return;
  m_sortKey = key;
  m_sorted = false;
}

void CRecordList::Sort(uint32_t key) {
  SetSortKey(key);
  Sort();
}

void CRecordList::Sort() {
  if (DebugLevel > 0) DebugPrint(" --> CRecordList::Sort, m_sorted = %d\n", m_sorted ? 1 : 0);
  if (!m_sorted && m_count > 1) {
    Entry* end = m_pData + m_count;
    if (m_sortKey == kByName) {
      std::sort(m_pData, end, [](const Entry& a, const Entry& b) {
        return listtext::Compare(a.name, b.name) < 0;
      });
    } else if (m_sortKey == kByIndex) {
      std::sort(m_pData, end, [](const Entry& a, const Entry& b) { return a.index < b.index; });
    }
  }
  m_sorted = true;
  if (DebugLevel > 0) DebugPrint(" <-- CRecordList::Sort\n");
}

int32_t CRecordList::List(int32_t first, wchar_t* name, size_t size) {
  return ListWithIndex(first, name, size, nullptr);
}

int32_t CRecordList::ListWithIndex(int32_t first, wchar_t* name, size_t size, int32_t* index) {
  if (first) m_cursor = 0;
  if (m_cursor < 0 || m_cursor >= m_count) return 0;
  const Entry& entry = m_pData[m_cursor++];
  listtext::CopyCut(name, size, entry.name);
  if (index) *index = entry.index;
  return 1;
}
