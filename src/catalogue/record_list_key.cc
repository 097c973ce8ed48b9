// CRecordListKey: (name, key) pairs with lookup both ways (see record_list_key.h).
#include "catalogue/record_list_key.h"

#include <cstdint>
#include <cstdlib>

#include "catalogue/list_text.h"

namespace {

// The text answered by a failed lookup by key, shared by every keyed list.
wchar_t g_badReference[CRecordListKey::kBadReferenceSize];

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

void CRecordListKey::Entry::Release() {
  free(name);
  free(key);
}

CRecordListKey::~CRecordListKey() = default;

bool CRecordListKey::Add(const wchar_t* name, const wchar_t* key) {
  if (!m_entries.Grow()) return false;
  wchar_t* nameCopy = listtext::Duplicate(name);
  wchar_t* keyCopy = listtext::Duplicate(key);
  if ((name && !nameCopy) || (key && !keyCopy)) {
    free(nameCopy);
    free(keyCopy);
    return false;
  }
  m_entries.Append({nameCopy, keyCopy});
  return true;
}

void CRecordListKey::Clear() { m_entries.Clear(); }

int32_t CRecordListKey::PositionOfName(const wchar_t* name) const {
  if (!name) return -1;
  return m_entries.Position(kByName, name, [](const Entry& e, const wchar_t* n) { return listtext::Compare(e.name, n); });
}

int32_t CRecordListKey::PositionOfKey(const wchar_t* key) const {
  if (!key) return -1;
  return m_entries.Position(kByKey, key, [](const Entry& e, const wchar_t* k) { return listtext::Compare(e.key, k); });
}

const wchar_t* CRecordListKey::FindKey(const wchar_t* name) const {
  int32_t at = PositionOfName(name);
  return at < 0 ? nullptr : m_entries.At(at).key;
}

const wchar_t* CRecordListKey::FindName(const wchar_t* key) const {
  int32_t at = PositionOfKey(key);
  if (at >= 0 && m_entries.At(at).name) return m_entries.At(at).name;
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

void CRecordListKey::Sort(uint32_t key) {
  SetSortKey(key);
  Sort();
}

void CRecordListKey::Sort() {
  m_entries.Sort("CRecordListKey", [](const Entry& a, const Entry& b) { return listtext::Compare(a.key, b.key) < 0; });
}

int32_t CRecordListKey::List(int32_t first, wchar_t* name, size_t size) {
  const Entry* entry = m_entries.Next(first);
  if (!entry) return 0;
  listtext::CopyCut(name, size, entry->name);
  return 1;
}
