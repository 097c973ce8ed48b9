// The "Roadtype" sheet: a roadtype holds 1 to 10 vehicles, each on 4 rows.
// A vehicle's first row carries the roadtype's name (A) and index (B) on the
// roadtype's first vehicle only, the vehicle (C), the min and max speed
// names (D, E), the Monday-to-Thursday hours (F..AC), 12 months (AD..AO) and
// 10 scenarios (AP..AY); its next three rows carry the Friday, Saturday and
// Sunday hours in F..AC.  Row 0 names the scenarios above their columns.  A
// filled A starts the next roadtype; an empty C ends the roadtype and the
// data.  An hourly value is a number, or a number and a code joined by a
// colon (120:2).
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/record_list.h"
#include "host/issue_list.h"
#include "records/roadtype.h"
#include "workbook/cell_checker.h"
#include "workbook/sheet_row_reader.h"
#include "workbook/sheet_row_writer.h"

constexpr const wchar_t* RoadtypeSheetName = L"Roadtype";

class CExcelWriteRoadtype {
 public:
  CExcelWriteRoadtype();
  ~CExcelWriteRoadtype();
  CExcelWriteRoadtype(const CExcelWriteRoadtype&) = delete;
  CExcelWriteRoadtype& operator=(const CExcelWriteRoadtype&) = delete;

  // Names the scenarios in row 0 ("Could not get scenario %d"); 1 or -1.
  int32_t Init(const CRecordList& vehicles, const CRecordList& speeds, const CRecordList& scenarios);
  // The record's vehicles, 4 rows each; -1 with "Could not get vehicle %d",
  // "Could not get min speed %d", "Could not get max speed %d", or for a
  // roadtype without vehicles, which the sheet cannot show.
  int32_t Write(const RoadtypeRec& record);

 private:
  static constexpr int32_t kFirstColumns = 51;
  static constexpr int32_t kNextColumns = 24;
  static constexpr int32_t kTextSize = 32;

  std::unique_ptr<CSheetRowWriter> m_pFirst;
  std::unique_ptr<CSheetRowWriter> m_pNext;
  const CRecordList* m_pVehicles = nullptr;
  const CRecordList* m_pSpeeds = nullptr;
  wchar_t m_first[kFirstColumns][kTextSize];
  wchar_t m_next[kNextColumns][kTextSize];
};

// The two row readers that reader and verifier share, and the vehicle's
// first row, which may be read before it is known to start the next
// roadtype.
class CRoadtypeSheetRows {
 public:
  static constexpr int32_t kFirstColumns = 51;
  static constexpr int32_t kNextColumns = 24;
  static constexpr int32_t kMaxText = 64;

  CRoadtypeSheetRows();
  ~CRoadtypeSheetRows();
  // 1 or -1 (a missing sheet included).
  int32_t Open();
  // The next vehicle's first row (read once, kept until Take); 1 or -1.
  int32_t Peek();
  // Row of the vehicle's first row.
  int32_t Row() const { return m_row; }
  const wchar_t* First(int32_t c) const { return m_first[c]; }
  // Takes the peeked vehicle: reads its Friday, Saturday and Sunday rows one
  // per NextDay call (Day(j) is column 5 + j) after the first; 1 or -1.
  int32_t Take();
  int32_t NextDay();
  const wchar_t* Day(int32_t j) const { return m_next[j]; }
  // Passes the row after the Sunday row; 1 or -1.
  int32_t EndVehicle();

 private:
  std::unique_ptr<CSheetRowReader> m_pFirst;
  std::unique_ptr<CSheetRowReader> m_pNext;
  wchar_t m_first[kFirstColumns][kMaxText];
  wchar_t m_next[kNextColumns][kMaxText];
  wchar_t* m_firstTexts[kFirstColumns];
  wchar_t* m_nextTexts[kNextColumns];
  bool m_peeked = false;
  int32_t m_row = 1;
};

class CExcelReadRoadtype {
 public:
  CExcelReadRoadtype();
  ~CExcelReadRoadtype();
  CExcelReadRoadtype(const CExcelReadRoadtype&) = delete;
  CExcelReadRoadtype& operator=(const CExcelReadRoadtype&) = delete;

  // 1 or -1.
  int32_t Init(const CRecordList& vehicles, const CRecordList& speeds);
  // The next roadtype: 1; 0 when the data has ended; -1 for a cell the
  // record cannot carry ("Could not get index for roadtype: %ls", "Could
  // not get index for vehicle: %ls", "Could not get index for min speed:
  // %ls", "Could not get index for max speed: %ls", "To many vehicles
  // specified", a value that does not fit), with the cell named.
  int32_t Read(RoadtypeRec* record);

 private:
  int32_t ReadVehicle(RoadtypeRec* record, int32_t k);

  CRoadtypeSheetRows m_rows;
  const CRecordList* m_pVehicles = nullptr;
  const CRecordList* m_pSpeeds = nullptr;
};

class CExcelVerifyRoadtype {
 public:
  CExcelVerifyRoadtype();
  ~CExcelVerifyRoadtype();
  CExcelVerifyRoadtype(const CExcelVerifyRoadtype&) = delete;
  CExcelVerifyRoadtype& operator=(const CExcelVerifyRoadtype&) = delete;

  // 1, or -1 (a missing sheet included).
  int32_t Init(const CRecordList& vehicles, const CRecordList& speeds, IssueList& errors, IssueList& warnings);
  // Checks one roadtype: 1 done, 0 the data ended (or a roadtype had more
  // than 10 vehicles, which ends the check of the sheet), -1 when a read
  // fails.
  int32_t VerifyRec();

 private:
  // An hourly cell: a number in [0,max], or number:code with the number in
  // [0,maxBeforeColon] and the code in [0,3].
  void CheckHour(int32_t row, int32_t column, const wchar_t* label, const wchar_t* text, uint32_t maxBeforeColon);

  CRoadtypeSheetRows m_rows;
  const CRecordList* m_pVehicles = nullptr;
  const CRecordList* m_pSpeeds = nullptr;
  std::unique_ptr<CCellChecker> m_pChecker;
};
