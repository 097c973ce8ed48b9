// Emission factors as text records: a named formula yielding one substance,
// with its variables and constants.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t EmfacNameSize = 20;
constexpr size_t EmfacFormulaSize = 8096;
constexpr size_t EmfacVarNameSize = 16;
constexpr int EmfacMaxVariables = 46;

struct EmfacRec {
  wchar_t name[EmfacNameSize];                         // at most 19 characters
  uint32_t index;                                      // emission-factor number
  int32_t substance;                                   // index of the substance the formula yields
  wchar_t formula[EmfacFormulaSize];                   // the formula
  int32_t novariable;                                  // number of variables, 0 to 46
  uint8_t varconst[EmfacMaxVariables];                 // per variable: 1 constant (CONST), 0 variable (VAR)
  wchar_t varname[EmfacMaxVariables][EmfacVarNameSize];  // per variable: its name, at most 15 characters
};

// Reads the next emission factor; first != 0 starts the read with flags
// (TransferFlags; names only with bit 2).  1 a record, 0 no more, -1.
int32_t IOREmfacGetRec(int32_t first, int32_t flags, EmfacRec* record);

// Writer operations (RecordOperation): 1, or -1.
int32_t IOREmfacPutRec(int32_t operation, const EmfacRec* record);
