// The "Roadtype" sheet (see roadtype_sheet.h).
#include "workbook/roadtype_sheet.h"

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
#include "workbook/field_rule.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_open.h"

namespace {

enum Column : int32_t {
  kName = 0,
  kIndex = 1,
  kVehicle = 2,
  kMinSpeed = 3,
  kMaxSpeed = 4,
  kHour = 5,
  kMonth = 29,
  kScenario = 41,
};
constexpr int32_t kVehicleRows = 4;

const wchar_t* const kDayLabels[TimevarDayTypes] = {L"Typeday (Mon-Thu)", L"Typeday (Fri)", L"Typeday (Sat)",
                                                    L"Typeday (Sun)"};

}  // namespace

// ---------------------------------------------------------------- writer

CExcelWriteRoadtype::CExcelWriteRoadtype() {
  std::memset(m_first, 0, sizeof m_first);
  std::memset(m_next, 0, sizeof m_next);
}
CExcelWriteRoadtype::~CExcelWriteRoadtype() = default;

int32_t CExcelWriteRoadtype::Init(const CRecordList& vehicles, const CRecordList& speeds, const CRecordList& scenarios) {
  m_pVehicles = &vehicles;
  m_pSpeeds = &speeds;
  m_pFirst.reset(new (std::nothrow) CSheetRowWriter(1, 0, kFirstColumns, kTextSize, RoadtypeSheetName));
  m_pNext.reset(new (std::nothrow) CSheetRowWriter(2, kHour, kNextColumns, kTextSize, RoadtypeSheetName));
  if (!m_pFirst || !m_pNext) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (m_pFirst->Init() != 1 || m_pNext->Init() != 1) return -1;
  std::unique_ptr<CSheetCellWriter> heading;
  if (OpenCellWriter(heading, 256, RoadtypeSheetName) != 1) return -1;
  for (int32_t s = 1; s <= TimevarScenarios; ++s) {
    const wchar_t* name = scenarios.NameOf(s);
    if (!name) {
      SetErrorText("Could not get scenario %d", static_cast<int>(s));
      return -1;
    }
    if (heading->WriteCell(0, kScenario + s - 1, name) != 1) return -1;
  }
  return 1;
}

int32_t CExcelWriteRoadtype::Write(const RoadtypeRec& record) {
  if (!m_pFirst || !m_pNext || !m_pVehicles || !m_pSpeeds) return WriteBeforeOpen(0, 0);
  int32_t vehicles = RoadtypeVehicleCount(record);
  if (vehicles == 0) {
    SetErrorText("Roadtype %s has no vehicles, which the Roadtype sheet cannot show",
                 Narrow(FieldText(record.name, RoadtypeNameSize).c_str()).c_str());
    return -1;
  }
  for (int32_t k = 0; k < vehicles; ++k) {
    const RoadtypeBlock& block = record.block[k];
    const wchar_t* vehicle = m_pVehicles->NameOf(record.vehicle[k]);
    const wchar_t* low = m_pSpeeds->NameOf(block.minspeed);
    const wchar_t* high = m_pSpeeds->NameOf(block.maxspeed);
    if (!vehicle || !low || !high) {
      if (!vehicle) SetErrorText("Could not get vehicle %d", static_cast<int>(record.vehicle[k]));
      if (vehicle && !low) SetErrorText("Could not get min speed %d", static_cast<int>(block.minspeed));
      if (vehicle && low) SetErrorText("Could not get max speed %d", static_cast<int>(block.maxspeed));
      return -1;
    }
    if (k == 0) {
      listtext::CopyFieldCut(m_first[kName], kTextSize, record.name, RoadtypeNameSize);
      listtext::IntegerText(record.index, m_first[kIndex], kTextSize);
    } else {
      m_first[kName][0] = 0;
      m_first[kIndex][0] = 0;
    }
    listtext::CopyCut(m_first[kVehicle], kTextSize, vehicle);
    listtext::CopyCut(m_first[kMinSpeed], kTextSize, low);
    listtext::CopyCut(m_first[kMaxSpeed], kTextSize, high);
    for (int32_t h = 0; h < TimevarHours; ++h) {
      listtext::CopyFieldCut(m_first[kHour + h], kTextSize, block.typeday[0][h], TimevarValueSize);
    }
    for (int32_t m = 0; m < TimevarMonths; ++m) {
      listtext::IntegerText(block.month[m], m_first[kMonth + m], kTextSize);
    }
    for (int32_t s = 0; s < TimevarScenarios; ++s) {
      FloatText(block.scenario[s], m_first[kScenario + s], kTextSize);
    }
    const wchar_t* first[kFirstColumns];
    for (int32_t c = 0; c < kFirstColumns; ++c) first[c] = m_first[c];
    if (m_pFirst->WriteRow(first) != 1) return -1;
    m_pFirst->SkipRows(kVehicleRows - 1);
    const wchar_t* next[kNextColumns];
    for (int32_t d = 1; d < TimevarDayTypes; ++d) {
      for (int32_t h = 0; h < TimevarHours; ++h) {
        listtext::CopyFieldCut(m_next[h], kTextSize, block.typeday[d][h], TimevarValueSize);
        next[h] = m_next[h];
      }
      if (m_pNext->WriteRow(next) != 1) return -1;
    }
    m_pNext->SkipRows(1);
  }
  return 1;
}

