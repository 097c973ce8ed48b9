// CSourceInfo: the column layout of the source sheet's dynamic blocks, as the
// heading row was last read: the substance index of every "Emission sub"
// block, the substance-group index of every "Emission fac" block, the
// emission-function index of every "Emission func" block and the number of
// variable columns of each function block.  Blocks are numbered from 0 in the
// order they were appended.  Construction allocates nothing.
#pragma once

#include <cstdint>

class CSourceInfo {
 public:
  // Most function blocks one layout can hold.
  static constexpr int32_t kMaxFormulas = 1000;

  constexpr CSourceInfo() = default;
  ~CSourceInfo();
  CSourceInfo(const CSourceInfo&) = delete;
  CSourceInfo& operator=(const CSourceInfo&) = delete;

  // Forgets every block: counts 0, arrays freed, variable counters 0.
  void Reset();

  // Append one block; 0, or -1 with ErrorText set when memory runs out (or,
  // for function blocks, when kMaxFormulas are already registered).
  int32_t AppendSub(int32_t index);
  int32_t AppendGroup(int32_t index);
  int32_t AppendFormula(int32_t index);
  // One more variable column for function block `block`; false when there is
  // no such block.
  bool AddVariable(int32_t block);

  int32_t SubCount() const { return m_subCount; }
  int32_t GroupCount() const { return m_groupCount; }
  int32_t FormulaCount() const { return m_formulaCount; }
  // Index stored for block i; -1 when there is no block i.
  int32_t Sub(int32_t i) const;
  int32_t Group(int32_t i) const;
  int32_t Formula(int32_t i) const;
  // Variable columns of function block i; 0 when there is no block i.
  int32_t Variables(int32_t i) const;

 private:
  int32_t* m_pSubs = nullptr;
  int32_t m_subCount = 0;
  int32_t* m_pGroups = nullptr;
  int32_t m_groupCount = 0;
  int32_t* m_pFormulas = nullptr;
  int32_t m_formulaCount = 0;
  int32_t m_variables[kMaxFormulas] = {};
};
