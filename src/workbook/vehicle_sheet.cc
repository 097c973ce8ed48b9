// The "Vehicle" sheet (see vehicle_sheet.h).
#include "workbook/vehicle_sheet.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <string>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "workbook/cell_number.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_open.h"

namespace {

constexpr int32_t kCodeColumn = 2;
constexpr int32_t kHeavyRow = 1;  // of the vehicle's rows
constexpr int32_t kSpeedColumn = 3;
constexpr int32_t kFirstSubstanceColumn = 4;

// The speed named in a row: its number from 1 to 11, or 0.
int32_t SpeedOf(const CRecordList& speeds, const wchar_t* text) {
  int32_t speed = speeds.Find(text);
  return (speed >= 1 && speed <= VehicleSpeeds) ? speed : 0;
}

}  // namespace

// ---------------------------------------------------------------- writer

CExcelWriteVehicle::CExcelWriteVehicle() = default;
CExcelWriteVehicle::~CExcelWriteVehicle() = default;

int32_t CExcelWriteVehicle::Init(const CRecordList& substances, const CRecordList& speeds) {
  m_pSubstances = &substances;
  m_pSpeeds = &speeds;
  m_columnSubstance.clear();
  m_row = 1;
  return OpenCellWriter(m_pWriter, static_cast<int32_t>(ActivityCodeSize), VehicleSheetName);
}

int32_t CExcelWriteVehicle::Write(const VehicleRec& record, const CodeString* code) {
  if (!m_pWriter || !m_pSubstances || !m_pSpeeds) return WriteBeforeOpen(m_row, 0);
  int32_t row = m_row;
  m_row += VehicleSpeeds;
  wchar_t text[32];
  listtext::IntegerText(record.index, text, 32);
  if (m_pWriter->WriteCell(row, 0, FieldText(record.name, VehicleNameSize).c_str()) != 1 ||
      m_pWriter->WriteCell(row, 1, text) != 1 || m_pWriter->WriteCell(row, kCodeColumn, code ? code->Text() : L"") != 1) {
    return -1;
  }
  listtext::IntegerText(record.isheavy, text, 32);
  if (m_pWriter->WriteCell(row + kHeavyRow, kCodeColumn, text) != 1) return -1;

  int32_t slots = VehicleSubstanceCount(record);
  std::vector<int32_t> columns(static_cast<size_t>(slots));
  for (int32_t k = 0; k < slots; ++k) {
    int32_t substance = record.substance[k];
    const wchar_t* name = m_pSubstances->NameOf(substance);
    if (!name) {
      SetErrorText("Could not get substance %d", static_cast<int>(substance));
      return -1;
    }
    size_t j = 0;
    while (j < m_columnSubstance.size() && m_columnSubstance[j] != substance) ++j;
    if (j == m_columnSubstance.size()) {
      if (j == static_cast<size_t>(VehicleSheetMaxColumns)) {
        SetErrorText("Too many substances. Maximum is %d.", static_cast<int>(VehicleSheetMaxColumns));
        return -1;
      }
      m_columnSubstance.push_back(substance);
      if (m_pWriter->WriteCell(0, kFirstSubstanceColumn + static_cast<int32_t>(j), name) != 1) return -1;
    }
    columns[static_cast<size_t>(k)] = kFirstSubstanceColumn + static_cast<int32_t>(j);
  }
  for (int32_t s = 1; s <= VehicleSpeeds; ++s) {
    const wchar_t* speed = m_pSpeeds->NameOf(s);
    if (!speed) {
      SetErrorText("Could not get speed %d", static_cast<int>(s));
      return -1;
    }
    if (m_pWriter->WriteCell(row + s - 1, kSpeedColumn, speed) != 1) return -1;
    for (int32_t k = 0; k < slots; ++k) {
      wchar_t value[32];
      FloatText(record.emission[k][s - 1], value, 32);
      if (m_pWriter->WriteCell(row + s - 1, columns[static_cast<size_t>(k)], value) != 1) return -1;
    }
  }
  return 1;
}

// ---------------------------------------------------------------- the rows

CVehicleSheetRows::CVehicleSheetRows() = default;
CVehicleSheetRows::~CVehicleSheetRows() = default;

