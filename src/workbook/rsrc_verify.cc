// The verification of the resource sheets (see rsrc_verify.h).
#include "workbook/rsrc_verify.h"

#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/edb_rsrc_rows.h"
#include "host/frame.h"
#include "workbook/field_rule.h"
#include "workbook/rsrc_rule.h"
#include "workbook/rsrc_sheet.h"
#include "workbook/speed_temp_scen_sheet.h"
#include "workbook/units_sheet.h"

namespace {

// Opens a sheet reader whose unreadable cells become errors; a missing sheet
// (0) is no failure here and leaves ErrorText as it was.
template <class Reader, class... Args>
int32_t Open(IssueList* errors, Reader& reader, Args... args) {
  std::string before = GetErrorText();
  int32_t r = reader.Init(args...);
  if (r == 0) SetErrorText("%s", before.c_str());
  if (r == 1) reader.ReportUnreadableTo(errors);
  return r;
}

}  // namespace

int32_t CExcelVerifyRsrc::Init(IssueList& errors, IssueList& warnings) {
  m_errors = &errors;
  m_warnings = &warnings;
  return 1;
}

void CExcelVerifyRsrc::Check(const wchar_t* sheet, int32_t row, int32_t column, RsrcCell cell, const wchar_t* label,
                             const wchar_t* text) {
  wchar_t message[kFieldFaultSize];
  if (RsrcCellFault(cell, label, text, message, kFieldFaultSize)) {
    m_errors->Add(sheet, row, column, L"%ls", message);
  }
}

int32_t CExcelVerifyRsrc::WarnIfFilled(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format,
                                       ...) {
  std::unique_ptr<CSheetCellReader> cells;
  if (OpenRsrcReader(cells, sheet) != 1) return -1;
  cells->ReportUnreadableTo(m_errors);
  std::vector<wchar_t> text(RsrcValueSize + 1);
  if (cells->ReadCell(row, column, text.data()) != 1) return -1;
  if (text[0] == 0) return 0;
  va_list args;
  va_start(args, format);
  m_warnings->AddV(sheet, row, column, format, args);
  va_end(args);
  return 1;
}

int32_t CExcelVerifyRsrc::LookPast(const wchar_t* sheet, int32_t end, int32_t column, const wchar_t* second,
                                   const wchar_t* first) {
  int32_t r = WarnIfFilled(sheet, end, column + 1,
                           L"%ls without a %ls: the table ends at row %d, nothing from here on is saved", second,
                           first, static_cast<int>(end + 1));
  if (r != 0) return r;
  r = WarnIfFilled(sheet, end + 1, column, L"The table ends at the empty row %d: nothing from here on is saved",
                   static_cast<int>(end + 1));
  return r < 0 ? -1 : 1;
}

int32_t CExcelVerifyRsrc::VerifyNames() {
  struct Table {
    int32_t column;
    const wchar_t* label;
  };
  for (const Table& t : {Table{SpeedColumn, L"Speed"}, {TemperatureColumn, L"Temperature"},
                         {ScenarioColumn, L"Scenario"}}) {
    CExcelReadSpeedTempScen reader;
    int32_t r = Open(m_errors, reader, t.column);
    if (r == 0) return 1;  // no such sheet
    if (r != 1) return -1;
    RsrcNameRow row;
    while ((r = reader.Read(&row)) == 1) {
      Check(SpeedTempScenSheet, row.number, t.column, RsrcCell::kName, t.label, row.name);
    }
    if (r != 0) return -1;
    int32_t count = SpeedTempScenCount(t.column);
    if (WarnIfFilled(SpeedTempScenSheet, count + 1, t.column,
                     L"The table holds numbers 1 to %d: nothing from here on is saved", static_cast<int>(count)) < 0) {
      return -1;
    }
  }
  return 1;
}

int32_t CExcelVerifyRsrc::VerifyUnits() {
  for (int32_t column : {UnitSubColumn, UnitSubGrpColumn, UnitSubGrpEmColumn, UnitSearchColumn}) {
    CExcelReadUnits reader;
    int32_t r = Open(m_errors, reader, column);
    if (r == 0) return 1;
    if (r != 1) return -1;
    RsrcUnitRow row;
    int32_t end = 1;  // the row of the first empty name
    while ((r = reader.Read(&row)) == 1) {
      int32_t sheetRow = int32_t{row.number} + 1;
      end = sheetRow + 1;
      if (row.number == 0) continue;  // the fixed first unit is never saved
      Check(UnitsSheet, sheetRow, column, RsrcCell::kUnitName, L"Unit", row.name);
      Check(UnitsSheet, sheetRow, column + 1, RsrcCell::kFactor, L"Factor", row.factor);
    }
    if (r != 0 || LookPast(UnitsSheet, end, column, L"Factor", L"unit name") != 1) return -1;
  }
  return 1;
}

int32_t CExcelVerifyRsrc::VerifyFree() {
  CExcelReadRsrc reader;
  int32_t r = Open(m_errors, reader);
  if (r == 0) return 1;
  if (r != 1) return -1;
  RsrcFreeRow row;
  int32_t end = 1;
  while ((r = reader.Read(&row)) == 1) {
    end = int32_t{row.row} + 1;
    Check(RsrcSheet, row.row, 0, RsrcCell::kTag, L"Tag", row.tag);
    Check(RsrcSheet, row.row, 1, RsrcCell::kValue, L"Value", row.value);
  }
  if (r != 0) return -1;
  return LookPast(RsrcSheet, end, 0, L"Value", L"tag");
}

int32_t CExcelVerifyRsrc::VerifyRec() {
  if (VerifyNames() != 1 || VerifyUnits() != 1) return -1;
  return VerifyFree();
}