// ---------------------------------------------------------------- the rows

CRoadtypeSheetRows::CRoadtypeSheetRows() {
  std::memset(m_first, 0, sizeof m_first);
  std::memset(m_next, 0, sizeof m_next);
  for (int32_t c = 0; c < kFirstColumns; ++c) m_firstTexts[c] = m_first[c];
  for (int32_t c = 0; c < kNextColumns; ++c) m_nextTexts[c] = m_next[c];
}
CRoadtypeSheetRows::~CRoadtypeSheetRows() = default;

int32_t CRoadtypeSheetRows::Open() {
  m_peeked = false;
  m_row = 1;
  m_pFirst.reset(new (std::nothrow) CSheetRowReader(1, 0, kFirstColumns, kMaxText, RoadtypeSheetName));
  m_pNext.reset(new (std::nothrow) CSheetRowReader(2, kHour, kNextColumns, kMaxText, RoadtypeSheetName));
  if (!m_pFirst || !m_pNext) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return (m_pFirst->Init() == 1 && m_pNext->Init() == 1) ? 1 : -1;
}

int32_t CRoadtypeSheetRows::Peek() {
  if (!m_pFirst) return ReadBeforeOpen(m_row, 0, RoadtypeSheetName);
  if (m_peeked) return 1;
  if (m_pFirst->ReadRow(m_firstTexts) != 1) return -1;
  m_peeked = true;
  return 1;
}

int32_t CRoadtypeSheetRows::Take() {
  m_peeked = false;
  return m_pFirst->SkipRows(kVehicleRows - 1);
}

int32_t CRoadtypeSheetRows::NextDay() { return m_pNext->ReadRow(m_nextTexts); }

int32_t CRoadtypeSheetRows::EndVehicle() {
  m_row += kVehicleRows;
  return m_pNext->SkipRows(1);
}

// ---------------------------------------------------------------- reader

CExcelReadRoadtype::CExcelReadRoadtype() = default;
CExcelReadRoadtype::~CExcelReadRoadtype() = default;

int32_t CExcelReadRoadtype::Init(const CRecordList& vehicles, const CRecordList& speeds) {
  m_pVehicles = &vehicles;
  m_pSpeeds = &speeds;
  return m_rows.Open();
}

