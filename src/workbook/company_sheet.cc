// The "Company" and "Facility" sheets (see company_sheet.h).
#include "workbook/company_sheet.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/alob_cell.h"
#include "workbook/cell_number.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_open.h"

namespace {

constexpr int32_t kName = 0;
constexpr int32_t kId = 1;       // company sheet
constexpr int32_t kX = 1;        // facility sheet
constexpr int32_t kY = 2;
constexpr int32_t kCompany = 3;
constexpr int64_t kMaxCoordinate = 2147483647;

// The six texts info .. misc: their labels and record field sizes.
struct TextField {
  const wchar_t* label;
  size_t size;
};
constexpr TextField kTexts[6] = {{L"Info", CompanyTextSize},        {L"Info2", CompanyInfo2Size},
                                 {L"Address", CompanyTextSize},     {L"Postaddress", CompanyTextSize},
                                 {L"Infosupp", CompanyTextSize},    {L"Misc", CompanyTextSize}};

template <class Rec>
wchar_t* TextOf(Rec& record, int32_t i) {
  wchar_t* fields[6] = {record.info, record.info2, record.address, record.postaddress, record.infosupplier,
                        record.misc};
  return fields[i];
}

template <class Rec>
const wchar_t* TextOf(const Rec& record, int32_t i) {
  return TextOf(const_cast<Rec&>(record), i);
}

// Copies the six texts of a row into the record; false (ErrorText set) for a
// text the record cannot carry.
template <class Rec>
bool ReadTexts(const CCompanySheetRows& rows, Rec* record) {
  for (int32_t i = 0; i < 6; ++i) {
    int32_t column = rows.TextColumn() + i;
    const wchar_t* text = rows.Cell(column);
    if (!CellTextFits(rows.Sheet(), rows.Row(), column, kTexts[i].label, text, kTexts[i].size, FieldForm::kQuoted)) {
      return false;
    }
    listtext::CopyCut(TextOf(*record, i), kTexts[i].size, text);
  }
  return true;
}

// The ALOB cell of the row into alob; false (ErrorText set) when it cannot
// be stored.
bool ReadAlob(const CCompanySheetRows& rows, const wchar_t* name, Alob* alob) {
  alob->Clear();
  wchar_t message[kFieldFaultSize];
  if (AlobCellFault(rows.Alob(), message, kFieldFaultSize)) {
    CellErrorText(rows.Sheet(), rows.Row(), rows.AlobColumn(), L"%ls", message);
    return false;
  }
  return rows.Alob()[0] == 0 || AlobConcatenate(alob, rows.Alob(), name) == 0;
}

// Reads the next row a verifier checks: 1 with the row read (its unreadable
// cells reported as errors), 0 at the end of the data, -1 when the sheet
// cannot be read.  An empty name ends the data: the filled cells of that row
// are warnings.
int32_t NextRowToVerify(CCompanySheetRows& rows, CCellChecker& check, const char* verifier) {
  int32_t r = rows.ReadRow();
  if (r < 0) return -1;
  if (r == 0) {
    for (int32_t c : rows.Unreadable()) check.Errors().Add(rows.Sheet(), rows.Row(), c, L"%ls", kUnreadableCell);
  }
  if (rows.Cell(kName)[0] != 0 || rows.Unreadable().count(kName)) return 1;
  for (int32_t c = 0; c < rows.Columns(); ++c) {
    if (rows.Cell(c)[0] != 0) {
      check.Warnings().Add(rows.Sheet(), rows.Row(), c, L"Missing name or garbage data in row.");
    }
  }
  if (DebugLevel > 0) DebugPrint("  --- End of records\n  <-- %s::VerifyRec()\n", verifier);
  return 0;
}

void CheckTexts(const CCompanySheetRows& rows, CCellChecker& check) {
  for (int32_t i = 0; i < 6; ++i) {
    int32_t column = rows.TextColumn() + i;
    check.CheckText(rows.Row(), column, kTexts[i].label, rows.Cell(column), kTexts[i].size, FieldForm::kQuoted);
  }
  wchar_t message[kFieldFaultSize];
  if (AlobCellFault(rows.Alob(), message, kFieldFaultSize)) {
    check.Errors().Add(rows.Sheet(), rows.Row(), rows.AlobColumn(), L"%ls", message);
  }
}

}  // namespace

// ---------------------------------------------------------------- the rows

