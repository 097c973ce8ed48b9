// What the server reads out of stored record texts without knowing each
// kind's layout: the NAME and INDEX lines of a names-only read, and the three
// header lines that open a source listing.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace edb {

// The record's first NAME line and first INDEX line, in record order, each
// followed by "\n".
std::string NamesOnlyText(std::string_view record);

// Collects, over all sources of a listing, the substances of the emission
// blocks, the substance groups, and per emission function the largest number
// of variables; attribute (ALOB) lines are passed over.  An index stands in
// the header as often as the source with the most blocks of it needs, so
// that every block of every source has a column block of its own.
class SourceListingHeader {
 public:
  void Add(std::string_view record);
  // "count idx idx ...", "count idx ...", "count emfac:maxvars ...", each
  // line followed by "\n".
  std::string Text() const;

 private:
  std::map<int64_t, int64_t> substances_;  // index -> most blocks in one source
  std::map<int64_t, int64_t> groups_;
  std::map<int64_t, int64_t> functions_;
  std::map<int64_t, int64_t> maxVariables_;
};

}  // namespace edb
