// The fixture of the verification tests: a clean workbook of every sheet the
// update reads, and the process-wide lists emptied around each test.
#pragma once

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "port/xlcall.h"
#include "workbook/sheet_fixture.h"

class VerificationTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    ResetState();
    for (const wchar_t* name : kSheets) AddSheet(name);
    Put(L"Substance", 0, 0, L"Index");
    Put(L"Substance", 0, 1, L"Substance");
    for (const wchar_t* name : {L"Emission factor", L"Emission function", L"Vehicle", L"Road Vehicle",
                                L"Roadtype", L"Source timevar", L"Road timevar"}) {
      Put(name, 0, 0, L"Name");
      Put(name, 0, 1, L"Index");
    }
  }
  void TearDown() override {
    ResetState();
    SheetTest::TearDown();
  }

  static void ResetState() {
    ErrorList.Clear();
    WarningList.Clear();
    for (CRecordList& list : SubLists) list.Clear();
    for (CRecordList* list : {&EmfacList, &SourceTimevarList, &RoadTimevarList, &SubgrpList, &VehicleList,
                              &RoadVehicleList, &RoadtypeList, &SpeedList, &TemperatureList, &ScenarioList,
                              &UnitSubList, &UnitSubGrpList, &UnitSubGrpEmList}) {
      list->Clear();
    }
    RoadVehicleDef.Free();
    CompanyList.Clear();
    FacilityList.Clear();
  }

  using SheetTest::Put;  // a row of texts from a column on
  void Put(const wchar_t* sheet, RW row, COL column, const std::wstring& text) {
    ASSERT_TRUE(host.Book().SetCell(sheet, row, column, sheethost::Cell::Str(text))) << row << "," << column;
  }
  // A name in column A and its index as a number in column B.
  void PutNamed(const wchar_t* sheet, RW row, const std::wstring& name, double index) {
    Put(sheet, row, 0, name);
    PutNum(sheet, row, 1, index);
  }

  // A well-formed time variation at record k (rows 4k - 3 .. 4k).
  void PutTimevar(const wchar_t* sheet, int k, const std::wstring& name, int index) {
    RW row = 4 * k - 3;
    Put(sheet, row, 0, name);
    PutNum(sheet, row, 1, index);
    for (COL c = 2; c < 26; ++c) Put(sheet, row, c, L"100");
    for (COL c = 26; c < 38; ++c) PutNum(sheet, row, c, 100);
    for (COL c = 38; c < 48; ++c) PutNum(sheet, row, c, 1);
    for (RW day = 1; day <= 3; ++day) {
      for (COL c = 2; c < 26; ++c) Put(sheet, row + day, c, L"100:1");
    }
  }

  static std::vector<std::wstring> ErrorLines() { return Lines(ErrorList); }
  static std::vector<std::wstring> WarningLines() { return Lines(WarningList); }

  // The lines of the diagnostic log (level 1) written while `run` ran that
  // `keep` keeps, each ending in "\n".
  static std::string Logged(const std::function<void()>& run, const std::function<bool(const std::string&)>& keep) {
    std::string path = ::testing::TempDir() + "verification_log.txt";
    EXPECT_TRUE(OpenDebugLog(path.c_str()));
    DebugLevel = 1;
    run();
    DebugLevel = 0;
    CloseDebugLog();
    std::ifstream in(path);
    std::string line, kept;
    while (std::getline(in, line)) {
      if (keep(line)) kept += line + "\n";
    }
    std::remove(path.c_str());
    return kept;
  }

  static constexpr const wchar_t* kSheets[] = {
      L"Substance",      L"Searchkey",         L"Source timevar", L"Road timevar", L"Emission factor",
      L"Emission function", L"Speed-Temp-Scen", L"Units",       L"Vehicle",      L"Road Vehicle Def.",
      L"Road Vehicle",   L"Roadtype",          L"Company",        L"Facility"};
};

using IssueLines = std::vector<std::wstring>;