int32_t CExcelReadRoadtype::ReadVehicle(RoadtypeRec* record, int32_t k) {
  const wchar_t* sheet = RoadtypeSheetName;
  int32_t row = m_rows.Row();
  RoadtypeBlock& block = record->block[k];
  int32_t vehicle = m_pVehicles->Find(m_rows.First(kVehicle));
  if (vehicle < 1 || vehicle > UINT16_MAX) {
    CellErrorText(sheet, row, kVehicle, L"Could not get index for vehicle: %ls", m_rows.First(kVehicle));
    return -1;
  }
  record->vehicle[k] = static_cast<uint16_t>(vehicle);
  const wchar_t* const kSpeedLabels[2] = {L"Could not get index for min speed: %ls",
                                          L"Could not get index for max speed: %ls"};
  for (int32_t i = 0; i < 2; ++i) {
    int32_t column = i == 0 ? kMinSpeed : kMaxSpeed;
    int32_t speed = m_pSpeeds->Find(m_rows.First(column));
    if (speed < 0 || speed > INT16_MAX) {
      CellErrorText(sheet, row, column, kSpeedLabels[i], m_rows.First(column));
      return -1;
    }
    (i == 0 ? block.minspeed : block.maxspeed) = static_cast<int16_t>(speed);
  }
  for (int32_t m = 0; m < TimevarMonths; ++m) {
    int64_t value = 0;
    if (!CellWhole(m_rows.First(kMonth + m), INT16_MIN, INT16_MAX, &value)) {
      CellErrorText(sheet, row, kMonth + m, L"Month cell not a whole number: %ls", m_rows.First(kMonth + m));
      return -1;
    }
    block.month[m] = static_cast<int16_t>(value);
  }
  for (int32_t s = 0; s < TimevarScenarios; ++s) {
    if (!CellReal(m_rows.First(kScenario + s), &block.scenario[s])) {
      CellErrorText(sheet, row, kScenario + s, L"Scenario cell not a number: %ls", m_rows.First(kScenario + s));
      return -1;
    }
  }
  // The hours: every value one word that fits its field.
  bool ok = true;
  for (int32_t d = 0; d < TimevarDayTypes; ++d) {
    if (d == 0) {
      if (m_rows.Take() != 1) return -1;
    } else if (m_rows.NextDay() != 1) {
      return -1;
    }
    for (int32_t h = 0; ok && h < TimevarHours; ++h) {
      const wchar_t* text = d == 0 ? m_rows.First(kHour + h) : m_rows.Day(h);
      if (text[0] == 0) {
        CellErrorText(sheet, row + d, kHour + h, L"Empty %ls cell", kDayLabels[d]);
        ok = false;
      } else if (!CellTextFits(sheet, row + d, kHour + h, kDayLabels[d], text, TimevarValueSize, FieldForm::kWord)) {
        ok = false;
      } else {
        listtext::CopyCut(block.typeday[d][h], TimevarValueSize, text);
      }
    }
  }
  if (m_rows.EndVehicle() != 1) return -1;
  return ok ? 1 : -1;
}

int32_t CExcelReadRoadtype::Read(RoadtypeRec* record) {
  std::memset(record, 0, sizeof *record);
  if (!m_pVehicles || !m_pSpeeds) return 0;
  const wchar_t* sheet = RoadtypeSheetName;
  for (int32_t k = 0;; ++k) {
    if (m_rows.Peek() != 1) return -1;
    int32_t row = m_rows.Row();
    if (m_rows.First(kVehicle)[0] == 0) return k > 0 ? 1 : 0;
    if (k > 0 && m_rows.First(kName)[0] != 0) return 1;
    if (k == RoadtypeMaxVehicles) {
      CellErrorText(sheet, row, kVehicle, L"To many vehicles specified");
      return -1;
    }
    if (k == 0) {
      const wchar_t* name = m_rows.First(kName);
      if (name[0] == 0) {
        CellErrorText(sheet, row, kName, L"Missing roadtype name");
        return -1;
      }
      if (!CellTextFits(sheet, row, kName, L"Name", name, RoadtypeNameSize, FieldForm::kQuoted)) return -1;
      listtext::CopyCut(record->name, RoadtypeNameSize, name);
      int64_t index = 0;
      if (!CellWhole(m_rows.First(kIndex), 1, UINT16_MAX, &index)) {
        CellErrorText(sheet, row, kIndex, L"Could not get index for roadtype: %ls", name);
        return -1;
      }
      record->index = static_cast<uint16_t>(index);
    }
    if (ReadVehicle(record, k) != 1) return -1;
  }
}

// ---------------------------------------------------------------- verifier

CExcelVerifyRoadtype::CExcelVerifyRoadtype() = default;
CExcelVerifyRoadtype::~CExcelVerifyRoadtype() = default;

