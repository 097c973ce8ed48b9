// Point and area sources as text records: the fixed fields, building-wake
// data, five searchkeys, the attribute text (ALOB) and the three lists of
// emission blocks (direct emissions per substance, activities per substance
// group, activities per emission function), and the three header lines that
// open a source listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "records/alob.h"
#include "records/code_string.h"

constexpr size_t SourceNameSize = 48;       // name and info: at most 47
constexpr size_t SourceInfo2Size = 64;      // at most 63
constexpr size_t SourceMacroSize = 20;      // formula (time-variation) macro: at most 19
constexpr size_t SourceUnitSize = 64;       // block unit: at most 63
constexpr size_t SourceBlockMacroSize = 32; // emission macro: at most 31
constexpr int32_t SourceMaxSegments = 36;
constexpr int32_t SourceMaxVariables = 45;
constexpr int32_t SourceSearchkeys = 5;

// The five building lists, in record order.
enum SourceBuilding : int32_t {
  BuildWidths = 0,
  BuildHeights = 1,
  BuildLengths = 2,
  BuildDistFarWall = 3,
  BuildCenter = 4,
  SourceBuildingLists = 5,
};

struct SourceEmission {
  Alob alob;
  CodeString actcode;
  int32_t substance = 0;
  float emission = 0;
  int32_t timevar = 0;
  wchar_t unit[SourceUnitSize] = {};
  wchar_t macro[SourceBlockMacroSize] = {};
  void Reset();
};

struct SourceSubgrp {
  Alob alob;
  CodeString actcode;
  wchar_t unit[SourceUnitSize] = {};
  int32_t timevar = 0;
  int32_t subgrp = 0;
  float activity = 0;
  void Reset();
};

struct SourceActivity {
  Alob alob;
  CodeString actcode;
  int32_t timevar = 0;
  int32_t emfac = 0;
  int32_t novariable = 0;
  float var[SourceMaxVariables + 2] = {};
  void Reset();
};

// A list of blocks whose elements are kept from record to record: Reset only
// sets the count to 0, Append reuses (or adds) the next element.
template <class Block>
class SourceBlocks {
 public:
  int32_t Count() const { return m_count; }
  void Reset() { m_count = 0; }
  // The next element, its values cleared and its texts emptied; null when
  // memory runs out.
  Block* Append() {
    if (static_cast<size_t>(m_count) == m_items.size()) {
      std::unique_ptr<Block> block(new (std::nothrow) Block());
      if (!block) return nullptr;
      m_items.push_back(std::move(block));
    } else {
      m_items[static_cast<size_t>(m_count)]->Reset();
    }
    return m_items[static_cast<size_t>(m_count++)].get();
  }
  // REQUIRES: 0 <= i < Count().
  Block& operator[](int32_t i) { return *m_items[static_cast<size_t>(i)]; }
  const Block& operator[](int32_t i) const { return *m_items[static_cast<size_t>(i)]; }

 private:
  int32_t m_count = 0;
  std::vector<std::unique_ptr<Block>> m_items;
};

// The header of a source listing: which substances, substance groups and
// emission functions (with their number of variables) its sources use.  The
// used flags are the sheet writer's scratch space.
struct SourceListingHeader {
  std::vector<int32_t> subs;
  std::vector<char> subUsed;
  std::vector<int32_t> groups;
  std::vector<char> groupUsed;
  std::vector<int32_t> formulas;
  std::vector<char> formulaUsed;
  std::vector<int32_t> maxvars;
};

struct SourceRec {
  uint32_t x1 = 0;
  uint32_t y1 = 0;
  uint32_t x2 = 0;  // 0 (with y2 0): a point source
  uint32_t y2 = 0;
  uint32_t px = 0;  // the facility's X and Y; 0: no facility
  uint32_t py = 0;
  wchar_t name[SourceNameSize] = {};
  wchar_t info[SourceNameSize] = {};
  wchar_t info2[SourceInfo2Size] = {};
  uint32_t date = 0;     // YYMMDD
  uint32_t changed = 0;  // YYMMDD
  uint16_t houseWidth = 0;
  uint16_t houseHeight = 0;
  uint16_t chimneyHeight = 0;
  uint16_t gasTemperature = 0;
  uint16_t gasFlow = 0;
  float chimneyOut = 0;
  float chimneyIn = 0;
  uint16_t searchkey[SourceSearchkeys] = {};
  int32_t nosegments = 0;
  int32_t build[SourceBuildingLists][SourceMaxSegments] = {};
  wchar_t formulaMacro[SourceMacroSize] = {};
  Alob alob;
  CodeString geocode;
  SourceBlocks<SourceEmission> emissions;
  SourceBlocks<SourceSubgrp> subgroups;
  SourceBlocks<SourceActivity> activities;
  SourceListingHeader header;

  SourceRec() = default;
  SourceRec(const SourceRec&) = delete;
  SourceRec& operator=(const SourceRec&) = delete;

  // Clears every field and block count; the header and the buffers stay.
  void Clear();
  bool IsArea() const { return x2 != 0 || y2 != 0; }
};

// The record keywords of the five building lists.
extern const wchar_t* const SourceBuildingKeywords[SourceBuildingLists];

// Reads the next source: first != 0 starts the listing (the header lines into
// record->header first).  1 a source, 0 no more, -1 failure (ErrorText set;
// a reply that ends inside a record included).
// REQUIRES: record not null.
int32_t IORSourceGetRec(int32_t first, SourceRec* record);

// Writer operations (RecordOperation, operation 5 included): 1, or -1.  The
// save's reply lines must each begin with "Import OK".
// REQUIRES: record not null for operation 1.
int32_t IORSourcePutRec(int32_t operation, const SourceRec* record);
