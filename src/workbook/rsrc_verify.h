// CExcelVerifyRsrc: the verification of the resource sheets
// ("Speed-Temp-Scen", "Units", "Rsrc") before VKEdbRsrcSave.  It reads them
// as the Save does and checks every cell the Save writes into the resource
// file by the resource rule (rsrc_rule.h), adding one error at the cell for
// each fault and going on; the Save refuses the same cells with the same
// messages.  A resource sheet the workbook lacks is not checked.
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
  int32_t VerifyNames();
  int32_t VerifyUnits();
  int32_t VerifyFree();

  IssueList* m_errors = nullptr;
  IssueList* m_warnings = nullptr;
};
