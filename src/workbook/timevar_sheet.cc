// The time-variation sheets (see timevar_sheet.h).
#include "workbook/timevar_sheet.h"

#include <charconv>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/cell_number.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"
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

CExcelWriteTimevar::CExcelWriteTimevar() = default;
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
  // Every text goes in as a string cell, whatever it starts with: a server
  // text is never taken for a number.
  char digits[32];
  m_pFirst->PutField(0, record.name, TimevarNameSize);
  std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, record.index);
  m_pFirst->PutLatin1(1, digits, static_cast<size_t>(r.ptr - digits));
  for (int32_t h = 0; h < TimevarHours; ++h) m_pFirst->PutField(kHourColumn + h, record.typeday[0][h], TimevarValueSize);
  for (int32_t m = 0; m < TimevarMonths; ++m) {
    r = std::to_chars(digits, digits + sizeof digits, record.month[m]);
    m_pFirst->PutLatin1(kMonthColumn + m, digits, static_cast<size_t>(r.ptr - digits));
  }
  for (int32_t s = 0; s < TimevarScenarios; ++s) {
    m_pFirst->PutLatin1(kScenarioColumn + s, digits, FloatChars(record.scenario[s], digits));
  }
  if (m_pFirst->WriteFilled() != 1) return -1;
  m_pFirst->SkipRows(kRecordRows - 1);
  for (int32_t d = 1; d < TimevarDayTypes; ++d) {
    for (int32_t h = 0; h < TimevarHours; ++h) m_pNext->PutField(h, record.typeday[d][h], TimevarValueSize);
    if (m_pNext->WriteFilled() != 1) return -1;
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
  // The record's other rows are passed also when a cell could not be read.
  int32_t r = m_pFirst->ReadRow(m_firstTexts);
  if (r < 0) return -1;
  if (m_pFirst->SkipRows(kRecordRows - 1) != 1) return -1;
  return r;
}

int32_t CTimevarSheetRows::ReadDay() {
  if (!m_pNext) {
    SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", xlretFailed, Narrow(m_sheet).c_str());
    return -1;
  }
  return m_pNext->ReadRow(m_nextTexts);
}

const std::vector<int32_t>& CTimevarSheetRows::UnreadableFirst() const {
  static const std::vector<int32_t> none;
  return m_pFirst ? m_pFirst->UnreadableColumns() : none;
}

const std::vector<int32_t>& CTimevarSheetRows::UnreadableDay() const {
  static const std::vector<int32_t> none;
  return m_pNext ? m_pNext->UnreadableColumns() : none;
}

int32_t CTimevarSheetRows::EndRecord() { return m_pNext ? m_pNext->SkipRows(1) : -1; }

// ---------------------------------------------------------------- reader

CExcelReadTimevar::CExcelReadTimevar() = default;
CExcelReadTimevar::~CExcelReadTimevar() = default;

int32_t CExcelReadTimevar::Init(int32_t kind) {
  m_row = 1;
  return m_rows.Open(kind);
}

namespace {

// A type-day value without its blanks ("120 : 2" is 120:2).  Line breaks
// and other control characters are not blanks: the field rule refuses them.
std::wstring WithoutBlanks(const wchar_t* text) {
  std::wstring value;
  for (const wchar_t* p = text ? text : L""; *p; ++p) {
    if (*p != L' ') value.push_back(*p);
  }
  return value;
}

}  // namespace

