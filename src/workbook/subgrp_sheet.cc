// The "Emission factor" sheet (see subgrp_sheet.h).
#include "workbook/subgrp_sheet.h"

#include <cfloat>
#include <cstring>
#include <cwchar>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/ref_values.h"
#include "workbook/sheet_open.h"

namespace {

const wchar_t* const kSheet = L"Emission factor";
constexpr int32_t kFirstBlockColumn = 2;
constexpr int32_t kBlockColumns = 3;

int32_t BlockColumn(int32_t block) { return kFirstBlockColumn + kBlockColumns * block; }

}  // namespace

// ---------------------------------------------------------------- writer

CExcelWriteSubgrp::CExcelWriteSubgrp() = default;
CExcelWriteSubgrp::~CExcelWriteSubgrp() = default;

int32_t CExcelWriteSubgrp::Init(const CRecordList& substances) {
  m_pSubstances = &substances;
  m_blocks.Clear();
  m_nextColumn = kFirstBlockColumn;
  m_row = 1;
  return OpenCellWriter(m_pWriter, 256, kSheet);
}

int32_t CExcelWriteSubgrp::Write(const SubgrpRec& record) {
  if (!m_pWriter || !m_pSubstances) return WriteBeforeOpen(m_row, 0);
  int32_t row = m_row++;
  wchar_t text[64];
  if (m_pWriter->WriteCell(row, 0, FieldText(record.name, SubgrpNameSize).c_str()) != 1) return -1;
  listtext::FormatCut(text, 64, L"%lu", static_cast<unsigned long>(record.index));
  if (m_pWriter->WriteCell(row, 1, text) != 1) return -1;

  for (int32_t i = 0; i < SubgrpSlots && record.substance[i] != 0; ++i) {
    const wchar_t* name = m_pSubstances->NameOf(record.substance[i]);
    if (!name) {
      SetErrorText("Could not get substance %d", static_cast<int>(record.substance[i]));
      return -1;
    }
    int32_t column = m_blocks.Find(name);
    if (column == -1) {
      column = m_nextColumn;
      if (!m_blocks.Add(name, column)) {
        SetErrorText("Could not allocate memory for buffer");
        return -1;
      }
      m_nextColumn += kBlockColumns;
      if (m_pWriter->WriteCell(0, column, name) != 1 || m_pWriter->WriteCell(0, column + 1, L"m") != 1 ||
          m_pWriter->WriteCell(0, column + 2, L"Unit") != 1) {
        return -1;
      }
    }
    listtext::FormatCut(text, 64, L"%.6g", static_cast<double>(record.slope[i]));
    if (m_pWriter->WriteCell(row, column, text) != 1) return -1;
    listtext::FormatCut(text, 64, L"%.6g", static_cast<double>(record.m[i]));
    if (m_pWriter->WriteCell(row, column + 1, text) != 1) return -1;
    if (m_pWriter->WriteCell(row, column + 2, FieldText(record.unit[i], SubgrpUnitSize).c_str()) != 1) return -1;
  }
  return 1;
}

// ---------------------------------------------------------------- reader

CExcelReadSubgrp::CExcelReadSubgrp() = default;
CExcelReadSubgrp::~CExcelReadSubgrp() = default;

int32_t CExcelReadSubgrp::ReadCell(int32_t row, int32_t column) {
  m_buf[0] = 0;
  return m_pReader->ReadCell(row, column, m_buf) == 1 ? 1 : -1;
}

int32_t CExcelReadSubgrp::Init(const CRecordList& substances) {
  m_blockCount = 0;
  m_row = 1;
  if (OpenCellReader(m_pReader, kMaxText, kSheet) != 1) return -1;
  for (int32_t block = 0;; ++block) {
    if (ReadCell(0, BlockColumn(block)) != 1) return -1;
    if (m_buf[0] == 0) break;
    if (block >= SubgrpMaxBlocks) {
      SetErrorText("To many substances are specified.");
      return -1;
    }
    int32_t index = substances.Find(m_buf);
    if (index < 0 || index > INT16_MAX) {
      SetErrorText("Could not get index for substance: %s (row %d).", Narrow(m_buf).c_str(), 0);
      return -1;
    }
    m_blocks[block] = static_cast<int16_t>(index);
    m_blockCount = block + 1;
  }
  return 1;
}

