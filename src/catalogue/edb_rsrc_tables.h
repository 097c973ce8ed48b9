// CEdbRsrcTables: an EDB's resource file in memory, line by line in file
// order: the speeds, temperatures and scenarios, the four unit tables, the
// free settings, and the lines that say none of these, kept as text.
//
// Printing gives every line back as it was read until it is changed, so a
// file read and printed again is the same file; a changed line is printed in
// the form a save sends.  The tables are changed a whole table at a time
// from the rows the resource sheets hold (ReplaceRows).
//
// Construction allocates nothing.  Memory failures are answered with false
// and leave the tables as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "catalogue/edb_rsrc_line.h"

class CEdbRsrcTables {
 public:
  struct Entry {
    RsrcLine line;     // what the line says
    std::wstring text;  // the line as read
    bool asRead;        // true: printed as text; false: changed, printed from line
  };

  CEdbRsrcTables() = default;

  void Clear() { m_entries.clear(); }
  // Appends one line of the file (null reads as empty).
  bool AddLine(const wchar_t* line);

  size_t Count() const { return m_entries.size(); }
  const Entry& At(size_t i) const { return m_entries[i]; }
  // The lines of one kind, in file order.
  std::vector<RsrcLine> Rows(RsrcKind kind) const;

  // Makes the table of kind (not Kept) hold rows, given in sheet order:
  // - a row takes the place of the first line of the kind with its number
  //   (free settings: with its tag) that no earlier row took; a line whose
  //   name and value equal the row's stays as read (a text the sheet shows
  //   cut to RsrcTextSize - 1 characters counts as equal);
  // - lines of the kind that no row took are dropped;
  // - the other rows are added, in their order, after the kind's last line
  //   (without one, after the last line of the kinds a save sends before it:
  //   speed, scenario, temperature, Search, Sub, SubGrp, SubGrpEm, free
  //   settings);
  // - a speed, temperature or scenario row with an empty name adds nothing
  //   (the sheet shows every number, named or not);
  // - unit rows numbered 0 are ignored and unit lines numbered 0 stay: they
  //   are the tables' fixed first units, which a save never sends.
  // Kept lines never move.
  bool ReplaceRows(RsrcKind kind, const std::vector<RsrcLine>& rows);

  // Hands every line in file order to send, which answers 1 to go on; the
  // first other answer stops and is returned; 1 when all were sent.
  int32_t Print(const std::function<int32_t(const wchar_t* line)>& send) const;
  // The lines as Print sends them.
  std::vector<std::wstring> Lines() const;

 private:
  std::vector<Entry> m_entries;
};
