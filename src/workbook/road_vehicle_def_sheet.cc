// The "Road Vehicle Def." sheet (see road_vehicle_def_sheet.h).
#include "workbook/road_vehicle_def_sheet.h"

#include <cwchar>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "port/xlcall.h"
#include "workbook/field_rule.h"
#include "workbook/sheet_open.h"

namespace {

constexpr int32_t kFirstDimensionRow = 3;
constexpr int32_t kLineSize = CExcelReadRoadVehicleDef::kMaxText + 16;

}  // namespace

// ---------------------------------------------------------------- writer

CExcelWriteRoadVehicleDef::CExcelWriteRoadVehicleDef() = default;
CExcelWriteRoadVehicleDef::~CExcelWriteRoadVehicleDef() = default;

int32_t CExcelWriteRoadVehicleDef::Init() {
  return OpenCellWriter(m_pWriter, CExcelReadRoadVehicleDef::kMaxText, RoadVehicleDefSheetName);
}

int32_t CExcelWriteRoadVehicleDef::Write(const RoadVehicleDefRec& record) {
  if (!m_pWriter) return WriteBeforeOpen(1, 0);
  wchar_t number[32];
  listtext::FormatCut(number, 32, L"%ld", static_cast<long>(record.dimspeed));
  if (m_pWriter->WriteCell(1, 0, L"SPEED DIMENSION") != 1 || m_pWriter->WriteCell(1, 1, number) != 1) return -1;
  listtext::FormatCut(number, 32, L"%ld", static_cast<long>(record.usealtspeed));
  if (m_pWriter->WriteCell(2, 0, L"USE ALTERNATIVE SPEED") != 1 || m_pWriter->WriteCell(2, 1, number) != 1) return -1;
  for (int32_t d = 0; d < record.dimensions; ++d) {
    for (int32_t t = 0; t <= record.classes[d]; ++t) {
      if (t >= kXlColumns) {
        SetErrorText("Could not write dimension %d: more classes than a row holds", static_cast<int>(d + 1));
        return -1;
      }
      if (m_pWriter->WriteCell(kFirstDimensionRow + d, t, record.texts[d][t]) != 1) return -1;
    }
  }
  return 1;
}

// ---------------------------------------------------------------- reader

CExcelReadRoadVehicleDef::CExcelReadRoadVehicleDef() = default;
CExcelReadRoadVehicleDef::~CExcelReadRoadVehicleDef() = default;

int32_t CExcelReadRoadVehicleDef::Init(int32_t dimensions) {
  m_dimensions = dimensions < 0 ? 0 : dimensions;
  m_step = 0;
  m_dimension = 0;
  m_column = 0;
  m_buf.reset(new (std::nothrow) wchar_t[kMaxText]);
  if (!m_buf) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return OpenCellReader(m_pReader, kMaxText, RoadVehicleDefSheetName);
}

int32_t CExcelReadRoadVehicleDef::Classes(int32_t row) {
  int32_t count = 0;
  while (count + 1 < kXlColumns) {
    if (m_pReader->ReadCell(row, count + 1, m_buf.get()) != 1) return -1;
    if (m_buf[0] == 0) break;
    ++count;
  }
  return count;
}

int32_t CExcelReadRoadVehicleDef::Read(wchar_t* line) {
  if (!m_pReader) return ReadBeforeOpen(1, 1, RoadVehicleDefSheetName);
  line[0] = 0;
  for (;;) {
    switch (m_step) {
      case 0:
        listtext::FormatCut(line, kLineSize, L"DIMENSION %d", static_cast<int>(m_dimensions));
        m_step = 1;
        m_dimension = 0;
        return 1;
      case 1: {
        if (m_dimension >= m_dimensions) {
          m_step = 2;
          break;
        }
        int32_t count = Classes(kFirstDimensionRow + m_dimension);
        if (count < 0) return -1;
        ++m_dimension;
        listtext::FormatCut(line, kLineSize, L"DIM%d %d", static_cast<int>(m_dimension), static_cast<int>(count));
        return 1;
      }
      case 2:
      case 3: {
        int32_t row = m_step == 2 ? 1 : 2;
        if (m_pReader->ReadCell(row, 1, m_buf.get()) != 1) return -1;
        listtext::FormatCut(line, kLineSize, m_step == 2 ? L"DIMSPEED %ls" : L"USEALTSPEED %ls", m_buf.get());
        ++m_step;
        m_dimension = 0;
        m_column = 0;
        return 1;
      }
      case 4: {
        if (m_dimension >= m_dimensions) {
          m_step = 5;
          break;
        }
        if (m_pReader->ReadCell(kFirstDimensionRow + m_dimension, m_column, m_buf.get()) != 1) return -1;
        if ((m_buf[0] == 0 && m_column > 0) || m_column >= kXlColumns) {
          ++m_dimension;
          m_column = 0;
          break;
        }
        if (m_column == 0) {
          listtext::FormatCut(line, kLineSize, L"HEADER%d %ls", static_cast<int>(m_dimension + 1), m_buf.get());
        } else {
          listtext::FormatCut(line, kLineSize, L"TEXT%d %ls", static_cast<int>(m_column), m_buf.get());
        }
        ++m_column;
        return 1;
      }
      default:
        return 0;
    }
  }
}

// ---------------------------------------------------------------- verifier

CExcelVerifyRoadVehicleDef::CExcelVerifyRoadVehicleDef() = default;
CExcelVerifyRoadVehicleDef::~CExcelVerifyRoadVehicleDef() = default;

int32_t CExcelVerifyRoadVehicleDef::Init(int32_t dimensions, IssueList& errors, IssueList& warnings) {
  std::unique_ptr<CSheetCellReader> reader;
  if (OpenCellReader(reader, CExcelReadRoadVehicleDef::kMaxText, RoadVehicleDefSheetName) != 1) return -1;
  std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[CExcelReadRoadVehicleDef::kMaxText]);
  if (!text) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  wchar_t message[kFieldFaultSize];
  for (int32_t d = 0; d < dimensions; ++d) {
    int32_t row = kFirstDimensionRow + d;
    for (int32_t column = 0; column < kXlColumns; ++column) {
      if (reader->ReadCell(row, column, text.get()) != 1) return -1;
      if (text[0] == 0) break;
      // Headers stand alone on their line; class texts are words of the
      // emission lines.
      FieldForm form = column == 0 ? FieldForm::kText : FieldForm::kWord;
      if (FieldFault(column == 0 ? L"Dimension" : L"Class text", text.get(), CExcelReadRoadVehicleDef::kMaxText, form,
                     message, kFieldFaultSize)) {
        errors.Add(RoadVehicleDefSheetName, row, column, L"%ls", message);
      }
    }
  }
  return 1;
}