CCompanySheetRows::CCompanySheetRows(bool facility) : m_facility(facility), m_columns(facility ? 10 : 8) {
  std::memset(m_buf, 0, sizeof m_buf);
  for (int32_t c = 0; c < kMaxColumns; ++c) m_texts[c] = m_buf[c];
}
CCompanySheetRows::~CCompanySheetRows() = default;

const wchar_t* CCompanySheetRows::Sheet() const { return m_facility ? FacilitySheetName : CompanySheetName; }

int32_t CCompanySheetRows::OpenWriter() {
  m_row = 1;
  m_pRowWriter.reset(new (std::nothrow) CSheetRowWriter(1, 0, m_columns, kWriteSize, Sheet()));
  if (!m_pRowWriter) {
    SetErrorText("Could not all allocate string array for first row");
    return -1;
  }
  if (m_pRowWriter->Init() != 1) return -1;
  return OpenCellWriter(m_pCellWriter, static_cast<int32_t>(AlobCellMax) + 1, Sheet());
}

int32_t CCompanySheetRows::WriteRow(const wchar_t* const* texts, const wchar_t* alob) {
  if (!m_pRowWriter || !m_pCellWriter) return WriteBeforeOpen(m_row, 0);
  if (m_pRowWriter->WriteRow(texts) != 1) return -1;
  if (DebugLevel > 0 && alob[0] != 0) DebugPrint("\tAlob = %s\n", Narrow(alob).c_str());
  if (m_pCellWriter->WriteCell(m_row, m_columns, alob) != 1) return -1;
  ++m_row;
  return 1;
}

int32_t CCompanySheetRows::OpenReader() {
  m_row = 0;  // before the first ReadRow
  m_alob.reset(new (std::nothrow) wchar_t[AlobCellReadSize]);
  m_pRowReader.reset(new (std::nothrow) CSheetRowReader(1, 0, m_columns, kMaxText, Sheet()));
  m_pCellReader.reset(new (std::nothrow) CSheetCellReader(AlobCellReadSize, Sheet()));
  if (!m_alob || !m_pRowReader || !m_pCellReader) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  m_alob[0] = 0;
  int32_t r = m_pCellReader->Init();
  if (r != 1) return r;
  return m_pRowReader->Init();
}

int32_t CCompanySheetRows::ReadRow() {
  if (!m_pRowReader || !m_pCellReader) return ReadBeforeOpen(m_row, 0, Sheet());
  ++m_row;
  m_unreadable.clear();
  int32_t r = m_pRowReader->ReadRow(m_texts);
  if (r < 0) return -1;
  for (int32_t c : m_pRowReader->UnreadableColumns()) m_unreadable.insert(c);
  int32_t a = m_pCellReader->ReadCell(m_row, m_columns, m_alob.get());
  if (a < 0) return -1;
  if (a == 0) m_unreadable.insert(m_columns);
  return m_unreadable.empty() ? 1 : 0;
}

// ---------------------------------------------------------------- writers

CExcelWriteCompany::CExcelWriteCompany() = default;
CExcelWriteCompany::~CExcelWriteCompany() = default;

int32_t CExcelWriteCompany::Init() { return m_rows.OpenWriter(); }

int32_t CExcelWriteCompany::Write(const CompanyRec& record, const Alob* alob) {
  std::wstring fields[8] = {FieldText(record.name, CompanyTextSize), FieldText(record.id, CompanyIdSize)};
  for (int32_t i = 0; i < 6; ++i) fields[2 + i] = FieldText(TextOf(record, i), kTexts[i].size);
  const wchar_t* texts[8];
  for (int32_t c = 0; c < 8; ++c) texts[c] = fields[c].c_str();
  const wchar_t* attributes = AlobCellText(alob, "company", fields[0].c_str());
  if (!attributes) return -1;
  return m_rows.WriteRow(texts, attributes);
}

CExcelWriteFacility::CExcelWriteFacility() = default;
CExcelWriteFacility::~CExcelWriteFacility() = default;

int32_t CExcelWriteFacility::Init(CRecordListKey& companies) {
  m_pCompanies = &companies;
  return m_rows.OpenWriter();
}

