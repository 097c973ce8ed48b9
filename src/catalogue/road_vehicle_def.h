// CRoadVehicleDef: the road-vehicle definition held in the catalogue: the
// number of classification dimensions, each dimension's name and, per
// dimension, a CRecordList of its class names with their 0-based positions.
// Dimensions are numbered from 0.  Construction allocates nothing.
#pragma once

#include <cstdint>

#include "catalogue/record_list.h"

class CRoadVehicleDef {
 public:
  constexpr CRoadVehicleDef() = default;
  ~CRoadVehicleDef();
  CRoadVehicleDef(const CRoadVehicleDef&) = delete;
  CRoadVehicleDef& operator=(const CRoadVehicleDef&) = delete;

  // Drops every dimension name and list; no dimensions afterwards.
  void Free();
  // Drops the earlier definition and makes `dimensions` empty dimensions
  // (no name, empty list).  False when dimensions is negative or memory runs
  // out; no dimensions are left then.
  bool Create(int32_t dimensions);
  // Stores a copy of dimension d's name; false when d is out of range or
  // memory runs out.
  bool SetName(int32_t d, const wchar_t* name);

  int32_t Dimensions() const { return m_dimensions; }
  // Dimension d's name (null when d is out of range or it has none).
  const wchar_t* Name(int32_t d) const;
  // Dimension d's class list, or null when d is out of range.
  CRecordList* List(int32_t d);
  const CRecordList* List(int32_t d) const;

 private:
  int32_t m_dimensions = 0;
  wchar_t** m_pNames = nullptr;
  CRecordList* m_pLists = nullptr;
};
