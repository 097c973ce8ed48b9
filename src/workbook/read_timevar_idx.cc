// CExcelReadTimevarIdx: time-variation names (see read_timevar_idx.h).
#include "workbook/read_timevar_idx.h"

int32_t CExcelReadTimevarIdx::Init(int32_t kind, IssueList& errors, IssueList& warnings) {
  SetSheet(kind == 0 ? L"Source timevar" : L"Road timevar");
  return Open(errors, warnings);
}

int32_t CExcelReadTimevarIdx::Update(CRecordList& list) {
  return UpdateSpaced(list, kRecordRows, 99, L"Duplicate timevar name", L"Timevar name can only be 19 characters",
                      &m_records);
}