int32_t CExcelWriteFacility::Write(const FacilityRec& record, const Alob* alob) {
  if (!m_pCompanies) return WriteBeforeOpen(0, 0);
  std::wstring fields[10];
  fields[kName] = FieldText(record.name, CompanyTextSize);
  fields[kX] = std::to_wstring(record.x);
  fields[kY] = std::to_wstring(record.y);
  std::wstring id = FieldText(record.company, CompanyIdSize);
  if (!id.empty()) {
    const wchar_t* name = m_pCompanies->FindName(id.c_str());
    if (!name) {
      SetErrorText("Could not get company %s", Narrow(id.c_str()).c_str());
      return -1;
    }
    fields[kCompany] = name;
  }
  for (int32_t i = 0; i < 6; ++i) fields[4 + i] = FieldText(TextOf(record, i), kTexts[i].size);
  const wchar_t* texts[10];
  for (int32_t c = 0; c < 10; ++c) texts[c] = fields[c].c_str();
  const wchar_t* attributes = AlobCellText(alob, "facility", fields[0].c_str());
  if (!attributes) return -1;
  return m_rows.WriteRow(texts, attributes);
}

// ---------------------------------------------------------------- readers

CExcelReadCompany::CExcelReadCompany() = default;
CExcelReadCompany::~CExcelReadCompany() = default;

int32_t CExcelReadCompany::Init() { return m_rows.OpenReader(); }

int32_t CExcelReadCompany::Read(CompanyRec* record, Alob* alob) {
  if (DebugLevel > 0) DebugPrint("  --> CExcelReadCompany::Read()\n");
  std::memset(record, 0, sizeof *record);
  alob->Clear();
  if (m_rows.ReadRow() != 1) return -1;
  const wchar_t* sheet = CompanySheetName;
  int32_t row = m_rows.Row();
  const wchar_t* name = m_rows.Cell(kName);
  if (name[0] == 0) return 0;
  if (!CellTextFits(sheet, row, kName, L"Name", name, CompanyTextSize, FieldForm::kQuoted)) return -1;
  const wchar_t* id = m_rows.Cell(kId);
  if (id[0] == 0) {
    CellErrorText(sheet, row, kId, L"Missing company ID");
    return -1;
  }
  if (!CellTextFits(sheet, row, kId, L"Company ID", id, CompanyIdSize, FieldForm::kQuoted)) return -1;
  listtext::CopyCut(record->name, CompanyTextSize, name);
  listtext::CopyCut(record->id, CompanyIdSize, id);
  if (!ReadTexts(m_rows, record) || !ReadAlob(m_rows, name, alob)) return -1;
  if (DebugLevel > 0) DebugPrint("  <-- CExcelReadCompany::Read()\n");
  return 1;
}

CExcelReadFacility::CExcelReadFacility() = default;
CExcelReadFacility::~CExcelReadFacility() = default;

int32_t CExcelReadFacility::Init(const CRecordListKey& companies) {
  m_pCompanies = &companies;
  return m_rows.OpenReader();
}

int32_t CExcelReadFacility::Read(FacilityRec* record, Alob* alob) {
  if (DebugLevel > 0) DebugPrint("  --> CExcelReadFacility::Read()\n");
  std::memset(record, 0, sizeof *record);
  alob->Clear();
  if (!m_pCompanies) return ReadBeforeOpen(0, 0, FacilitySheetName);
  if (m_rows.ReadRow() != 1) return -1;
  const wchar_t* sheet = FacilitySheetName;
  int32_t row = m_rows.Row();
  const wchar_t* name = m_rows.Cell(kName);
  if (name[0] == 0) return 0;
  if (!CellTextFits(sheet, row, kName, L"Name", name, CompanyTextSize, FieldForm::kQuoted)) return -1;
  listtext::CopyCut(record->name, CompanyTextSize, name);
  int64_t x = 0;
  int64_t y = 0;
  if (!CellWhole(m_rows.Cell(kX), 1, kMaxCoordinate, &x)) {
    CellErrorText(sheet, row, kX, L"X1 cell not a whole number from 1 to %d: %ls", static_cast<int>(kMaxCoordinate),
                  m_rows.Cell(kX));
    return -1;
  }
  if (!CellWhole(m_rows.Cell(kY), 1, kMaxCoordinate, &y)) {
    CellErrorText(sheet, row, kY, L"Y1 cell not a whole number from 1 to %d: %ls", static_cast<int>(kMaxCoordinate),
                  m_rows.Cell(kY));
    return -1;
  }
  record->x = static_cast<uint32_t>(x);
  record->y = static_cast<uint32_t>(y);
  const wchar_t* company = m_rows.Cell(kCompany);
  if (company[0] != 0) {
    const wchar_t* id = m_pCompanies->FindKey(company);
    if (!id || wcslen(id) >= CompanyIdSize) {
      CellErrorText(sheet, row, kCompany, L"Could not get key for company: %ls", company);
      return -1;
    }
    listtext::CopyCut(record->company, CompanyIdSize, id);
  }
  if (!ReadTexts(m_rows, record) || !ReadAlob(m_rows, name, alob)) return -1;
  if (DebugLevel > 0) DebugPrint("  <-- CExcelReadFacility::Read()\n");
  return 1;
}

