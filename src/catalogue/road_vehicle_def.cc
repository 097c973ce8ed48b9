// CRoadVehicleDef: dimension names and class lists (see road_vehicle_def.h).
#include "catalogue/road_vehicle_def.h"

#include <cstdlib>
#include <new>

#include "catalogue/list_text.h"

CRoadVehicleDef::~CRoadVehicleDef() { Free(); }

void CRoadVehicleDef::Free() {
  if (m_pNames) {
    for (int32_t d = 0; d < m_dimensions; ++d) free(m_pNames[d]);
    free(m_pNames);
  }
  delete[] m_pLists;
  m_pNames = nullptr;
  m_pLists = nullptr;
  m_dimensions = 0;
}

bool CRoadVehicleDef::Create(int32_t dimensions) {
  Free();
  if (dimensions < 0) return false;
  if (dimensions == 0) return true;
  m_pNames = static_cast<wchar_t**>(calloc(static_cast<size_t>(dimensions), sizeof(wchar_t*)));
  m_pLists = new (std::nothrow) CRecordList[static_cast<size_t>(dimensions)];
  if (!m_pNames || !m_pLists) {
    free(m_pNames);
    delete[] m_pLists;
    m_pNames = nullptr;
    m_pLists = nullptr;
    return false;
  }
  m_dimensions = dimensions;
  return true;
}

bool CRoadVehicleDef::SetName(int32_t d, const wchar_t* name) {
  if (d < 0 || d >= m_dimensions) return false;
  wchar_t* copy = listtext::Duplicate(name);
  if (name && !copy) return false;
  free(m_pNames[d]);
  m_pNames[d] = copy;
  return true;
}

const wchar_t* CRoadVehicleDef::Name(int32_t d) const {
  return (d >= 0 && d < m_dimensions) ? m_pNames[d] : nullptr;
}

CRecordList* CRoadVehicleDef::List(int32_t d) {
  return (d >= 0 && d < m_dimensions) ? &m_pLists[d] : nullptr;
}

const CRecordList* CRoadVehicleDef::List(int32_t d) const {
  return (d >= 0 && d < m_dimensions) ? &m_pLists[d] : nullptr;
}
