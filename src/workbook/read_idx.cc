// The name-index readers' shared scheme (see read_idx.h).
#include "workbook/read_idx.h"

#include <cstdarg>
#include <cwchar>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "transport/latin1.h"
#include "workbook/cell_text.h"
#include "workbook/number_text.h"
#include "workbook/ref_values.h"
#include "workbook/sheet_open.h"

CExcelReadIdx::CExcelReadIdx(const wchar_t* sheet) {
  m_buf[0] = 0;
  m_name[0] = 0;
  SetSheet(sheet);
}

CExcelReadIdx::~CExcelReadIdx() { delete m_pReader; }

void CExcelReadIdx::SetSheet(const wchar_t* sheet) {
  listtext::CopyCut(m_sheet, sizeof m_sheet / sizeof m_sheet[0], sheet);
}

int32_t CExcelReadIdx::Open(IssueList& errors, IssueList& warnings) {
  m_pErrors = &errors;
  m_pWarnings = &warnings;
  m_row = 0;
  delete m_pReader;
  m_pReader = new (std::nothrow) CSheetCellReader(kMaxText, m_sheet);
  if (!m_pReader) {
    SetErrorText("Could not allocate a cell reader for sheet %s.", Narrow(m_sheet).c_str());
    return -1;
  }
  return m_pReader->Init() == 1 ? 1 : -1;
}

int32_t CExcelReadIdx::Read(int32_t row, int32_t column) {
  m_buf[0] = 0;
  if (row < 0 || row >= kXlRows || column < 0 || column >= kXlColumns) return 1;
  if (!m_pReader) return ReadBeforeOpen(row, column, m_sheet);
  int32_t r = m_pReader->ReadCell(row, column, m_buf);
  // An error or logical value is reported where it stands and reads as empty.
  if (r == 0) Error(row, column, L"%ls", kUnreadableCell);
  return r < 0 ? -1 : 1;
}

int32_t CExcelReadIdx::Filled(int32_t row, int32_t column) {
  if (Read(row, column) != 1) return -1;
  return Empty() ? 0 : 1;
}

void CExcelReadIdx::Error(int32_t row, int32_t column, const wchar_t* format, ...) {
  if (!m_pErrors) return;
  va_list args;
  va_start(args, format);
  m_pErrors->AddV(m_sheet, row, column, format, args);
  va_end(args);
}

void CExcelReadIdx::Warning(int32_t row, int32_t column, const wchar_t* format, ...) {
  if (!m_pWarnings) return;
  va_list args;
  va_start(args, format);
  m_pWarnings->AddV(m_sheet, row, column, format, args);
  va_end(args);
}

void CExcelReadIdx::TakeName(int32_t row) {
  listtext::CopyCut(m_name, kMaxText, m_buf);
  if (DebugLevel > 0) DebugPrint("    %s row %d: %s\n", Narrow(m_sheet).c_str(), static_cast<int>(row), Narrow(m_name).c_str());
}

int32_t CExcelReadIdx::ReadIndex(int32_t row, int32_t column, int32_t* index) {
  *index = 0;
  if (Read(row, column) != 1) return -1;
  if (Empty()) {
    Error(row, column, L"Missing index");
    return 1;
  }
  // Lists answer -1 for a name they lack, so an index below 1 could never
  // be told apart from a missing one; an index with a fraction or anything
  // after its digits is no index either.
  int32_t value = 0;
  if (!CellIndex(m_buf, INT32_MAX, &value)) {
    Error(row, column, L"Invalid index");
    return 1;
  }
  *index = value;
  return 1;
}

void CExcelReadIdx::CheckName(int32_t row, int32_t column, const wchar_t* label, size_t size, FieldForm form) {
  wchar_t message[kFieldFaultSize];
  if (FieldFault(label, m_name, size, form, message, kFieldFaultSize)) Error(row, column, L"%ls", message);
}

int32_t CExcelReadIdx::AddName(CRecordList& list, int32_t row, int32_t index, const wchar_t* duplicate,
                               const wchar_t* tooLong, size_t maxLength) {
  int32_t found = list.Find(m_name);
  if (found != -1 && found == index) return 1;
  if (found != -1 && duplicate) Error(row, 0, duplicate);
  if (tooLong && wcslen(m_name) > maxLength) Error(row, 0, tooLong);
  if (!list.Add(m_name, index)) return OutOfMemory(m_name);
  return 1;
}

int32_t CExcelReadIdx::TakeRecord(CRecordList& list, int32_t row, const wchar_t* duplicate,
                                  const wchar_t* tooLong) {
  int32_t index = 0;
  if (ReadIndex(row, 1, &index) != 1) return -1;
  return AddName(list, row, index, duplicate, tooLong);
}

int32_t CExcelReadIdx::GarbageAt(int32_t row, int32_t column) {
  int32_t cell = Filled(row, column);
  if (cell == 1) Error(row, column, L"Missing name or garbage data in row.");
  return cell;
}

int32_t CExcelReadIdx::EndTestByHeader(int32_t row, int32_t lastColumn) {
  for (int32_t column = 1; column <= lastColumn; ++column) {
    int32_t heading = Filled(0, column);
    if (heading != 1) return heading < 0 ? -1 : 1;
    int32_t cell = GarbageAt(row, column);
    if (cell != 0) return cell < 0 ? -1 : 1;
  }
  return 1;
}

int32_t CExcelReadIdx::EndTestColumns(int32_t row, int32_t firstColumn, int32_t lastColumn) {
  for (int32_t column = firstColumn; column <= lastColumn; ++column) {
    int32_t cell = GarbageAt(row, column);
    if (cell != 0) return cell < 0 ? -1 : 1;
  }
  return 1;
}

int32_t CExcelReadIdx::UpdateSpaced(CRecordList& list, int32_t recordRows, int32_t lastColumn,
                                    const wchar_t* duplicate, const wchar_t* tooLong, int32_t* records) {
  *records = 0;
  for (m_row = 1; m_row < kXlRows; m_row += recordRows) {
    if (Read(m_row, 0) != 1) return -1;
    if (Empty()) return EndTestColumns(m_row, 1, lastColumn);
    TakeName(m_row);
    ++*records;
    if (TakeRecord(list, m_row, duplicate, tooLong) != 1) return -1;
    if (CheckRowsEmpty(m_row + 1, m_row + recordRows - 1) != 1) return -1;
  }
  return 1;
}

int32_t CExcelReadIdx::CheckRowsEmpty(int32_t firstRow, int32_t lastRow) {
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    for (int32_t column = 0; column <= 1; ++column) {
      int32_t cell = Filled(row, column);
      if (cell < 0) return -1;
      if (cell == 1) Error(row, column, L"Garbage data. Should be empty.");
    }
  }
  return 1;
}

int32_t CExcelReadIdx::OutOfMemory(const wchar_t* name) {
  SetErrorText("Could not allocate memory for %s, sheet %s.", Narrow(name).c_str(),
               Narrow(m_sheet).c_str());
  return -1;
}
