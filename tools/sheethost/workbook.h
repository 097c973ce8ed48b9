// The substitute spreadsheet host's workbook: named sheets (names compare
// without regard to letter case) holding typed cells within the real grid's
// limits.  Only the used cells are stored; everything else reads as empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "port/xlcall.h"

namespace sheethost {

// The longest sheet name the host accepts.
constexpr size_t kMaxSheetName = 31;

enum class CellKind { Empty, Number, Text, Boolean, Error };

struct Cell {
  CellKind kind = CellKind::Empty;
  double number = 0;
  std::wstring text;
  bool boolean = false;
  int error = 0;  // one of the xlerr codes

  static Cell Num(double value);
  static Cell Str(std::wstring value);
  static Cell Bool(bool value);
  static Cell Err(int code);

  bool IsEmpty() const { return kind == CellKind::Empty; }
  bool operator==(const Cell& other) const;
  bool operator!=(const Cell& other) const { return !(*this == other); }
};

// True when row and column lie within the grid.
bool InGrid(RW row, COL column);

// Ordering of the used cells: row by row, then by column.
using CellPosition = std::pair<RW, COL>;

// One used cell as the store holds it.  A text of kind Text has length
// characters (not terminated): in the sheet's wide arena (wide), in its
// ISO 8859-1 arena (narrow), or, when short, in the view itself (small).
struct CellView {
  CellKind kind = CellKind::Empty;
  double number = 0;
  bool boolean = false;
  int error = 0;
  const wchar_t* wide = nullptr;
  const unsigned char* narrow = nullptr;
  unsigned char small[8] = {};
  size_t length = 0;

  // Character i of the text.  REQUIRES: kind Text, i < length.
  wchar_t At(size_t i) const {
    return wide ? wide[i] : static_cast<wchar_t>(narrow ? narrow[i] : small[i]);
  }
};

// A sheet's cells are kept flat: a vector of rows, each a vector of 8-byte
// slots by column.  A slot holds a number as its double; any other value is
// marked by the bits no finite double has: a boolean, an error code, a text
// of up to 5 ISO 8859-1 characters in the slot itself, or the place of a
// longer text in one of the sheet's two arenas (ISO 8859-1 texts one byte a
// character, the others wide).
class Sheet {
 public:
  Sheet(std::wstring name, IDSHEET id) : m_name(std::move(name)), m_id(id) {}

  const std::wstring& Name() const { return m_name; }
  IDSHEET Id() const { return m_id; }

  // The cell's value; empty outside the grid and for unused cells.
  Cell Get(RW row, COL column) const;
  // Stores the value (an empty cell clears).  False, and nothing changes,
  // outside the grid, for a text longer than 32767 characters, or for a
  // number that is not finite.
  bool Set(RW row, COL column, const Cell& cell);
  // The same for a text of length characters and for a number, without a
  // Cell in between.
  bool SetText(RW row, COL column, const wchar_t* text, size_t length);
  bool SetNumber(RW row, COL column, double number);
  void Clear(RW row, COL column);
  // Clears every used cell inside the rectangle.
  void ClearArea(const XLREF12& area);
  void ClearAll();
  // Makes room for the columns up to last in the row (a row about to be
  // written whole).  REQUIRES: InGrid(row, last).
  void ReserveRow(RW row, COL last);

  // The used cells in row-major order: a copy made on demand (and kept until
  // the next change), for tests and tools that walk every cell.
  const std::map<CellPosition, Cell>& Cells() const;
  size_t CellCount() const { return m_count; }

  // Calls visit(row, column, view) for the used cells inside the rectangle,
  // row by row.
  template <class Visit>
  void VisitArea(const XLREF12& area, Visit visit) const {
    for (RW r = area.rwFirst; r <= area.rwLast && static_cast<size_t>(r) < m_rows.size(); ++r) {
      const std::vector<Slot>& row = m_rows[static_cast<size_t>(r)];
      for (COL c = area.colFirst; c <= area.colLast && static_cast<size_t>(c) < row.size(); ++c) {
        const Slot& slot = row[static_cast<size_t>(c)];
        if (!slot.Empty()) visit(r, c, View(slot));
      }
    }
  }

  // What the store takes in memory, in bytes.
  size_t MemoryBytes() const;

 private:
  // Bits 63..52 all set mark a value that is not a number; bits 51..48 then
  // say which (Tag), the rest holds it.
  enum Tag : uint64_t { kEmpty = 0, kBoolean = 1, kError = 2, kSmallText = 3, kNarrowText = 4, kWideText = 5 };
  static constexpr uint64_t kMarked = uint64_t{0xFFF} << 52;
  static constexpr size_t kSmallChars = 5;
  struct Slot {
    uint64_t bits = kMarked;  // empty
    bool Empty() const { return bits == kMarked; }
    bool Number() const { return (bits & kMarked) != kMarked; }
    Tag Kind() const { return static_cast<Tag>((bits >> 48) & 0xF); }
    // Arena texts: bits 47..32 the length, 31..0 the offset.
    size_t Length() const { return static_cast<size_t>((bits >> 32) & 0xFFFF); }
    size_t Offset() const { return static_cast<size_t>(bits & 0xFFFFFFFFu); }
  };
  static_assert(sizeof(Slot) == 8, "a slot is 8 bytes");

  CellView View(const Slot& slot) const;
  Slot* Find(RW row, COL column);
  // The slot of a cell about to be set, emptied (null outside the grid).
  Slot* Prepare(RW row, COL column);
  void Release(Slot* slot);  // empties the slot (its text becomes garbage)
  void CompactTexts();

  std::wstring m_name;
  IDSHEET m_id;
  std::vector<std::vector<Slot>> m_rows;
  std::vector<unsigned char> m_narrow;  // the longer ISO 8859-1 texts
  std::vector<wchar_t> m_wide;          // the texts with other characters
  size_t m_garbage = 0;                 // characters of the arenas no cell uses
  size_t m_count = 0;
  mutable std::map<CellPosition, Cell> m_snapshot;
  mutable bool m_snapshotValid = false;
};

class Workbook {
 public:
  Workbook() = default;
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  // Adds an empty sheet; the first sheet becomes the active one.  Null when
  // the name is empty, longer than 31 characters, holds one of : \ / ? * [ ]
  // or is taken (in any letter case).  Ids are never reused.
  Sheet* AddSheet(const std::wstring& name);
  Sheet* FindSheet(const std::wstring& name);
  const Sheet* FindSheet(const std::wstring& name) const;
  Sheet* SheetById(IDSHEET id);
  // Removing the active sheet activates the first remaining one.
  bool RemoveSheet(const std::wstring& name);
  bool SetActiveSheet(const std::wstring& name);
  // Null when the workbook has no sheet.
  Sheet* ActiveSheet();

  // The sheets in the order they were added.
  std::vector<Sheet*> Sheets() const;
  size_t SheetCount() const { return m_sheets.size(); }

  // Convenience for tests and tools: the named sheet's cell (empty when the
  // sheet is missing) and setting it (false when the sheet is missing or the
  // value is refused).
  Cell GetCell(const std::wstring& sheet, RW row, COL column) const;
  bool SetCell(const std::wstring& sheet, RW row, COL column, const Cell& cell);

 private:
  std::vector<std::unique_ptr<Sheet>> m_sheets;
  IDSHEET m_nextId = 0x5100;
  IDSHEET m_activeId = 0;
};

// Sheet-name comparison as the host does it: letters compare without regard
// to case (ASCII and Latin-1 letters).
bool SameSheetName(const std::wstring& a, const std::wstring& b);

}  // namespace sheethost
