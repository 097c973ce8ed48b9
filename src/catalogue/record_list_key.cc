// CRecordListKey: (name, key) pairs with lookup both ways (see record_list_key.h).
#include "catalogue/record_list_key.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "catalogue/list_text.h"
#include "host/frame.h"

namespace {

// The text answered by a failed lookup by key, shared by every keyed list.
wchar_t g_badReference[CRecordListKey::kBadReferenceSize];

constexpr uint32_t kGrowBy = 32;

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// One unsigned decimal number after optional white space and "+"; advances p.
bool ReadNumber(const wchar_t*& p, uint32_t* value) {
  while (IsBlank(*p)) ++p;
  if (*p == L'+') ++p;
  if (*p < L'0' || *p > L'9') return false;
  uint64_t v = 0;
  while (*p >= L'0' && *p <= L'9') {
    v = v * 10 + static_cast<uint64_t>(*p - L'0');
    if (v > UINT32_MAX) return false;
    ++p;
  }
  *value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

CRecordListKey::~CRecordListKey() {
  Clear();
  free(m_pData);
  m_pData = nullptr;
  m_capacity = 0;
}

bool CRecordListKey::Add(const wchar_t* name, const wchar_t* key) {
  if (static_cast<uint32_t>(m_count) == m_capacity) {
    if (m_capacity > static_cast<uint32_t>(INT32_MAX) - kGrowBy) return false;
    uint32_t capacity = m_capacity + kGrowBy;
    if (capacity > SIZE_MAX / sizeof(Entry)) return false;
    Entry* grown = static_cast<Entry*>(realloc(m_pData, capacity * sizeof(Entry)));
    if (!grown) return false;
    m_pData = grown;
    m_capacity = capacity;
  }
  wchar_t* nameCopy = listtext::Duplicate(name);
  wchar_t* keyCopy = listtext::Duplicate(key);
  if ((name && !nameCopy) || (key && !keyCopy)) {
    free(nameCopy);
    free(keyCopy);
    return false;
  }
  m_pData[m_count].name = nameCopy;
  m_pData[m_count].key = keyCopy;
  ++m_count;
  m_sorted = false;
  return true;
}

void CRecordListKey::Clear() {
  for (int32_t i = 0; i < m_count; ++i) {
    free(m_pData[i].name);
    free(m_pData[i].key);
  }
  m_count = 0;
  m_sorted = false;
}

int32_t CRecordListKey::PositionOfName(const wchar_t* name) const {
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

int32_t CRecordListKey::PositionOfKey(const wchar_t* key) const {
  if (!key || m_count == 0) return -1;
  if (m_sorted && m_sortKey == kByKey) {
    const Entry* end = m_pData + m_count;
    const Entry* at = std::lower_bound(static_cast<const Entry*>(m_pData), end, key, [](const Entry& e, const wchar_t* k) {
      return listtext::Compare(e.key, k) < 0;
    });
    if (at != end && listtext::Compare(at->key, key) == 0) return static_cast<int32_t>(at - m_pData);
    return -1;
  }
  for (int32_t i = 0; i < m_count; ++i) {
    if (listtext::Compare(m_pData[i].key, key) == 0) return i;
  }
  return -1;
}

const wchar_t* CRecordListKey::FindKey(const wchar_t* name) const {
  int32_t at = PositionOfName(name);
  return at < 0 ? nullptr : m_pData[at].key;
}

const wchar_t* CRecordListKey::FindName(const wchar_t* key) const {
  int32_t at = PositionOfKey(key);
  if (at >= 0 && m_pData[at].name) return m_pData[at].name;
  if (!m_badReference) return nullptr;
  listtext::FormatCut(g_badReference, kBadReferenceSize, L"Bad reference = %ls", key ? key : L"");
  return g_badReference;
}

const wchar_t* CRecordListKey::MakeKey(uint32_t a, uint32_t b) {
  listtext::FormatCut(m_key, kKeySize, L"%lu %lu", static_cast<unsigned long>(a),
                      static_cast<unsigned long>(b));
  return m_key;
}

bool CRecordListKey::ParseKey(const wchar_t* key, uint32_t* a, uint32_t* b) {
  uint32_t first = 0;
  uint32_t second = 0;
  const wchar_t* p = key;
  bool ok = p && ReadNumber(p, &first) && ReadNumber(p, &second);
  if (!ok) first = second = 0;
  if (a) *a = first;
  if (b) *b = second;
  return ok;
}

void CRecordListKey::SetSortKey(uint32_t key) {
  if (key == m_sortKey) return;
  m_sortKey = key;
  m_sorted = false;
}

void CRecordListKey::Sort(uint32_t key) {
  SetSortKey(key);
  Sort();
}

void CRecordListKey::Sort() {
  if (DebugLevel > 0) DebugPrint(" --> CRecordListKey::Sort, m_sorted = %d\n", m_sorted ? 1 : 0);
  if (!m_sorted && m_count > 1) {
    Entry* end = m_pData + m_count;
    if (m_sortKey == kByName) {
      std::sort(m_pData, end, [](const Entry& a, const Entry& b) {
        return listtext::Compare(a.name, b.name) < 0;
      });
    } else if (m_sortKey == kByKey) {
      std::sort(m_pData, end, [](const Entry& a, const Entry& b) {
        return listtext::Compare(a.key, b.key) < 0;
      });
    }
  }
  m_sorted = true;
  if (DebugLevel > 0) DebugPrint(" <-- CRecordListKey::Sort\n");
}

int32_t CRecordListKey::List(int32_t first, wchar_t* name, size_t size) {
  if (first) m_cursor = 0;
  if (m_cursor < 0 || m_cursor >= m_count) return 0;
  listtext::CopyCut(name, size, m_pData[m_cursor++].name);
  return 1;
}
