// The "Emission function" sheet (see emfac_sheet.h).
#include "workbook/emfac_sheet.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "catalogue/list_text.h"
#include "host/frame.h"
#include "records/record_io.h"
#include "transport/latin1.h"
#include "workbook/cell_text.h"
#include "workbook/field_rule.h"
#include "workbook/ref_values.h"
#include "workbook/sheet_open.h"

namespace {

const wchar_t* const kSheet = L"Emission function";
constexpr int32_t kSubstanceColumn = 2;
constexpr int32_t kFormulaColumn = 3;
constexpr int32_t kFirstVariableColumn = 4;

int32_t NameColumn(int32_t variable) { return kFirstVariableColumn + 2 * variable; }

}  // namespace

// ---------------------------------------------------------------- writer

CExcelWriteEmfac::CExcelWriteEmfac() = default;
CExcelWriteEmfac::~CExcelWriteEmfac() = default;

int32_t CExcelWriteEmfac::Init(const CRecordList& substances) {
  m_pSubstances = &substances;
  m_row = 1;
  return OpenCellWriter(m_pWriter, static_cast<int32_t>(EmfacFormulaSize), kSheet);
}

int32_t CExcelWriteEmfac::Write(const EmfacRec& record) {
  if (!m_pWriter || !m_pSubstances) return WriteBeforeOpen(m_row, 0);
  int32_t row = m_row++;
  const wchar_t* substance = m_pSubstances->NameOf(record.substance);
  if (!substance) {
    SetErrorText("Could not get substance %d", static_cast<int>(record.substance));
    return -1;
  }
  wchar_t index[32];
  listtext::FormatCut(index, 32, L"%lu", static_cast<unsigned long>(record.index));
  if (m_pWriter->WriteCell(row, 0, FieldText(record.name, EmfacNameSize).c_str()) != 1 ||
      m_pWriter->WriteCell(row, 1, index) != 1 || m_pWriter->WriteCell(row, kSubstanceColumn, substance) != 1 ||
      m_pWriter->WriteCell(row, kFormulaColumn, FieldText(record.formula, EmfacFormulaSize).c_str()) != 1) {
    return -1;
  }
  int32_t count = record.novariable < 0 ? 0 : record.novariable;
  if (count > EmfacMaxVariables) count = EmfacMaxVariables;
  for (int32_t i = 0; i < count; ++i) {
    int32_t column = NameColumn(i);
    if (m_pWriter->WriteCell(row, column, FieldText(record.varname[i], EmfacVarNameSize).c_str()) != 1 ||
        m_pWriter->WriteCell(row, column + 1, record.varconst[i] ? L"CONST" : L"VAR") != 1) {
      return -1;
    }
  }
  return 1;
}

// ---------------------------------------------------------------- reader

CExcelReadEmfac::CExcelReadEmfac() = default;
CExcelReadEmfac::~CExcelReadEmfac() = default;

int32_t CExcelReadEmfac::ReadCell(int32_t row, int32_t column) {
  m_buf[0] = 0;
  return m_pReader->ReadCell(row, column, m_buf.get()) == 1 ? 1 : -1;
}

int32_t CExcelReadEmfac::Init(const CRecordList& substances) {
  m_pSubstances = &substances;
  m_row = 1;
  m_buf.reset(new (std::nothrow) wchar_t[kMaxText]);
  if (!m_buf) {
    SetErrorText("Could not allocate memory for buf");
    return -1;
  }
  m_buf[0] = 0;
  return OpenCellReader(m_pReader, kMaxText, kSheet, "Could not allocate memory for buf");
}

int32_t CExcelReadEmfac::Read(EmfacRec* record) {
  std::memset(record, 0, sizeof *record);
  if (!m_pReader || !m_pSubstances) return 0;
  int32_t row = m_row;
  if (ReadCell(row, 0) != 1) return -1;
  if (m_buf[0] == 0) return 0;
  ++m_row;
  const wchar_t* text = m_buf.get();
  if (!CellTextFits(kSheet, row, 0, L"Emission function name", text, EmfacNameSize, FieldForm::kQuoted)) return -1;
  CopyField(record->name, EmfacNameSize, text);
  if (ReadCell(row, 1) != 1) return -1;
  int32_t index = 0;
  if (!CellIndex(text, INT32_MAX, &index)) {
    CellErrorText(kSheet, row, 1, L"Could not get index for emission factor: %ls", record->name);
    return -1;
  }
  record->index = static_cast<uint32_t>(index);
  if (ReadCell(row, kSubstanceColumn) != 1) return -1;
  record->substance = m_pSubstances->Find(text);
  if (record->substance == -1) {
    CellErrorText(kSheet, row, kSubstanceColumn, L"Could not get index for substance: %ls", text);
    return -1;
  }
  if (ReadCell(row, kFormulaColumn) != 1) return -1;
  if (!CellTextFits(kSheet, row, kFormulaColumn, L"Formula", text, EmfacFormulaSize, FieldForm::kText)) return -1;
  CopyField(record->formula, EmfacFormulaSize, text);
  for (int32_t i = 0; i < EmfacMaxVariables; ++i) {
    int32_t column = NameColumn(i);
    if (ReadCell(row, column) != 1) return -1;
    if (m_buf[0] == 0) break;
    if (!CellTextFits(kSheet, row, column, L"Variable name", text, EmfacVarNameSize, FieldForm::kUnpadded)) return -1;
    CopyField(record->varname[i], EmfacVarNameSize, text);
    if (ReadCell(row, column + 1) != 1) return -1;
    record->varconst[i] = wcscmp(text, L"VAR") == 0 ? 0 : 1;
    record->novariable = i + 1;
  }
  return 1;
}

