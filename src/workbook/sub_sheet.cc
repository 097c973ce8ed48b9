// The "Substance" and "Searchkey" sheets (see sub_sheet.h).
#include "workbook/sub_sheet.h"

#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_open.h"

CExcelWriteSub::CExcelWriteSub() = default;
CExcelWriteSub::~CExcelWriteSub() = default;

int32_t CExcelWriteSub::Init(int32_t column, const wchar_t* sheet) {
  if (column < 0 || column >= kXlColumns) {
    SetErrorText("Unknown sub column: %d", static_cast<int>(column));
    return -1;
  }
  m_column = column;
  return OpenCellWriter(m_pWriter, 256, sheet);
}

int32_t CExcelWriteSub::Write(const SubRec& record) {
  if (!m_pWriter) return WriteBeforeOpen(record.index, m_column);
  if (record.index == 0) return 1;
  wchar_t name[SubNameSize];
  std::memcpy(name, record.name, sizeof name);
  name[SubNameSize - 1] = 0;
  return m_pWriter->WriteCell(record.index, m_column, name) == 1 ? 1 : -1;
}

CExcelReadSub::CExcelReadSub() = default;
CExcelReadSub::~CExcelReadSub() = default;

int32_t CExcelReadSub::RowLimit(int32_t column) {
  if (column == 1 || column == 2) return 128;
  if (column >= 3 && column <= 5) return 64;
  return 0;
}

int32_t CExcelReadSub::Init(int32_t column, const wchar_t* sheet) {
  m_limit = RowLimit(column);
  if (m_limit == 0) {
    SetErrorText("Unknown sub column: %d", static_cast<int>(column));
    return -1;
  }
  m_column = column;
  m_row = 1;
  return OpenCellReader(m_pReader, kMaxText, sheet);
}

int32_t CExcelReadSub::Read(SubRec* record) {
  if (!m_pReader || m_row >= m_limit) return 0;
  std::memset(record, 0, sizeof *record);
  static_assert(SubNameSize < static_cast<size_t>(kMaxText), "a name too long for its field shows as too long");
  wchar_t name[kMaxText];
  int32_t row = m_row++;
  if (m_pReader->ReadCell(row, m_column, name) != 1) return -1;
  if (!CellTextFits(m_pReader->Sheet().Chars(), row, m_column, L"Name", name, SubNameSize, FieldForm::kQuoted)) {
    return -1;
  }
  wcscpy(record->name, name);
  record->index = static_cast<uint16_t>(row);
  return 1;
}