int32_t CVehicleSheetRows::Open() {
  std::unique_ptr<CSheetCellReader> heading;
  int32_t r = OpenCellReader(heading, kMaxText, VehicleSheetName);
  if (r != 1) return r;
  m_heading.clear();
  wchar_t text[kMaxText];
  for (int32_t j = 0; j <= VehicleSheetMaxColumns; ++j) {
    if (heading->ReadCell(0, kFirstSubstanceColumn + j, text) != 1) return -1;
    if (text[0] == 0) break;
    m_heading.emplace_back(text);
  }
  return m_rows.Open(VehicleSheetName, kFirstSubstanceColumn + Columns(), kMaxText);
}

int32_t CVehicleSheetRows::ReadRow() { return m_rows.ReadRow(); }

// ---------------------------------------------------------------- reader

CExcelReadVehicle::CExcelReadVehicle() = default;
CExcelReadVehicle::~CExcelReadVehicle() = default;

int32_t CExcelReadVehicle::Init(const CRecordList& substances, const CRecordList& speeds) {
  m_pSpeeds = &speeds;
  m_row = 1;
  if (m_rows.Open() != 1) return -1;
  if (m_rows.Columns() > VehicleSheetMaxColumns) {
    CellErrorText(VehicleSheetName, 0, kFirstSubstanceColumn + VehicleSheetMaxColumns, L"To many substances specified");
    return -1;
  }
  m_substance.clear();
  for (int32_t j = 0; j < m_rows.Columns(); ++j) {
    int32_t substance = substances.Find(m_rows.Heading(j));
    if (substance < 1 || substance > INT16_MAX) {
      CellErrorText(VehicleSheetName, 0, kFirstSubstanceColumn + j, L"Could not get index for substance: %ls",
                    m_rows.Heading(j));
      return -1;
    }
    m_substance.push_back(static_cast<int16_t>(substance));
  }
  return 1;
}

