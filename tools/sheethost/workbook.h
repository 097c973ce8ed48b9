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

// One used cell as the store holds it: its text lies in the sheet's arena.
struct CellView {
  CellKind kind = CellKind::Empty;
  double number = 0;
  bool boolean = false;
  int error = 0;
  const wchar_t* text = nullptr;  // kind Text: length characters (not terminated)
  size_t length = 0;
};

// A sheet's cells are kept flat: a vector of rows, each a vector of small
// fixed-size slots by column, with every text in one arena of the sheet.
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
        if (slot.kind != static_cast<uint8_t>(CellKind::Empty)) visit(r, c, View(slot));
      }
    }
  }

  // What the store takes in memory, in bytes.
  size_t MemoryBytes() const;

 private:
  struct Slot {
    uint8_t kind = static_cast<uint8_t>(CellKind::Empty);
    bool boolean = false;
    int32_t error = 0;
    union {
      double number;
      struct {
        uint32_t offset;
        uint32_t length;
      } text;
    };
    Slot() : number(0) {}
  };

  CellView View(const Slot& slot) const;
  Slot* Find(RW row, COL column);
  void Release(Slot* slot);  // empties the slot (its text becomes garbage)
  void CompactTexts();

  std::wstring m_name;
  IDSHEET m_id;
  std::vector<std::vector<Slot>> m_rows;
  std::vector<wchar_t> m_texts;  // every text of the sheet
  size_t m_garbage = 0;          // characters of m_texts no cell uses
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