// ---------------------------------------------------------------- verifier

CExcelVerifyEmfac::CExcelVerifyEmfac() = default;
CExcelVerifyEmfac::~CExcelVerifyEmfac() = default;

int32_t CExcelVerifyEmfac::Init(const CRecordList& substances, IssueList& errors, IssueList& warnings) {
  m_pSubstances = &substances;
  m_row = 1;
  m_pChecker.reset(new (std::nothrow) CCellChecker(kSheet, errors, warnings));
  m_texts.reset(new (std::nothrow) wchar_t[4 * static_cast<size_t>(kMaxText)]);
  if (!m_pChecker || !m_texts) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return OpenCellReader(m_pReader, kMaxText, kSheet);
}

int32_t CExcelVerifyEmfac::ReadCell(int32_t row, int32_t column, wchar_t* text) {
  int32_t r = m_pReader->ReadCell(row, column, text);
  if (r == 0) m_pChecker->Errors().Add(kSheet, row, column, L"%ls", kUnreadableCell);
  return r;
}

int32_t CExcelVerifyEmfac::VerifyRec() {
  if (!m_pReader || !m_pChecker || !m_pSubstances || !m_texts) return ReadBeforeOpen(m_row, 0, kSheet);
  IssueList& errors = m_pChecker->Errors();
  wchar_t* name = m_texts.get();
  wchar_t* text = name + kMaxText;
  wchar_t* type = text + kMaxText;
  wchar_t* formula = type + kMaxText;
  for (;; ++m_row) {
    int32_t row = m_row;
    if (ReadCell(row, 0, name) < 0) return -1;
    if (name[0] == 0) return 1;
    m_pChecker->CheckText(row, 0, L"Emission function name", name, EmfacNameSize, FieldForm::kQuoted);
    // A cell that could not be read is reported once, by ReadCell.
    int32_t r = ReadCell(row, kSubstanceColumn, text);
    if (r < 0) return -1;
    if (r == 1 && m_pSubstances->Find(text) == -1) {
      errors.Add(kSheet, row, kSubstanceColumn, L"Unknown substance: %ls", text);
    }
    r = ReadCell(row, kFormulaColumn, formula);
    if (r < 0) return -1;
    if (r == 1 && formula[0] == 0) {
      errors.Add(kSheet, row, kFormulaColumn, L"Empty formula: \"%ls\"", name);
    } else if (r == 1) {
      m_pChecker->CheckText(row, kFormulaColumn, L"Formula", formula, EmfacFormulaSize, FieldForm::kText);
    }

    // Variables are read up to the first empty name: every pair after a gap
    // must stay empty, and a record holds no more than its variables.
    bool gap = false;
    for (int32_t i = 0; i < kPairs; ++i) {
      int32_t column = NameColumn(i);
      if (ReadCell(row, column, text) < 0 || ReadCell(row, column + 1, type) < 0) return -1;
      bool filled = text[0] != 0;
      if (filled && wcslen(text) >= EmfacVarNameSize) {
        errors.Add(kSheet, row, column, L"Description must be shoter than %d characters: \"%ls\"",
                   static_cast<int>(EmfacVarNameSize), text);
      } else if (filled) {
        m_pChecker->CheckText(row, column, L"Variable name", text, EmfacVarNameSize, FieldForm::kUnpadded);
      }
      if (filled && gap) {
        errors.Add(kSheet, row, column, L"Variable should be empty: \"%ls\"", text);
      } else if (filled && i == EmfacMaxVariables) {
        errors.Add(kSheet, row, column, L"Too many variables. Maximum is %d.", static_cast<int>(EmfacMaxVariables));
      }
      if (!filled || gap) {
        if (type[0] != 0) errors.Add(kSheet, row, column + 1, L"Type should be empty: \"%ls\"", type);
      } else if (wcscmp(type, L"CONST") != 0 && wcscmp(type, L"VAR") != 0) {
        errors.Add(kSheet, row, column + 1, L"Type must be CONST or VAR: \"%ls\"", type);
      }
      if (!filled) gap = true;
    }
  }
}