int32_t CExcelReadTimevar::Read(TimevarRec* record) {
  std::memset(record, 0, sizeof *record);
  int32_t row = m_row;
  int32_t r = m_rows.ReadFirst();
  if (r < 0) return -1;
  const wchar_t* sheet = m_rows.Sheet();
  const wchar_t* name = m_rows.First(0);
  if (r == 0) {
    m_row += kRecordRows;
    return -1;  // the unreadable cell is named in the error text
  }
  if (name[0] == 0) return 0;
  m_row += kRecordRows;

  // The record's rows are all taken before a fault is reported, so that the
  // two row readers stay on the same record; the first fault is reported.
  bool ok = CellTextFits(sheet, row, 0, L"Timevar name", name, TimevarNameSize, FieldForm::kQuoted);
  if (ok) CopyField(record->name, TimevarNameSize, name);
  int32_t index = 0;
  if (ok && !CellIndex(m_rows.First(1), UINT16_MAX, &index)) {
    CellErrorText(sheet, row, 1, L"Could not get index for timevar: %ls", name);
    ok = false;
  }
  record->index = static_cast<uint16_t>(index);
  // An empty month or scenario cell leaves its value 0.
  for (int32_t m = 0; m < TimevarMonths && ok; ++m) {
    int64_t value = 0;
    const wchar_t* text = m_rows.First(kMonthColumn + m);
    if (text[0] != 0 && !CellWhole(text, INT16_MIN, INT16_MAX, &value)) {
      CellErrorText(sheet, row, kMonthColumn + m, L"Month value is not a whole number of 16 bits: %ls", text);
      ok = false;
    }
    record->month[m] = static_cast<int16_t>(value);
  }
  for (int32_t s = 0; s < TimevarScenarios && ok; ++s) {
    const wchar_t* text = m_rows.First(kScenarioColumn + s);
    if (text[0] != 0 && !CellReal(text, &record->scenario[s])) {
      CellErrorText(sheet, row, kScenarioColumn + s, L"Scenario value is not a real number of 32 bits: %ls", text);
      ok = false;
    }
  }
  for (int32_t d = 0; d < TimevarDayTypes; ++d) {
    if (d > 0) {
      r = m_rows.ReadDay();
      if (r < 0) return -1;
      if (r == 0) ok = false;
    }
    for (int32_t h = 0; h < TimevarHours && ok; ++h) {
      const wchar_t* text = d == 0 ? m_rows.First(kHourColumn + h) : m_rows.Day(h);
      std::wstring value = WithoutBlanks(text);
      ok = CellTextFits(sheet, row + d, kHourColumn + h, kDayLabels[d], text, 0, FieldForm::kText) &&
           CellTextFits(sheet, row + d, kHourColumn + h, kDayLabels[d], value.c_str(), TimevarValueSize,
                        FieldForm::kWord);
      if (ok) CopyField(record->typeday[d][h], TimevarValueSize, value.c_str());
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

void CExcelVerifyTimevar::ReportUnreadable(int32_t row, int32_t firstColumn, const std::vector<int32_t>& columns) {
  for (int32_t j : columns) {
    m_pChecker->Errors().Add(m_pChecker->Sheet(), row, firstColumn + j, L"%ls", kUnreadableCell);
  }
}

namespace {

// Whether column j was among the cells a row reader could not read (those
// are reported once, as such).
bool Unread(const std::vector<int32_t>& columns, int32_t j) {
  for (int32_t c : columns) {
    if (c == j) return true;
  }
  return false;
}

}  // namespace

void CExcelVerifyTimevar::CheckTypeday(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text) {
  if (m_pChecker->CheckText(row, column, label, text, 0, FieldForm::kText) != 1 ||
      m_pChecker->CheckText(row, column, label, WithoutBlanks(text).c_str(), TimevarValueSize, FieldForm::kWord) !=
          1) {
    return;
  }
  std::wstring value(text);
  size_t colon = value.find(L':');
  if (colon == std::wstring::npos) {
    m_pChecker->CheckULong(row, column, label, value.c_str(), 0, 32000);
    return;
  }
  m_pChecker->CheckULong(row, column, label, value.substr(0, colon).c_str(), 0, 32000);
  m_pChecker->CheckULong(row, column, label, value.c_str() + colon + 1, 0, 3);
}

int32_t CExcelVerifyTimevar::VerifyRec() {
  if (!m_pChecker || !m_pTimevars) {
    SetErrorText("Couldn't retrieve data. Error %d, sheet %s.", xlretFailed, Narrow(m_rows.Sheet()).c_str());
    return -1;
  }
  for (;;) {
    int32_t row = m_row;
    int32_t r = m_rows.ReadFirst();
    if (r < 0) return -1;
    if (r == 0) ReportUnreadable(row, 0, m_rows.UnreadableFirst());
    const wchar_t* name = m_rows.First(0);
    if (name[0] == 0) return 1;
    m_row += kRecordRows;
    if (m_pChecker->CheckText(row, 0, L"Timevar name", name, TimevarNameSize, FieldForm::kQuoted) == 1 &&
        m_pTimevars->Find(name) == -1) {
      m_pChecker->Errors().Add(m_pChecker->Sheet(), row, 0, L"Could not get index for timevar: %ls", name);
    }
    const std::vector<int32_t>& unread = m_rows.UnreadableFirst();
    for (int32_t h = 0; h < TimevarHours; ++h) {
      if (Unread(unread, kHourColumn + h)) continue;
      CheckTypeday(row, kHourColumn + h, kDayLabels[0], m_rows.First(kHourColumn + h));
    }
    for (int32_t m = 0; m < TimevarMonths; ++m) {
      if (Unread(unread, kMonthColumn + m)) continue;
      m_pChecker->CheckULong(row, kMonthColumn + m, L"Month", m_rows.First(kMonthColumn + m), 0, 9999);
    }
    for (int32_t s = 0; s < TimevarScenarios; ++s) {
      if (Unread(unread, kScenarioColumn + s)) continue;
      m_pChecker->CheckFloat(row, kScenarioColumn + s, L"Scenario", m_rows.First(kScenarioColumn + s), 0, 9999);
    }
    for (int32_t d = 1; d < TimevarDayTypes; ++d) {
      r = m_rows.ReadDay();
      if (r < 0) return -1;
      if (r == 0) ReportUnreadable(row + d, kHourColumn, m_rows.UnreadableDay());
      for (int32_t h = 0; h < TimevarHours; ++h) {
        if (r == 0 && Unread(m_rows.UnreadableDay(), h)) continue;
        CheckTypeday(row + d, kHourColumn + h, kDayLabels[d], m_rows.Day(h));
      }
    }
    if (m_rows.EndRecord() != 1) return -1;
  }
}
