// IssueList: problems found in the workbook, each tied to a sheet, a row and
// a column, gathered by the verifications and read by the macro one line or
// one entry at a time.  A list keeps at most 256 issues and then one entry
// "and so on..." that carries the place of the first issue that did not fit.
//
// Messages and lines are formatted in one buffer of 256 wide characters
// shared by every list, so a message or a line holds at most 255 characters
// and Add and Next are not reentrant.  Construction allocates nothing.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Size in characters of the shared formatting buffer.
constexpr size_t kIssueTextSize = 256;
// Size in characters of a sheet-name buffer handed to the macro: the
// spreadsheet's sheet names have at most 31 characters.
constexpr size_t kIssueSheetSize = 32;
// Room for the longest cell name: 7 column letters and a 10-digit row.
constexpr size_t kCellNameSize = 24;

// The spreadsheet name of a 0-based cell: the column letters (A..Z, AA..ZZ,
// AAA.. and so on) followed by row + 1; a negative column gives no letters, a
// negative row no number.  Cut to fit out[size].
void CellName(int32_t row, int32_t column, wchar_t* out, size_t size);

class IssueList {
 public:
  static constexpr int32_t kMaxIssues = 256;

  constexpr IssueList() = default;
  ~IssueList();
  IssueList(const IssueList&) = delete;
  IssueList& operator=(const IssueList&) = delete;

  // Formats the message (wide printf format) and stores it with copies of
  // sheet and the place; row or column < 0 means none.  True when the
  // message itself was stored; false when the list was full, when the
  // "and so on..." entry was stored instead, or when memory ran out.
  bool Add(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, ...);
  bool AddV(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, va_list args);

  // Drops every entry; keeps the entry array and the cursor.
  void Clear();
  bool IsFull() const { return m_count > m_max; }
  int32_t Count() const { return m_count; }

  // Line iteration: first != 0 restarts at the first entry.  Writes the line
  // "sheet [cell]: message" cut to size - 1 characters into buffer, advances
  // and returns 1; 0 when no entry is left (buffer untouched).  A null buffer
  // or a size below 1 is refused with 0 and the cursor stays.
  int32_t Next(int32_t first, wchar_t* buffer, int32_t size);

  // Entry index (0-based): its sheet (cut to sheetSize - 1), its row and
  // column as stored (negative = none) and its message (cut to messageSize -
  // 1); every output may be null.  1 when the index is valid, else 0.
  int32_t GetInfo(int32_t index, wchar_t* sheet, size_t sheetSize, int32_t* row, int32_t* column,
                  wchar_t* message, size_t messageSize) const;

 private:
  struct Entry {
    wchar_t* sheet;
    wchar_t* message;
    int32_t row;
    int32_t column;
  };

  bool Store(const wchar_t* sheet, const wchar_t* message, int32_t row, int32_t column);

  uint32_t m_capacity = 0;
  int32_t m_count = 0;
  int32_t m_max = kMaxIssues;
  Entry* m_pData = nullptr;
  int32_t m_cursor = 0;
};

extern IssueList ErrorList;
extern IssueList WarningList;
