// The "Road Vehicle" sheet (see road_vehicle_sheet.h).
#include "workbook/road_vehicle_sheet.h"

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
#include "workbook/sheet_open.h"
#include "workbook/vehicle_sheet.h"

namespace {

// A record's first row with values but no name: only the sheet's first data
// row can be one (emission lines take the rows below a vehicle), and the
// readers would stop there, saving nothing of it or below.
constexpr const wchar_t* kLinesWithoutVehicle = L"row %d and below would not be saved: cell A%d is empty";

int32_t LinesWithoutVehicle(int32_t row) {
  CellErrorText(RoadVehicleSheetName, row, 0, kLinesWithoutVehicle, static_cast<int>(row + 1),
                static_cast<int>(row + 1));
  return -1;
}

enum Column : int32_t {
  kIndex = 1,
  kCode = 2,
  kHeavy = 3,
  kTraffic = 4,
  kWeight = 5,
  kModel = 6,
  kFlow = 7,
  kDependency = 8,
  kInfo = 9,
  kSubstance = 10,
};

const wchar_t* const kSituations[4] = {L"Free flowing", L"Heavy traffic", L"Congested", L"Stop and go"};

// The blank-separated words of a line.
std::vector<std::wstring> Words(const wchar_t* line) {
  std::vector<std::wstring> words;
  const wchar_t* p = line;
  while (*p) {
    while (*p == L' ' || *p == L'\t') ++p;
    const wchar_t* start = p;
    while (*p && *p != L' ' && *p != L'\t') ++p;
    if (p > start) words.emplace_back(start, p);
  }
  return words;
}

}  // namespace

// ---------------------------------------------------------------- writer

CExcelWriteRoadVehicle::CExcelWriteRoadVehicle() = default;
CExcelWriteRoadVehicle::~CExcelWriteRoadVehicle() = default;

int32_t CExcelWriteRoadVehicle::Init(const CRecordList& substances, const CRoadVehicleDef& definition,
                                     const CRecordList& roadVehicles) {
  m_pSubstances = &substances;
  m_pRoadVehicles = &roadVehicles;
  m_dimensions = definition.Dimensions();
  m_row = 1;
  m_lines = 0;
  m_written.clear();
  m_dependencies.clear();
  if (OpenCellWriter(m_pWriter, static_cast<int32_t>(ActivityCodeSize), RoadVehicleSheetName) != 1) return -1;
  for (int32_t d = 0; d < m_dimensions; ++d) {
    if (m_pWriter->WriteCell(0, kSubstance + 1 + d, definition.Name(d)) != 1) return -1;
  }
  for (int32_t i = 0; i < 4; ++i) {
    if (m_pWriter->WriteCell(0, kSubstance + 1 + m_dimensions + i, kSituations[i]) != 1) return -1;
  }
  return 1;
}

int32_t CExcelWriteRoadVehicle::Write(const RoadVehicleRec& record, const CodeString* code) {
  if (!m_pWriter || !m_pRoadVehicles) return WriteBeforeOpen(m_row, 0);
  m_lines = 0;
  m_name = FieldText(record.name, RoadVehicleNameSize);
  m_written[record.index] = m_name;
  if (record.dependency != 0) m_dependencies.emplace_back(m_row, record.dependency);
  const wchar_t* dependency = L"";
  wchar_t index[16], heavy[16], traffic[16], weight[16], model[16], flow[32];
  listtext::IntegerText(record.index, index, 16);
  listtext::IntegerText(record.isheavy, heavy, 16);
  listtext::IntegerText(record.istraffic, traffic, 16);
  listtext::IntegerText(record.weight, weight, 16);
  listtext::IntegerText(record.emissionmodel, model, 16);
  FloatText(record.flowequi, flow, 32);
  std::wstring info = FieldText(record.info, RoadVehicleInfoSize);
  const wchar_t* cells[] = {m_name.c_str(), index, code ? code->Text() : L"", heavy, traffic, weight, model,
                            flow,           dependency, info.c_str()};
  for (int32_t c = 0; c < 10; ++c) {
    if (m_pWriter->WriteCell(m_row, c, cells[c]) != 1) return -1;
  }
  return 1;
}

