// What the server held when the workbook last loaded (or saved) a kind: a
// digest of every record of the kind's saved parts, kept in a hidden sheet of
// the workbook next to the provenance in its document properties.  A save
// compares it with the server's records of the moment so that records
// someone else saved since the load are not silently overwritten (a lost
// update), and diff --base compares workbook, server and load three ways.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kinds.h"
#include "sheethost/workbook.h"

// The hidden sheet that holds the digests.
extern const wchar_t kBaseSheet[];

// One record of a saved part as a digest; a part compared as whole sheets
// (resources, vehicles, ...) is one entry with index 0 and no name.
struct BaseRecord {
  std::string part;     // the part's label
  int32_t index = 0;
  std::wstring name;
  std::string digest;   // 16 hex digits
};
using KindBase = std::vector<BaseRecord>;

// The digests of the records of the kind's saved parts as the book holds them.
// REQUIRES: the book holds the kind's sheets.
KindBase DigestKind(const RecordKind& kind, const sheethost::Workbook& book);

// The digests the book's base sheet records, by kind name; a kind it does not
// name (or a book without the sheet) has none.
std::map<std::string, KindBase> ReadBase(const sheethost::Workbook& book);

// Replaces the recorded digests of the given kinds, keeping the others; adds
// the base sheet when the book lacks it.
void WriteBase(sheethost::Workbook& book, const std::map<std::string, KindBase>& kinds);

// How a record differs between two digests of a kind, by part and index.
struct BaseChange {
  enum What { Add, Change, Delete } what;
  std::string part;
  int32_t index;
  std::wstring name;  // the later name (the earlier one for a deletion)
};
std::vector<BaseChange> ChangesBetween(const KindBase& before, const KindBase& after);

// "change \"Continuous 24h\" (index 1)", or "changed" for a part compared whole.
std::string DescribeChange(const BaseChange& change);

// Per part, what the workbook and the server changed since the load, and the
// records both changed, printed to standard output; *both gets how many
// records both sides changed differently.
void PrintThreeWay(const RecordKind& kind, const KindBase& base, const KindBase& workbook, const KindBase& server,
                   size_t* both);