int32_t CExcelVerifyRoadtype::Init(const CRecordList& vehicles, const CRecordList& speeds, IssueList& errors,
                                   IssueList& warnings) {
  m_pVehicles = &vehicles;
  m_pSpeeds = &speeds;
  m_pChecker.reset(new (std::nothrow) CCellChecker(RoadtypeSheetName, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return m_rows.Open();
}

void CExcelVerifyRoadtype::CheckHour(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                                     uint32_t maxBeforeColon) {
  if (!m_pChecker->CheckText(row, column, label, text, TimevarValueSize, FieldForm::kWord)) return;
  const wchar_t* colon = wcschr(text, L':');
  if (!colon) {
    m_pChecker->CheckULong(row, column, label, text, 0, 9999);
    return;
  }
  wchar_t before[TimevarValueSize];
  listtext::CopyCut(before, static_cast<size_t>(colon - text) + 1 < TimevarValueSize ? static_cast<size_t>(colon - text) + 1
                                                                                      : TimevarValueSize,
                    text);
  if (m_pChecker->CheckULong(row, column, label, before, 0, maxBeforeColon) == 1) {
    m_pChecker->CheckULong(row, column, label, colon + 1, 0, 3);
  }
}

int32_t CExcelVerifyRoadtype::VerifyRec() {
  if (!m_pChecker || !m_pVehicles) return ReadBeforeOpen(0, 0, RoadtypeSheetName);
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  for (int32_t k = 0;; ++k) {
    if (m_rows.Peek() != 1) return -1;
    int32_t row = m_rows.Row();
    if (m_rows.First(kVehicle)[0] == 0) return k > 0 ? 1 : 0;
    if (k > 0 && m_rows.First(kName)[0] != 0) return 1;
    if (k == RoadtypeMaxVehicles) {
      errors.Add(RoadtypeSheetName, row, kIndex, L"Too many vehicles. Only %d per roadtype allowed.",
                 static_cast<int>(RoadtypeMaxVehicles));
      return 0;
    }
    if (k == 0) {
      const wchar_t* name = m_rows.First(kName);
      if (name[0] == 0) {
        errors.Add(RoadtypeSheetName, row, kName, L"Missing roadtype name");
      } else {
        check.CheckText(row, kName, L"Name", name, RoadtypeNameSize, FieldForm::kQuoted);
      }
      int64_t index = 0;
      if (m_rows.First(kIndex)[0] == 0) {
        errors.Add(RoadtypeSheetName, row, kIndex, L"Missing index");
      } else if (!CellWhole(m_rows.First(kIndex), 1, UINT16_MAX, &index)) {
        errors.Add(RoadtypeSheetName, row, kIndex, L"Invalid index");
      }
    }
    if (m_pVehicles->Find(m_rows.First(kVehicle)) == -1) errors.Add(RoadtypeSheetName, row, kVehicle, L"Unknown vehicle");
    if (m_pSpeeds->Find(m_rows.First(kMinSpeed)) == -1) errors.Add(RoadtypeSheetName, row, kMinSpeed, L"Unknown min speed");
    if (m_pSpeeds->Find(m_rows.First(kMaxSpeed)) == -1) errors.Add(RoadtypeSheetName, row, kMaxSpeed, L"Unknown max speed");
    for (int32_t h = 0; h < TimevarHours; ++h) CheckHour(row, kHour + h, kDayLabels[0], m_rows.First(kHour + h), 32000);
    for (int32_t m = 0; m < TimevarMonths; ++m) check.CheckLong(row, kMonth + m, L"Month", m_rows.First(kMonth + m), 0, 9999);
    for (int32_t s = 0; s < TimevarScenarios; ++s) {
      check.CheckFloat(row, kScenario + s, L"Scenario", m_rows.First(kScenario + s), 0, 9999);
    }
    if (m_rows.Take() != 1) return -1;
    for (int32_t d = 1; d < TimevarDayTypes; ++d) {
      if (m_rows.NextDay() != 1) return -1;
      for (int32_t h = 0; h < TimevarHours; ++h) CheckHour(row + d, kHour + h, kDayLabels[d], m_rows.Day(h), 9999);
    }
    if (m_rows.EndVehicle() != 1) return -1;
  }
}
