// The "Emission factor" sheet (see subgrp_sheet.h).
#include "workbook/subgrp_sheet.h"

#include <algorithm>
#include <cfloat>
#include <iterator>
#include <cstring>
#include <cwchar>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/cell_number.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"
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

  // Every used slot is written, wherever it stands among unused ones; a
  // substance that a group lists twice has no second place in the row.
  CRecordList written;
  for (int32_t i = 0; i < SubgrpSlots; ++i) {
    if (record.substance[i] == 0) continue;
    const wchar_t* name = m_pSubstances->NameOf(record.substance[i]);
    if (!name) {
      SetErrorText("Could not get substance %d", static_cast<int>(record.substance[i]));
      return -1;
    }
    if (written.Find(name) != -1) {
      SetErrorText("Substance group %s lists substance %s twice; the sheet holds one value per substance.",
                   Narrow(FieldText(record.name, SubgrpNameSize).c_str()).c_str(), Narrow(name).c_str());
      return -1;
    }
    if (!written.Add(name, i)) {
      SetErrorText("Could not allocate memory for buffer");
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
    FloatText(record.slope[i], text, 64);
    if (m_pWriter->WriteCell(row, column, text) != 1) return -1;
    FloatText(record.m[i], text, 64);
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
  // Every block position is looked at: a block after an empty heading, or a
  // substance headed twice, would lose or double its values.
  bool gap = false;
  for (int32_t block = 0; block <= SubgrpMaxBlocks; ++block) {
    int32_t column = BlockColumn(block);
    if (ReadCell(0, column) != 1) return -1;
    if (m_buf[0] == 0) {
      gap = true;
      continue;
    }
    if (block >= SubgrpMaxBlocks) {
      CellErrorText(kSheet, 0, column, L"To many substances are specified.");
      return -1;
    }
    if (gap) {
      CellErrorText(kSheet, 0, column, L"Substance block after an empty heading: %ls", m_buf);
      return -1;
    }
    int32_t index = substances.Find(m_buf);
    if (index < 0 || index > INT16_MAX) {
      CellErrorText(kSheet, 0, column, L"Could not get index for substance: %ls", m_buf);
      return -1;
    }
    for (int32_t earlier = 0; earlier < block; ++earlier) {
      if (m_blocks[earlier] == index) {
        CellErrorText(kSheet, 0, column, L"Substance %ls has a block already", m_buf);
        return -1;
      }
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
  if (!CellTextFits(kSheet, row, 0, L"Substance group name", m_buf, SubgrpNameSize, FieldForm::kQuoted)) return -1;
  CopyField(record->name, SubgrpNameSize, m_buf);
  if (ReadCell(row, 1) != 1) return -1;
  int32_t index = 0;
  if (!CellIndex(m_buf, INT32_MAX, &index)) {
    CellErrorText(kSheet, row, 1, L"Could not get index for substance group: %ls", record->name);
    return -1;
  }
  record->index = static_cast<uint32_t>(index);

  int32_t slot = 0;
  for (int32_t block = 0; block < m_blockCount; ++block) {
    int32_t column = BlockColumn(block);
    if (ReadCell(row, column) != 1) return -1;
    if (m_buf[0] == 0) continue;
    record->substance[slot] = m_blocks[block];
    for (int32_t part = 0; part < 2; ++part) {
      if (part == 1 && ReadCell(row, column + 1) != 1) return -1;
      // An empty m is 0.
      float* value = part == 0 ? &record->slope[slot] : &record->m[slot];
      if (m_buf[0] != 0 && !CellReal(m_buf, value)) {
        CellErrorText(kSheet, row, column + part, L"%ls value is not a real number of 32 bits: %ls",
                      part == 0 ? L"Slope" : L"m", m_buf);
        return -1;
      }
    }
    if (ReadCell(row, column + 2) != 1) return -1;
    if (!CellTextFits(kSheet, row, column + 2, L"Unit", m_buf, SubgrpUnitSize, FieldForm::kWord)) return -1;
    CopyField(record->unit[slot], SubgrpUnitSize, m_buf);
    ++slot;
  }
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifySubgrp::CExcelVerifySubgrp() = default;
CExcelVerifySubgrp::~CExcelVerifySubgrp() = default;

int32_t CExcelVerifySubgrp::ReadCell(int32_t row, int32_t column, wchar_t* text) {
  int32_t r = m_pReader->ReadCell(row, column, text);
  if (r == 0) m_pChecker->Errors().Add(kSheet, row, column, L"%ls", kUnreadableCell);
  return r < 0 ? -1 : 1;
}

int32_t CExcelVerifySubgrp::Init(const CRecordList& substances, const CRecordList& units, IssueList& errors,
                                 IssueList& warnings) {
  m_pUnits = &units;
  m_blockCount = 0;
  m_row = 1;
  std::fill(std::begin(m_headed), std::end(m_headed), false);
  m_pChecker.reset(new (std::nothrow) CCellChecker(kSheet, errors, warnings));
  if (!m_pChecker) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  if (OpenCellReader(m_pReader, kMaxText, kSheet) != 1) return -1;
  wchar_t text[kMaxText];
  CRecordList headed;
  bool gap = false;
  for (int32_t block = 0; block <= SubgrpMaxBlocks; ++block) {
    int32_t column = BlockColumn(block);
    if (ReadCell(0, column, text) != 1) return -1;
    if (text[0] == 0) {
      gap = true;
      continue;
    }
    if (block >= SubgrpMaxBlocks) {
      errors.Add(kSheet, 0, column, L"Too many substances. Maximum is %d.", static_cast<int>(SubgrpSlots));
      break;
    }
    m_blockCount = block + 1;
    m_headed[block] = true;
    if (gap) errors.Add(kSheet, 0, column, L"Substance block after an empty heading: %ls", text);
    if (substances.Find(text) == -1) errors.Add(kSheet, 0, column, L"Unknown substance: %ls", text);
    if (headed.Find(text) != -1) {
      errors.Add(kSheet, 0, column, L"Substance %ls has a block already", text);
    } else if (!headed.Add(text, column)) {
      SetErrorText("Could not allocate memory for buffer");
      return -1;
    }
    if (ReadCell(0, column + 1, text) != 1) return -1;
    if (wcscmp(text, L"m") != 0) warnings.Add(kSheet, 0, column + 1, L"Label should be \"m\", not \"%ls\"", text);
    if (ReadCell(0, column + 2, text) != 1) return -1;
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
    if (ReadCell(row, 0, slope) != 1) return -1;
    if (slope[0] == 0) return 1;
    m_pChecker->CheckText(row, 0, L"Substance group name", slope, SubgrpNameSize, FieldForm::kQuoted);
    int32_t substances = 0;
    for (int32_t block = 0; block < m_blockCount; ++block) {
      if (!m_headed[block]) continue;
      int32_t column = BlockColumn(block);
      if (ReadCell(row, column, slope) != 1 || ReadCell(row, column + 1, m) != 1 ||
          ReadCell(row, column + 2, unit) != 1) {
        return -1;
      }
      bool hasSlope = slope[0] != 0;
      if (hasSlope) {
        ++substances;
        m_pChecker->CheckFloat(row, column, L"Slope", slope, 0, FLT_MAX);
        m_pChecker->CheckFloat(row, column + 1, L"m", m, 0, FLT_MAX);
        if (unit[0] == 0) {
          warnings.Add(kSheet, row, column + 2, L"Missing unit");
        } else if (m_pChecker->CheckText(row, column + 2, L"Unit", unit, SubgrpUnitSize, FieldForm::kWord) == 1 &&
                   m_pUnits->Find(unit) == -1) {
          errors.Add(kSheet, row, column + 2, L"Unknown unit: \"%ls\"", unit);
        }
      } else {
        if (m[0] != 0) warnings.Add(kSheet, row, column + 1, L"m without emission");
        if (unit[0] != 0) warnings.Add(kSheet, row, column + 2, L"Unit without emission");
      }
    }
    if (substances == 0) warnings.Add(kSheet, row, -1, L"No substances defined");
  }
}