int32_t CExcelReadVehicle::Read(VehicleRec* record, CodeString* code) {
  std::memset(record, 0, sizeof *record);
  if (!m_pSpeeds) return 0;
  const wchar_t* sheet = VehicleSheetName;
  int32_t first = m_row;
  if (m_rows.ReadRow() != 1) return -1;
  if (m_rows.Cell(0)[0] == 0) return 0;
  m_row += VehicleSpeeds;

  std::wstring name = m_rows.Cell(0);
  if (!CellTextFits(sheet, first, 0, L"Name", name.c_str(), VehicleNameSize, FieldForm::kQuoted)) return -1;
  listtext::CopyCut(record->name, VehicleNameSize, name.c_str());
  int64_t index = 0;
  if (!CellWhole(m_rows.Cell(1), 1, UINT16_MAX, &index)) {
    CellErrorText(sheet, first, 1, L"Could not get index for vehicle: %ls", name.c_str());
    return -1;
  }
  record->index = static_cast<uint16_t>(index);
  if (!CellTextFits(sheet, first, kCodeColumn, L"Activity code", m_rows.Cell(kCodeColumn), ActivityCodeSize,
                    FieldForm::kText)) {
    return -1;
  }
  if (code && CopyCode(code, m_rows.Cell(kCodeColumn)) != 0) return -1;

  size_t columns = static_cast<size_t>(m_rows.Columns());
  std::vector<bool> filled(columns, false);
  std::vector<float> values(columns * VehicleSpeeds, 0.0f);
  bool seen[VehicleSpeeds + 1] = {};
  for (int32_t s = 0; s < VehicleSpeeds; ++s) {
    int32_t row = first + s;
    if (s > 0 && m_rows.ReadRow() != 1) return -1;
    int32_t speed = SpeedOf(*m_pSpeeds, m_rows.Cell(kSpeedColumn));
    if (speed == 0 || seen[speed]) {
      CellErrorText(sheet, row, kSpeedColumn, L"Could not get index for speed: %ls", m_rows.Cell(kSpeedColumn));
      return -1;
    }
    seen[speed] = true;
    if (s == kHeavyRow && m_rows.Cell(kCodeColumn)[0] != 0) {
      int64_t heavy = 0;
      if (!CellWhole(m_rows.Cell(kCodeColumn), INT32_MIN, INT32_MAX, &heavy)) {
        CellErrorText(sheet, row, kCodeColumn, L"Is heavy must be a whole number: %ls", m_rows.Cell(kCodeColumn));
        return -1;
      }
      record->isheavy = static_cast<int32_t>(heavy);
    }
    for (size_t j = 0; j < columns; ++j) {
      int32_t column = kFirstSubstanceColumn + static_cast<int32_t>(j);
      const wchar_t* text = m_rows.Cell(column);
      if (text[0] == 0) continue;
      if (!CellReal(text, &values[j * VehicleSpeeds + static_cast<size_t>(speed - 1)])) {
        CellErrorText(sheet, row, column, L"Emission factor cell not a number: %ls", text);
        return -1;
      }
      filled[j] = true;
    }
  }
  int32_t k = 0;
  for (size_t j = 0; j < columns; ++j) {
    if (!filled[j]) continue;
    record->substance[k] = m_substance[j];
    for (int32_t s = 0; s < VehicleSpeeds; ++s) record->emission[k][s] = values[j * VehicleSpeeds + static_cast<size_t>(s)];
    ++k;
  }
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifyVehicle::CExcelVerifyVehicle() = default;
CExcelVerifyVehicle::~CExcelVerifyVehicle() = default;

int32_t CExcelVerifyVehicle::Init(const CRecordList& substances, const CRecordList& speeds, IssueList& errors,
                                  IssueList& warnings) {
  m_pSpeeds = &speeds;
  m_row = 1;
  m_pChecker.reset(new (std::nothrow) CCellChecker(VehicleSheetName, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (m_rows.Open() != 1) return -1;
  for (int32_t j = 0; j < m_rows.Columns(); ++j) {
    int32_t column = kFirstSubstanceColumn + j;
    if (j == VehicleSheetMaxColumns) {
      errors.Add(VehicleSheetName, 0, column, L"Too many substances. Maximum is %d.",
                 static_cast<int>(VehicleSheetMaxColumns));
    } else if (substances.Find(m_rows.Heading(j)) == -1) {
      errors.Add(VehicleSheetName, 0, column, L"Unknown substance: %ls", m_rows.Heading(j));
    }
  }
  return 1;
}

int32_t CExcelVerifyVehicle::VerifyRec() {
  if (!m_pChecker || !m_pSpeeds) return ReadBeforeOpen(m_row, 0, VehicleSheetName);
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  size_t columns = static_cast<size_t>(m_rows.Columns());
  std::vector<bool> first(columns, false);
  for (;;) {
    int32_t top = m_row;
    if (m_rows.ReadRow() != 1) return -1;
    if (m_rows.Cell(0)[0] == 0) return 1;
    m_row += VehicleSpeeds;
    check.CheckText(top, 0, L"Name", m_rows.Cell(0), VehicleNameSize, FieldForm::kQuoted);
    int64_t index = 0;
    if (m_rows.Cell(1)[0] == 0) {
      errors.Add(VehicleSheetName, top, 1, L"Missing index");
    } else if (!CellWhole(m_rows.Cell(1), 1, UINT16_MAX, &index)) {
      errors.Add(VehicleSheetName, top, 1, L"Invalid index");
    }
    check.CheckText(top, kCodeColumn, L"Activity code", m_rows.Cell(kCodeColumn), ActivityCodeSize, FieldForm::kText);
    bool seen[VehicleSpeeds + 1] = {};
    bool any = false;
    for (int32_t s = 0; s < VehicleSpeeds; ++s) {
      int32_t row = top + s;
      if (s > 0 && m_rows.ReadRow() != 1) return -1;
      const wchar_t* speedText = m_rows.Cell(kSpeedColumn);
      int32_t speed = SpeedOf(*m_pSpeeds, speedText);
      if (speed == 0) {
        errors.Add(VehicleSheetName, row, kSpeedColumn, L"Unknown speed: %ls", speedText);
      } else if (seen[speed]) {
        errors.Add(VehicleSheetName, row, kSpeedColumn, L"Speed given twice for the vehicle: %ls", speedText);
      }
      seen[speed] = true;
      if (s == kHeavyRow && m_rows.Cell(kCodeColumn)[0] != 0) {
        check.CheckLong(row, kCodeColumn, L"Is heavy", m_rows.Cell(kCodeColumn), INT32_MIN, INT32_MAX);
      }
      for (size_t j = 0; j < columns; ++j) {
        int32_t column = kFirstSubstanceColumn + static_cast<int32_t>(j);
        const wchar_t* text = m_rows.Cell(column);
        bool filled = text[0] != 0;
        if (s == 0) {
          first[j] = filled;
          any = any || filled;
        } else if (filled != first[j]) {
          errors.Add(VehicleSheetName, row, column, L"Inconsistent emission factors. Differs from first row of record.");
        }
        if (filled) check.CheckFloat(row, column, L"Emission factor", text, 0, 1e9f);
      }
    }
    if (!any) check.Warnings().Add(VehicleSheetName, top, -1, L"No emission factors defined");
  }
}
