// CExcelVerifyRsrc: the verification of the resource sheets
// ("Speed-Temp-Scen", "Units", "Rsrc") before VKEdbRsrcSave.  It reads them
// as the Save does and checks every cell the Save writes into the resource
// file by the resource rule (rsrc_rule.h), adding one error at the cell for
// each fault and going on; the Save refuses the same cells with the same
// messages.  Past the end of each table it looks at the next cells: what
// stands there is never saved, and a warning says so (a speed 12 typed under
// the speeds, a unit or a setting below an emptied row).  A resource sheet
// the workbook lacks is not checked.
#pragma once

#include <cstdint>

#include "host/issue_list.h"
#include "workbook/rsrc_rule.h"

class CExcelVerifyRsrc {
 public:
  CExcelVerifyRsrc() = default;
  CExcelVerifyRsrc(const CExcelVerifyRsrc&) = delete;
  CExcelVerifyRsrc& operator=(const CExcelVerifyRsrc&) = delete;

  // Keeps the lists the issues go to; 1.
  int32_t Init(IssueList& errors, IssueList& warnings);
  // REQUIRES: Init was called.
  // 1 when every sheet was read to its end (whatever issues were added); -1
  // when a sheet could not be read (ErrorText set).
  int32_t VerifyRec();

 private:
  void Check(const wchar_t* sheet, int32_t row, int32_t column, RsrcCell cell, const wchar_t* label,
             const wchar_t* text);
  // Adds the warning (wide printf format) at the cell when it holds
  // anything: 1; 0 when it is empty; -1 when it cannot be read.
  int32_t WarnIfFilled(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, ...);
  // The cells just past a two-column table whose first empty name (or tag)
  // is in row end: "<second> without a <first>" when the second cell of that
  // row holds anything, else a warning when the next row's name does.  1 or
  // -1.
  int32_t LookPast(const wchar_t* sheet, int32_t end, int32_t column, const wchar_t* second, const wchar_t* first);
  int32_t VerifyNames();
  int32_t VerifyUnits();
  int32_t VerifyFree();

  IssueList* m_errors = nullptr;
  IssueList* m_warnings = nullptr;
};