int32_t CExcelReadSubgrp::Read(SubgrpRec* record) {
  std::memset(record, 0, sizeof *record);
  if (!m_pReader) return 0;
  int32_t row = m_row;
  if (ReadCell(row, 0) != 1) return -1;
  if (m_buf[0] == 0) return 0;
  ++m_row;
  std::string name = Narrow(m_buf);
  if (!CopyField(record->name, SubgrpNameSize, m_buf)) {
    SetErrorText("Emission factor name can only be %d characters: %s (row %d).",
                 static_cast<int>(SubgrpNameSize - 1), name.c_str(), static_cast<int>(row));
    return -1;
  }
  if (ReadCell(row, 1) != 1) return -1;
  int32_t index = 0;
  if (!CellIndex(m_buf, INT32_MAX, &index)) {
    SetErrorText("Could not get index for substance group: %s (row %d).", name.c_str(), static_cast<int>(row));
    return -1;
  }
  record->index = static_cast<uint32_t>(index);

  int32_t slot = 0;
  for (int32_t block = 0; block < m_blockCount; ++block) {
    int32_t column = BlockColumn(block);
    if (ReadCell(row, column) != 1) return -1;
    if (m_buf[0] == 0) continue;
    record->substance[slot] = m_blocks[block];
    record->slope[slot] = CellFloat(m_buf);
    if (ReadCell(row, column + 1) != 1) return -1;
    record->m[slot] = CellFloat(m_buf);
    if (ReadCell(row, column + 2) != 1) return -1;
    if (!CopyField(record->unit[slot], SubgrpUnitSize, m_buf)) {
      SetErrorText("To long unit for substance group: %s (row %d). Max is %d", name.c_str(), static_cast<int>(row),
                   static_cast<int>(SubgrpUnitSize - 1));
      return -1;
    }
    ++slot;
  }
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifySubgrp::CExcelVerifySubgrp() = default;
CExcelVerifySubgrp::~CExcelVerifySubgrp() = default;

int32_t CExcelVerifySubgrp::Init(const CRecordList& substances, const CRecordList& units, IssueList& errors,
                                 IssueList& warnings) {
  m_pUnits = &units;
  m_blockCount = 0;
  m_row = 1;
  m_pChecker.reset(new (std::nothrow) CCellChecker(kSheet, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (OpenCellReader(m_pReader, kMaxText, kSheet) != 1) return -1;
  wchar_t text[kMaxText];
  for (int32_t block = 0;; ++block) {
    int32_t column = BlockColumn(block);
    if (m_pReader->ReadCell(0, column, text) != 1) return -1;
    if (text[0] == 0) break;
    if (block >= SubgrpMaxBlocks) {
      errors.Add(kSheet, 0, column, L"Too many substances. Maximum is %d.", static_cast<int>(SubgrpSlots));
      break;
    }
    m_blockCount = block + 1;
    if (substances.Find(text) == -1) errors.Add(kSheet, 0, column, L"Unknown substance: %ls", text);
    if (m_pReader->ReadCell(0, column + 1, text) != 1) return -1;
    if (wcscmp(text, L"m") != 0) warnings.Add(kSheet, 0, column + 1, L"Label should be \"m\", not \"%ls\"", text);
    if (m_pReader->ReadCell(0, column + 2, text) != 1) return -1;
    if (wcscmp(text, L"Unit") != 0) {
      warnings.Add(kSheet, 0, column + 2, L"Label should be \"Unit\", not \"%ls\"", text);
    }
  }
  return 1;
}

int32_t CExcelVerifySubgrp::VerifyRec() {
  if (!m_pReader || !m_pChecker || !m_pUnits) return ReadBeforeOpen(m_row, 0, kSheet);
  IssueList& errors = m_pChecker->Errors();
  IssueList& warnings = m_pChecker->Warnings();
  wchar_t slope[kMaxText];
  wchar_t m[kMaxText];
  wchar_t unit[kMaxText];
  for (;; ++m_row) {
    int32_t row = m_row;
    if (m_pReader->ReadCell(row, 0, slope) != 1) return -1;
    if (slope[0] == 0) return 1;
    int32_t substances = 0;
    for (int32_t block = 0; block < m_blockCount; ++block) {
      int32_t column = BlockColumn(block);
      if (m_pReader->ReadCell(row, column, slope) != 1 || m_pReader->ReadCell(row, column + 1, m) != 1 ||
          m_pReader->ReadCell(row, column + 2, unit) != 1) {
        return -1;
      }
      bool hasSlope = slope[0] != 0;
      if (hasSlope) {
        ++substances;
        m_pChecker->CheckFloat(row, column, L"Slope", slope, 0, FLT_MAX);
        m_pChecker->CheckFloat(row, column + 1, L"m", m, 0, FLT_MAX);
        if (unit[0] == 0) {
          warnings.Add(kSheet, row, column + 2, L"Missing unit");
        } else if (m_pUnits->Find(unit) == -1) {
          errors.Add(kSheet, row, column + 2, L"Unknown unit: \"%ls\"", unit);
        } else {
          m_pChecker->CheckStrLen(row, column + 2, L"Unit", unit, static_cast<int32_t>(SubgrpUnitSize));
        }
      } else {
        if (m[0] != 0) warnings.Add(kSheet, row, column + 1, L"m without emission");
        if (unit[0] != 0) warnings.Add(kSheet, row, column + 2, L"Unit without emission");
      }
    }
    if (substances == 0) warnings.Add(kSheet, row, -1, L"No substances defined");
  }
}
