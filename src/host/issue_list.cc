// The error and warning lists of the verifications (see issue_list.h).
#include "host/issue_list.h"

#include <cstdlib>
#include <cwchar>

#include "catalogue/list_text.h"

IssueList ErrorList;
IssueList WarningList;

namespace {

// Shared by Add and Next of every list.
wchar_t g_text[kIssueTextSize];

constexpr uint32_t kGrowBy = 32;
const wchar_t kAndSoOn[] = L"and so on...";

}  // namespace

void CellName(int32_t row, int32_t column, wchar_t* out, size_t size) {
  if (!out || size == 0) return;
  wchar_t name[kCellNameSize];
  size_t used = 0;
  if (column >= 0) {
    // Bijective base 26: A..Z, AA..ZZ, AAA..; at most 7 letters for a 32-bit column.
    wchar_t letters[8];
    size_t n = 0;
    uint32_t rest = static_cast<uint32_t>(column) + 1;
    while (rest > 0 && n < sizeof letters / sizeof letters[0]) {
      --rest;
      letters[n++] = static_cast<wchar_t>(L'A' + rest % 26);
      rest /= 26;
    }
    while (n > 0) name[used++] = letters[--n];
  }
  name[used] = 0;
  if (row >= 0) {
    listtext::FormatCut(name + used, kCellNameSize - used, L"%lu",
                        static_cast<unsigned long>(static_cast<uint32_t>(row) + 1u));
  }
  listtext::CopyCut(out, size, name);
}

IssueList::~IssueList() {
  Clear();
  free(m_pData);
  m_pData = nullptr;
  m_capacity = 0;
}

bool IssueList::Add(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  bool stored = AddV(sheet, row, column, format, args);
  va_end(args);
  return stored;
}

bool IssueList::AddV(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format,
                     va_list args) {
  if (m_count > m_max) return false;
  listtext::FormatCutV(g_text, kIssueTextSize, format, args);
  if (static_cast<uint32_t>(m_count) == m_capacity) {
    uint32_t capacity = m_capacity + kGrowBy;
    Entry* grown = static_cast<Entry*>(realloc(m_pData, capacity * sizeof(Entry)));
    if (!grown) return false;
    m_pData = grown;
    m_capacity = capacity;
  }
  if (m_count < m_max) return Store(sheet, g_text, row, column);
  Store(sheet, kAndSoOn, row, column);
  return false;
}

bool IssueList::Store(const wchar_t* sheet, const wchar_t* message, int32_t row, int32_t column) {
  wchar_t* sheetCopy = listtext::Duplicate(sheet ? sheet : L"");
  wchar_t* messageCopy = listtext::Duplicate(message);
  if (!sheetCopy || !messageCopy) {
    free(sheetCopy);
    free(messageCopy);
    return false;
  }
  Entry& entry = m_pData[m_count++];
  entry.sheet = sheetCopy;
  entry.message = messageCopy;
  entry.row = row;
  entry.column = column;
  return true;
}

void IssueList::Clear() {
  for (int32_t i = 0; i < m_count; ++i) {
    free(m_pData[i].sheet);
    free(m_pData[i].message);
  }
  m_count = 0;
}

int32_t IssueList::Next(int32_t first, wchar_t* buffer, int32_t size) {
  if (!buffer || size < 1) return 0;
  if (first) m_cursor = 0;
  if (m_cursor < 0 || m_cursor >= m_count) return 0;
  const Entry& entry = m_pData[m_cursor++];
  wchar_t cell[kCellNameSize];
  CellName(entry.row, entry.column, cell, kCellNameSize);
  listtext::FormatCut(g_text, kIssueTextSize, L"%ls [%ls]: %ls", entry.sheet, cell, entry.message);
  listtext::CopyCut(buffer, static_cast<size_t>(size), g_text);
  return 1;
}

int32_t IssueList::GetInfo(int32_t index, wchar_t* sheet, size_t sheetSize, int32_t* row,
                           int32_t* column, wchar_t* message, size_t messageSize) const {
  if (index < 0 || index >= m_count) return 0;
  const Entry& entry = m_pData[index];
  listtext::CopyCut(sheet, sheetSize, entry.sheet);
  if (row) *row = entry.row;
  if (column) *column = entry.column;
  listtext::CopyCut(message, messageSize, entry.message);
  return 1;
}
