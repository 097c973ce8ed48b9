// The time-variation sheets (see timevar_sheet.h).
#include "workbook/timevar_sheet.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/ref_values.h"

namespace {

constexpr int32_t kHourColumn = 2;       // C: the first hour
constexpr int32_t kMonthColumn = 26;     // AA: January
constexpr int32_t kScenarioColumn = 38;  // AM: scenario 1
constexpr int32_t kRecordRows = 4;

const wchar_t* const kDayLabels[TimevarDayTypes] = {L"Typeday (Mon-Thu)", L"Typeday (Fri)",
                                                    L"Typeday (Sat)", L"Typeday (Sun)"};

}  // namespace

const wchar_t* TimevarSheetName(int32_t kind) { return kind == 0 ? L"Source timevar" : L"Road timevar"; }

// ---------------------------------------------------------------- writer

CExcelWriteTimevar::CExcelWriteTimevar() {
  std::memset(m_first, 0, sizeof m_first);
  std::memset(m_next, 0, sizeof m_next);
}
CExcelWriteTimevar::~CExcelWriteTimevar() = default;

int32_t CExcelWriteTimevar::Init(int32_t kind, const CRecordList& scenarios) {
  const wchar_t* sheet = TimevarSheetName(kind);
  m_pFirst.reset(new (std::nothrow) CSheetRowWriter(1, 0, kFirstColumns, 21, sheet));
  m_pNext.reset(new (std::nothrow) CSheetRowWriter(2, kHourColumn, kNextColumns, 21, sheet));
  if (!m_pFirst || !m_pNext) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (m_pFirst->Init() != 1 || m_pNext->Init() != 1) return -1;

  CSheetCellWriter heading(65, sheet);
  if (heading.Init() != 1) return -1;
  for (int32_t s = 1; s <= TimevarScenarios; ++s) {
    const wchar_t* name = scenarios.NameOf(s);
    if (!name) {
      SetErrorText("Can not get scenario %d.", static_cast<int>(s));
      return -1;
    }
    if (heading.WriteCell(0, kScenarioColumn + s - 1, name) != 1) return -1;
  }
  return 1;
}

int32_t CExcelWriteTimevar::Write(const TimevarRec& record) {
  if (!m_pFirst || !m_pNext) {
    SetErrorText("Couldn't write row: %d.", 0);
    return -1;
  }
  std::wstring name = FieldText(record.name, TimevarNameSize);
  listtext::CopyCut(m_first[0], kTextSize, name.c_str());
  listtext::FormatCut(m_first[1], kTextSize, L"%hu", static_cast<unsigned short>(record.index));
  for (int32_t h = 0; h < TimevarHours; ++h) {
    std::wstring value = FieldText(record.typeday[0][h], TimevarValueSize);
    listtext::CopyCut(m_first[kHourColumn + h], kTextSize, value.c_str());
  }
  for (int32_t m = 0; m < TimevarMonths; ++m) {
    listtext::FormatCut(m_first[kMonthColumn + m], kTextSize, L"%hd", static_cast<short>(record.month[m]));
  }
  for (int32_t s = 0; s < TimevarScenarios; ++s) {
    listtext::FormatCut(m_first[kScenarioColumn + s], kTextSize, L"%.6g",
                        static_cast<double>(record.scenario[s]));
  }
  const wchar_t* first[kFirstColumns];
  for (int32_t j = 0; j < kFirstColumns; ++j) first[j] = m_first[j];
  if (m_pFirst->WriteRow(first) != 1) return -1;
  m_pFirst->SkipRows(kRecordRows - 1);

  const wchar_t* next[kNextColumns];
  for (int32_t d = 1; d < TimevarDayTypes; ++d) {
    for (int32_t h = 0; h < TimevarHours; ++h) {
      std::wstring value = FieldText(record.typeday[d][h], TimevarValueSize);
      listtext::CopyCut(m_next[h], kTextSize, value.c_str());
      next[h] = m_next[h];
    }
    if (m_pNext->WriteRow(next) != 1) return -1;
  }
  m_pNext->SkipRows(1);
  return 1;
}

// ---------------------------------------------------------------- the rows

CTimevarSheetRows::CTimevarSheetRows() {
  std::memset(m_first, 0, sizeof m_first);
  std::memset(m_next, 0, sizeof m_next);
  for (int32_t j = 0; j < kFirstColumns; ++j) m_firstTexts[j] = m_first[j];
  for (int32_t j = 0; j < kNextColumns; ++j) m_nextTexts[j] = m_next[j];
}
CTimevarSheetRows::~CTimevarSheetRows() = default;

int32_t CTimevarSheetRows::Open(int32_t kind) {
  m_sheet = TimevarSheetName(kind);
  m_pFirst.reset(new (std::nothrow) CSheetRowReader(1, 0, kFirstColumns, kFirstText, m_sheet));
  m_pNext.reset(new (std::nothrow) CSheetRowReader(2, kHourColumn, kNextColumns, kNextText, m_sheet));
  if (!m_pFirst || !m_pNext) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (m_pFirst->Init() != 1 || m_pNext->Init() != 1) return -1;
  return 1;
}

int32_t CTimevarSheetRows::ReadFirst() {
  if (!m_pFirst) {
    SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", xlretFailed, Narrow(m_sheet).c_str());
    return -1;
  }
  if (m_pFirst->ReadRow(m_firstTexts) != 1) return -1;
  return m_pFirst->SkipRows(kRecordRows - 1);
}

int32_t CTimevarSheetRows::ReadDay() {
  if (!m_pNext) {
    SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", xlretFailed, Narrow(m_sheet).c_str());
    return -1;
  }
  return m_pNext->ReadRow(m_nextTexts);
}

