// CSourceInfo: the source sheet's dynamic column layout (see source_info.h).
#include "catalogue/source_info.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/frame.h"

namespace {

// Grows array by exactly one element holding value; false when memory runs out.
bool AppendOne(int32_t*& array, int32_t& count, int32_t value) {
  if (count >= INT32_MAX || static_cast<size_t>(count) + 1 > SIZE_MAX / sizeof(int32_t)) return false;
  int32_t* grown = static_cast<int32_t*>(realloc(array, (static_cast<size_t>(count) + 1) * sizeof(int32_t)));
  if (!grown) return false;
  array = grown;
  array[count++] = value;
  return true;
}

int32_t At(const int32_t* array, int32_t count, int32_t i) {
  return (i >= 0 && i < count) ? array[i] : -1;
}

}  // namespace

CSourceInfo::~CSourceInfo() { Reset(); }

void CSourceInfo::Reset() {
  free(m_pSubs);
  free(m_pGroups);
  free(m_pFormulas);
  m_pSubs = m_pGroups = m_pFormulas = nullptr;
  m_subCount = m_groupCount = m_formulaCount = 0;
  memset(m_variables, 0, sizeof m_variables);
}

int32_t CSourceInfo::AppendSub(int32_t index) {
  if (AppendOne(m_pSubs, m_subCount, index)) return 0;
  SetErrorText("SourceInfo: Error allocating subs");
  return -1;
}

int32_t CSourceInfo::AppendGroup(int32_t index) {
  if (AppendOne(m_pGroups, m_groupCount, index)) return 0;
  SetErrorText("SourceInfo: Error allocating groups");
  return -1;
}

int32_t CSourceInfo::AppendFormula(int32_t index) {
  if (m_formulaCount >= kMaxFormulas) {
    SetErrorText("SourceInfo: Too many formulas (at most %d)", static_cast<int>(kMaxFormulas));
    return -1;
  }
  if (AppendOne(m_pFormulas, m_formulaCount, index)) return 0;
  SetErrorText("SourceInfo: Error allocating formulas");
  return -1;
}

bool CSourceInfo::AddVariable(int32_t block) {
  if (block < 0 || block >= m_formulaCount) return false;
  if (m_variables[block] < INT32_MAX) ++m_variables[block];
  return true;
}

int32_t CSourceInfo::Sub(int32_t i) const { return At(m_pSubs, m_subCount, i); }
int32_t CSourceInfo::Group(int32_t i) const { return At(m_pGroups, m_groupCount, i); }
int32_t CSourceInfo::Formula(int32_t i) const { return At(m_pFormulas, m_formulaCount, i); }

int32_t CSourceInfo::Variables(int32_t i) const {
  return (i >= 0 && i < m_formulaCount) ? m_variables[i] : 0;
}