int32_t CExcelWriteRoadVehicle::WriteEmFac(const wchar_t* line) {
  if (!m_pWriter || !m_pSubstances) return WriteBeforeOpen(m_row, kSubstance);
  std::vector<std::wstring> words = Words(line);
  // The row holds the substance, one text per dimension and four factors;
  // anything else would not come back as it was.
  if (words.size() != static_cast<size_t>(5 + m_dimensions)) {
    SetErrorText("Emission line of road vehicle %s has %d values, the sheet holds %d: %s", Narrow(m_name.c_str()).c_str(),
                 static_cast<int>(words.size()), static_cast<int>(5 + m_dimensions), Narrow(line).c_str());
    return -1;
  }
  wchar_t* end = nullptr;
  long substance = wcstol(words[0].c_str(), &end, 10);
  const wchar_t* name = *end == 0 ? m_pSubstances->NameOf(static_cast<int32_t>(substance)) : nullptr;
  if (!name) {
    SetErrorText("Could not get substance %ld", substance);
    return -1;
  }
  if (m_pWriter->WriteCell(m_row, kSubstance, name) != 1) return -1;
  for (size_t i = 1; i < words.size(); ++i) {
    if (m_pWriter->WriteCell(m_row, kSubstance + static_cast<int32_t>(i), words[i].c_str()) != 1) return -1;
  }
  ++m_row;
  ++m_lines;
  return 1;
}

int32_t CExcelWriteRoadVehicle::WriteDependencies() {
  if (!m_pWriter || !m_pRoadVehicles) return WriteBeforeOpen(m_row, kDependency);
  for (const auto& pending : m_dependencies) {
    auto written = m_written.find(pending.second);
    const wchar_t* name = written != m_written.end() ? written->second.c_str()
                                                     : m_pRoadVehicles->NameOf(static_cast<int32_t>(pending.second));
    if (!name) {
      SetErrorText("Could not get vehicle %lu", static_cast<unsigned long>(pending.second));
      return -1;
    }
    if (m_pWriter->WriteCell(pending.first, kDependency, name) != 1) return -1;
  }
  m_dependencies.clear();
  return 1;
}

void CExcelWriteRoadVehicle::EndRecord() {
  if (m_lines == 0) ++m_row;
  m_lines = 0;
}

// ---------------------------------------------------------------- the rows

int32_t CRoadVehicleSheetRows::Open(int32_t dimensions) {
  m_dimensions = dimensions < 0 ? 0 : dimensions;
  return m_rows.Open(RoadVehicleSheetName, LastColumn() + 1, kMaxText);
}

int32_t CRoadVehicleSheetRows::ReadRow() { return m_rows.ReadRow(); }

bool CRoadVehicleSheetRows::EmptyFrom(int32_t from) const {
  for (int32_t c = from; c <= LastColumn(); ++c) {
    if (Cell(c)[0] != 0) return false;
  }
  return true;
}

// ---------------------------------------------------------------- reader

CExcelReadRoadVehicle::CExcelReadRoadVehicle() = default;
CExcelReadRoadVehicle::~CExcelReadRoadVehicle() = default;

int32_t CExcelReadRoadVehicle::Init(const CRecordList& substances, int32_t dimensions, const CRecordList& roadVehicles) {
  m_pSubstances = &substances;
  m_pRoadVehicles = &roadVehicles;
  m_row = 0;
  m_pending = false;
  m_lines = -1;
  return m_rows.Open(dimensions);
}