int32_t CTimevarSheetRows::EndRecord() { return m_pNext ? m_pNext->SkipRows(1) : -1; }

// ---------------------------------------------------------------- reader

CExcelReadTimevar::CExcelReadTimevar() = default;
CExcelReadTimevar::~CExcelReadTimevar() = default;

int32_t CExcelReadTimevar::Init(int32_t kind) {
  m_row = 1;
  return m_rows.Open(kind);
}

int32_t CExcelReadTimevar::Read(TimevarRec* record) {
  std::memset(record, 0, sizeof *record);
  int32_t row = m_row;
  if (m_rows.ReadFirst() != 1) return -1;
  const wchar_t* name = m_rows.First(0);
  if (name[0] == 0) return 0;
  m_row += kRecordRows;

  // The record's rows are all taken before a fault is reported, so that the
  // two row readers stay on the same record.
  bool ok = true;
  std::string narrowName = Narrow(name);
  if (!CopyField(record->name, TimevarNameSize, name)) {
    SetErrorText("Timevar name can only be %d characters: %s (row %d).", static_cast<int>(TimevarNameSize - 1),
                 narrowName.c_str(), static_cast<int>(row));
    ok = false;
  }
  int32_t index = 0;
  if (ok && !CellIndex(m_rows.First(1), UINT16_MAX, &index)) {
    SetErrorText("Could not get index for timevar: %s (row %d).", narrowName.c_str(), static_cast<int>(row));
    ok = false;
  }
  record->index = static_cast<uint16_t>(index);
  for (int32_t m = 0; m < TimevarMonths; ++m) record->month[m] = CellShort(m_rows.First(kMonthColumn + m));
  for (int32_t s = 0; s < TimevarScenarios; ++s) {
    record->scenario[s] = CellFloat(m_rows.First(kScenarioColumn + s));
  }
  for (int32_t d = 0; d < TimevarDayTypes; ++d) {
    if (d > 0 && m_rows.ReadDay() != 1) return -1;
    for (int32_t h = 0; h < TimevarHours; ++h) {
      const wchar_t* text = d == 0 ? m_rows.First(kHourColumn + h) : m_rows.Day(h);
      if (!CopyFieldWithoutSpace(record->typeday[d][h], TimevarValueSize, text) && ok) {
        SetErrorText("To long %s value for timevar: %s (row %d, hour %d).", Narrow(kDayLabels[d]).c_str(),
                     narrowName.c_str(), static_cast<int>(row + d), static_cast<int>(h + 1));
        ok = false;
      }
    }
  }
  if (m_rows.EndRecord() != 1) return -1;
  return ok ? 1 : -1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifyTimevar::CExcelVerifyTimevar() = default;
CExcelVerifyTimevar::~CExcelVerifyTimevar() = default;

int32_t CExcelVerifyTimevar::Init(int32_t kind, const CRecordList& timevars, IssueList& errors,
                                  IssueList& warnings) {
  m_pTimevars = &timevars;
  m_row = 1;
  m_pChecker.reset(new (std::nothrow) CCellChecker(TimevarSheetName(kind), errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return m_rows.Open(kind);
}

void CExcelVerifyTimevar::CheckTypeday(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text) {
  const wchar_t* colon = wcschr(text, L':');
  if (!colon) {
    m_pChecker->CheckULong(row, column, label, text, 0, 32000);
    return;
  }
  wchar_t before[CTimevarSheetRows::kNextText > CTimevarSheetRows::kFirstText ? CTimevarSheetRows::kNextText
                                                                                 : CTimevarSheetRows::kFirstText];
  size_t n = static_cast<size_t>(colon - text);
  if (n >= sizeof before / sizeof before[0]) n = sizeof before / sizeof before[0] - 1;
  wmemcpy(before, text, n);
  before[n] = 0;
  m_pChecker->CheckULong(row, column, label, before, 0, 32000);
  m_pChecker->CheckULong(row, column, label, colon + 1, 0, 3);
}

int32_t CExcelVerifyTimevar::VerifyRec() {
  if (!m_pChecker || !m_pTimevars) {
    SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", xlretFailed, Narrow(m_rows.Sheet()).c_str());
    return -1;
  }
  for (;;) {
    int32_t row = m_row;
    if (m_rows.ReadFirst() != 1) return -1;
    const wchar_t* name = m_rows.First(0);
    if (name[0] == 0) return 1;
    m_row += kRecordRows;
    if (m_pTimevars->Find(name) == -1) {
      SetErrorText("Could not get index for timevar: %s (row %d).", Narrow(name).c_str(), static_cast<int>(row));
      return -1;
    }
    for (int32_t h = 0; h < TimevarHours; ++h) {
      CheckTypeday(row, kHourColumn + h, kDayLabels[0], m_rows.First(kHourColumn + h));
    }
    for (int32_t m = 0; m < TimevarMonths; ++m) {
      m_pChecker->CheckULong(row, kMonthColumn + m, L"Month", m_rows.First(kMonthColumn + m), 0, 9999);
    }
    for (int32_t s = 0; s < TimevarScenarios; ++s) {
      m_pChecker->CheckFloat(row, kScenarioColumn + s, L"Scenario", m_rows.First(kScenarioColumn + s), 0, 9999);
    }
    for (int32_t d = 1; d < TimevarDayTypes; ++d) {
      if (m_rows.ReadDay() != 1) return -1;
      for (int32_t h = 0; h < TimevarHours; ++h) {
        CheckTypeday(row + d, kHourColumn + h, kDayLabels[d], m_rows.Day(h));
      }
    }
    if (m_rows.EndRecord() != 1) return -1;
  }
}
