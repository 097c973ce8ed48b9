// The "Company" and "Facility" sheets: one company or facility per row from
// row 1, ending at the first row without a name.
//
// Company: A name, B company ID, C..H info, info2, address, postal address,
// supplementary info, miscellaneous, I the attribute text (ALOB).
// Facility: A name, B X, C Y, D the company's name (empty: none), E..J the
// six texts as on the company sheet, K the ALOB.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "catalogue/record_list_key.h"
#include "host/issue_list.h"
#include "records/alob.h"
#include "records/company.h"
#include "records/facility.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_cell_reader.h"
#include "workbook/sheet_cell_writer.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

constexpr const wchar_t* CompanySheetName = L"Company";
constexpr const wchar_t* FacilitySheetName = L"Facility";

// The row layout of one of the two sheets and the access that writer,
// reader and verifier share.
class CCompanySheetRows {
 public:
  static constexpr int32_t kMaxColumns = 10;
  static constexpr int32_t kMaxText = 256;
  static constexpr int32_t kWriteSize = 64;

  explicit CCompanySheetRows(bool facility);
  ~CCompanySheetRows();
  CCompanySheetRows(const CCompanySheetRows&) = delete;
  CCompanySheetRows& operator=(const CCompanySheetRows&) = delete;

  const wchar_t* Sheet() const;
  int32_t Columns() const { return m_columns; }
  int32_t AlobColumn() const { return m_columns; }
  // Column of the first of the six texts (info .. misc).
  int32_t TextColumn() const { return m_columns - 6; }

  // Opens the row writer and the ALOB cell writer; 1 or -1.
  int32_t OpenWriter();
  // Writes texts[0 .. Columns() - 1] into the next row and the ALOB beside
  // them; 1 or -1.
  int32_t WriteRow(const wchar_t* const* texts, const wchar_t* alob);

  // Opens the row reader and the ALOB cell reader: 1; 0 when the sheet is
  // missing; -1.
  int32_t OpenReader();
  // Reads the next row into Cell(0 .. Columns() - 1) and its ALOB: 1, 0 with
  // unreadable cells (their columns in Unreadable(), the ALOB's as
  // AlobColumn()), or -1.
  int32_t ReadRow();
  int32_t Row() const { return m_row; }
  const wchar_t* Cell(int32_t c) const { return m_texts[c]; }
  const wchar_t* Alob() const { return m_alob.get(); }
  const std::set<int32_t>& Unreadable() const { return m_unreadable; }

 private:
  bool m_facility;
  int32_t m_columns;
  int32_t m_row = 1;
  std::unique_ptr<CSheetRowWriter> m_pRowWriter;
  std::unique_ptr<CSheetCellWriter> m_pCellWriter;
  std::unique_ptr<CSheetRowReader> m_pRowReader;
  std::unique_ptr<CSheetCellReader> m_pCellReader;
  wchar_t m_buf[kMaxColumns][kMaxText];
  wchar_t* m_texts[kMaxColumns];
  std::unique_ptr<wchar_t[]> m_alob;
  std::set<int32_t> m_unreadable;
};

class CExcelWriteCompany {
 public:
  CExcelWriteCompany();
  ~CExcelWriteCompany();
  // 1 or -1.
  int32_t Init();
  // The record into the next row; -1 when a write fails or the ALOB is
  // longer than a cell holds.
  int32_t Write(const CompanyRec& record, const Alob* alob);

 private:
  CCompanySheetRows m_rows{false};
};

class CExcelWriteFacility {
 public:
  CExcelWriteFacility();
  ~CExcelWriteFacility();
  // 1 or -1.
  int32_t Init(CRecordListKey& companies);
  // The record into the next row, its company by name; -1 with "Could not
  // get company %ls" when the list has no answer for the company ID.
  int32_t Write(const FacilityRec& record, const Alob* alob);

 private:
  CCompanySheetRows m_rows{true};
  CRecordListKey* m_pCompanies = nullptr;
};

class CExcelReadCompany {
 public:
  CExcelReadCompany();
  ~CExcelReadCompany();
  // 1, 0 (no "Company" sheet) or -1.
  int32_t Init();
  // The next row: 1; 0 at a row without a name; -1 for a cell the record
  // cannot carry (ErrorText names sheet and cell).
  int32_t Read(CompanyRec* record, Alob* alob);

 private:
  CCompanySheetRows m_rows{false};
};

class CExcelReadFacility {
 public:
  CExcelReadFacility();
  ~CExcelReadFacility();
  // 1, 0 (no "Facility" sheet) or -1.
  int32_t Init(const CRecordListKey& companies);
  // As CExcelReadCompany::Read; an unknown company name gives "Could not get
  // key for company: %ls" with the cell's place.
  int32_t Read(FacilityRec* record, Alob* alob);

 private:
  CCompanySheetRows m_rows{true};
  const CRecordListKey* m_pCompanies = nullptr;
};

class CExcelVerifyCompany {
 public:
  CExcelVerifyCompany();
  ~CExcelVerifyCompany();
  // 1, 0 (no "Company" sheet) or -1.
  int32_t Init(IssueList& errors, IssueList& warnings);
  // Checks every row up to the first without a name; 1, or -1 when a read
  // fails.
  int32_t VerifyRec();

 private:
  CCompanySheetRows m_rows{false};
  std::unique_ptr<CCellChecker> m_pChecker;
  std::set<std::wstring> m_ids;
};

class CExcelVerifyFacility {
 public:
  CExcelVerifyFacility();
  ~CExcelVerifyFacility();
  // 1, 0 (no "Facility" sheet) or -1.
  int32_t Init(const CRecordListKey& companies, IssueList& errors, IssueList& warnings);
  // As CExcelVerifyCompany::VerifyRec.
  int32_t VerifyRec();

 private:
  CCompanySheetRows m_rows{true};
  const CRecordListKey* m_pCompanies = nullptr;
  std::unique_ptr<CCellChecker> m_pChecker;
  std::set<std::pair<uint32_t, uint32_t>> m_places;
};