int32_t CExcelReadRoadVehicle::Read(RoadVehicleRec* record, CodeString* code) {
  std::memset(record, 0, sizeof *record);
  if (!m_pSubstances || !m_pRoadVehicles) return 0;
  const wchar_t* sheet = RoadVehicleSheetName;
  if (!m_pending) {
    if (m_rows.ReadRow() != 1) return -1;
    ++m_row;
  }
  m_pending = false;
  m_lines = -1;
  int32_t row = m_row;
  if (m_rows.Cell(0)[0] == 0) {
    if (!m_rows.EmptyFrom(0)) return LinesWithoutVehicle(row);
    m_pending = true;  // the end stays the end
    return 0;
  }
  m_name = m_rows.Cell(0);
  const wchar_t* name = m_name.c_str();
  if (!CellTextFits(sheet, row, 0, L"Name", name, RoadVehicleNameSize, FieldForm::kQuoted)) return -1;
  listtext::CopyCut(record->name, RoadVehicleNameSize, name);
  int64_t value = 0;
  if (!CellWhole(m_rows.Cell(kIndex), 1, UINT32_MAX, &value)) {
    CellErrorText(sheet, row, kIndex, L"Could not get index for vehicle: %ls", name);
    return -1;
  }
  record->index = static_cast<uint32_t>(value);
  if (!CellTextFits(sheet, row, kCode, L"Activity code", m_rows.Cell(kCode), ActivityCodeSize, FieldForm::kText)) {
    return -1;
  }
  if (code && CopyCode(code, m_rows.Cell(kCode)) != 0) return -1;
  for (int32_t column : {kHeavy, kTraffic}) {
    if (!CellWhole(m_rows.Cell(column), 0, 1, &value)) {
      CellErrorText(sheet, row, column, L"Only 0 or 1 are valid values: %ls", name);
      return -1;
    }
    (column == kHeavy ? record->isheavy : record->istraffic) = static_cast<int32_t>(value);
  }
  if (!CellWhole(m_rows.Cell(kWeight), INT32_MIN, INT32_MAX, &value)) {
    CellErrorText(sheet, row, kWeight, L"Weight must be a whole number: %ls", name);
    return -1;
  }
  record->weight = static_cast<int32_t>(value);
  if (!CellWhole(m_rows.Cell(kModel), 0, 3, &value)) {
    CellErrorText(sheet, row, kModel, L"Only 0 to 3 are valid values: %ls", name);
    return -1;
  }
  record->emissionmodel = static_cast<int32_t>(value);
  if (!CellReal(m_rows.Cell(kFlow), &record->flowequi)) {
    CellErrorText(sheet, row, kFlow, L"Flow equi cell not a number: %ls", name);
    return -1;
  }
  const wchar_t* dependency = m_rows.Cell(kDependency);
  if (dependency[0] != 0) {
    int32_t index = m_pRoadVehicles->Find(dependency);
    // An unknown name would go out as index 4294967295.
    if (index < 1) {
      CellErrorText(sheet, row, kDependency, L"Could not get index for road vehicle: %ls", dependency);
      return -1;
    }
    record->dependency = static_cast<uint32_t>(index);
  }
  if (!CellTextFits(sheet, row, kInfo, L"Info", m_rows.Cell(kInfo), RoadVehicleInfoSize, FieldForm::kQuoted)) return -1;
  listtext::CopyCut(record->info, RoadVehicleInfoSize, m_rows.Cell(kInfo));
  m_lines = 0;
  return 1;
}