// ---------------------------------------------------------------- verifiers

CExcelVerifyCompany::CExcelVerifyCompany() = default;
CExcelVerifyCompany::~CExcelVerifyCompany() = default;

int32_t CExcelVerifyCompany::Init(IssueList& errors, IssueList& warnings) {
  m_pChecker.reset(new (std::nothrow) CCellChecker(CompanySheetName, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return m_rows.OpenReader();
}

int32_t CExcelVerifyCompany::VerifyRec() {
  if (!m_pChecker) return ReadBeforeOpen(0, 0, CompanySheetName);
  if (DebugLevel > 0) DebugPrint("  --> CExcelVerifyCompany::VerifyRec()\n");
  CCellChecker& check = *m_pChecker;
  for (;;) {
    int32_t r = NextRowToVerify(m_rows, check, "CExcelVerifyCompany");
    if (r <= 0) return r < 0 ? -1 : 1;
    int32_t row = m_rows.Row();
    check.CheckText(row, kName, L"Name", m_rows.Cell(kName), CompanyTextSize, FieldForm::kQuoted);
    const wchar_t* id = m_rows.Cell(kId);
    if (id[0] == 0) {
      check.Errors().Add(CompanySheetName, row, kId, L"Missing company ID");
    } else if (check.CheckText(row, kId, L"Company ID", id, CompanyIdSize, FieldForm::kQuoted) == 1 &&
               !m_ids.insert(id).second) {
      check.Errors().Add(CompanySheetName, row, kId, L"Duplicate company ID");
    }
    CheckTexts(m_rows, check);
  }
}

CExcelVerifyFacility::CExcelVerifyFacility() = default;
CExcelVerifyFacility::~CExcelVerifyFacility() = default;

int32_t CExcelVerifyFacility::Init(const CRecordListKey& companies, IssueList& errors, IssueList& warnings) {
  m_pCompanies = &companies;
  m_pChecker.reset(new (std::nothrow) CCellChecker(FacilitySheetName, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return m_rows.OpenReader();
}

int32_t CExcelVerifyFacility::VerifyRec() {
  if (!m_pChecker || !m_pCompanies) return ReadBeforeOpen(0, 0, FacilitySheetName);
  if (DebugLevel > 0) DebugPrint("  --> CExcelVerifyFacility::VerifyRec()\n");
  CCellChecker& check = *m_pChecker;
  for (;;) {
    int32_t r = NextRowToVerify(m_rows, check, "CExcelVerifyFacility");
    if (r <= 0) return r < 0 ? -1 : 1;
    int32_t row = m_rows.Row();
    check.CheckText(row, kName, L"Name", m_rows.Cell(kName), CompanyTextSize, FieldForm::kQuoted);
    int32_t x = 0;
    int32_t y = 0;
    bool place = !m_rows.Unreadable().count(kX) &&
                 check.CheckLong(row, kX, L"X1", m_rows.Cell(kX), 1, static_cast<int32_t>(kMaxCoordinate), &x) == 1;
    place = !m_rows.Unreadable().count(kY) &&
            check.CheckLong(row, kY, L"Y1", m_rows.Cell(kY), 1, static_cast<int32_t>(kMaxCoordinate), &y) == 1 &&
            place;
    if (place && !m_places.insert({static_cast<uint32_t>(x), static_cast<uint32_t>(y)}).second) {
      check.Errors().Add(FacilitySheetName, row, kX, L"Duplicate facility: another row has X %d and Y %d",
                         static_cast<int>(x), static_cast<int>(y));
    }
    const wchar_t* company = m_rows.Cell(kCompany);
    if (company[0] != 0 && !m_pCompanies->FindKey(company)) {
      check.Errors().Add(FacilitySheetName, row, kCompany, L"Could not get key for company.");
    }
    CheckTexts(m_rows, check);
  }
}