int32_t CExcelReadRoadVehicle::ReadEmFac(std::wstring* line) {
  line->clear();
  if (m_lines < 0) return 0;
  const wchar_t* sheet = RoadVehicleSheetName;
  if (m_lines > 0) {
    if (m_rows.ReadRow() != 1) return -1;
    ++m_row;
    if (m_rows.Cell(0)[0] != 0 || m_rows.EmptyFrom(0)) {
      m_pending = true;  // the next record, or the end of the data
      m_lines = -1;
      return 0;
    }
  } else if (m_rows.EmptyFrom(kSubstance)) {
    m_lines = -1;  // a record without emission lines
    return 0;
  }
  int32_t row = m_row;
  int32_t substance = m_pSubstances->Find(m_rows.Cell(kSubstance));
  if (substance == -1) {
    CellErrorText(sheet, row, kSubstance, L"Could not get index for substance: %ls", m_rows.Cell(kSubstance));
    return -1;
  }
  *line = std::to_wstring(substance) + L" ";
  int32_t factors = kSubstance + 1 + m_rows.Dimensions();
  for (int32_t c = kSubstance + 1; c <= m_rows.LastColumn(); ++c) {
    const wchar_t* text = m_rows.Cell(c);
    float number = 0;
    wchar_t message[kFieldFaultSize];
    bool bad = text[0] == 0 || FieldFault(L"Emission line", text, 0, FieldForm::kWord, message, kFieldFaultSize) ||
               (c >= factors && !CellReal(text, &number));
    if (bad) {
      CellErrorText(sheet, row, c, L"Missing or malformed value in an emission line of road vehicle: %ls",
                    m_name.c_str());
      return -1;
    }
    *line += text;
    *line += L" ";
  }
  ++m_lines;
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifyRoadVehicle::CExcelVerifyRoadVehicle() = default;
CExcelVerifyRoadVehicle::~CExcelVerifyRoadVehicle() = default;

int32_t CExcelVerifyRoadVehicle::Init(const CRecordList& substances, const CRoadVehicleDef& definition,
                                      const CRecordList& roadVehicles, int32_t dimensions, IssueList& errors,
                                      IssueList& warnings) {
  m_pSubstances = &substances;
  m_pDefinition = &definition;
  m_pRoadVehicles = &roadVehicles;
  m_row = 0;
  m_pending = false;
  m_pChecker.reset(new (std::nothrow) CCellChecker(RoadVehicleSheetName, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return m_rows.Open(dimensions);
}

void CExcelVerifyRoadVehicle::CheckLine(int32_t row) {
  IssueList& errors = m_pChecker->Errors();
  const wchar_t* substance = m_rows.Cell(kSubstance);
  if (m_pSubstances->Find(substance) == -1) errors.Add(RoadVehicleSheetName, row, kSubstance, L"Unknown substance: %ls", substance);
  int32_t dimensions = m_rows.Dimensions();
  for (int32_t d = 0; d < dimensions; ++d) {
    int32_t column = kSubstance + 1 + d;
    const CRecordList* classes = m_pDefinition->List(d);
    if (!classes || classes->Find(m_rows.Cell(column)) == -1) {
      errors.Add(RoadVehicleSheetName, row, column, L"Unknown text for variable: %ls", m_rows.Cell(column));
    }
  }
  for (int32_t i = 0; i < 4; ++i) {
    int32_t column = kSubstance + 1 + dimensions + i;
    m_pChecker->CheckFloat(row, column, kSituations[i], m_rows.Cell(column), 0, 1e9f);
  }
}

int32_t CExcelVerifyRoadVehicle::VerifyRec() {
  if (!m_pChecker || !m_pSubstances) return ReadBeforeOpen(m_row, 0, RoadVehicleSheetName);
  CCellChecker& check = *m_pChecker;
  IssueList& errors = check.Errors();
  if (!m_pending) {
    if (m_rows.ReadRow() != 1) return -1;
    ++m_row;
  }
  m_pending = false;
  int32_t row = m_row;
  const wchar_t* name = m_rows.Cell(0);
  if (name[0] == 0) {
    if (!m_rows.EmptyFrom(0)) errors.Add(RoadVehicleSheetName, row, 0, kLinesWithoutVehicle, row + 1, row + 1);
    return 0;
  }
  check.CheckText(row, 0, L"Name", name, RoadVehicleNameSize, FieldForm::kQuoted);
  int64_t value = 0;
  if (m_rows.Cell(kIndex)[0] == 0) {
    errors.Add(RoadVehicleSheetName, row, kIndex, L"Missing index");
  } else if (!CellWhole(m_rows.Cell(kIndex), 1, UINT32_MAX, &value)) {
    errors.Add(RoadVehicleSheetName, row, kIndex, L"Invalid index");
  }
  check.CheckText(row, kCode, L"Activity code", m_rows.Cell(kCode), ActivityCodeSize, FieldForm::kText);
  check.CheckLong(row, kHeavy, L"Is heavy", m_rows.Cell(kHeavy), 0, 1);
  check.CheckLong(row, kTraffic, L"Is traffic", m_rows.Cell(kTraffic), 0, 1);
  check.CheckLong(row, kWeight, L"Weight", m_rows.Cell(kWeight), 0, 999999);
  check.CheckLong(row, kModel, L"Emission model", m_rows.Cell(kModel), 0, 3);
  check.CheckFloat(row, kFlow, L"Flow equi", m_rows.Cell(kFlow), 0, 1e9f);
  const wchar_t* dependency = m_rows.Cell(kDependency);
  if (dependency[0] != 0 && m_pRoadVehicles->Find(dependency) == -1) {
    errors.Add(RoadVehicleSheetName, row, kDependency, L"Unknown road vehicle: %ls", dependency);
  }
  check.CheckText(row, kInfo, L"Info", m_rows.Cell(kInfo), RoadVehicleInfoSize, FieldForm::kQuoted);
  if (!m_rows.EmptyFrom(kSubstance)) CheckLine(row);
  for (;;) {
    if (m_rows.ReadRow() != 1) return -1;
    ++m_row;
    if (m_rows.Cell(0)[0] != 0) {
      m_pending = true;
      return 1;
    }
    if (m_rows.EmptyFrom(0)) return 0;
    CheckLine(m_row);
  }
}
