// Every reference kind and the EDB resources, loaded into a substitute
// workbook through VORKABCOM.dll, saved back to the server and loaded again
// into an empty workbook: the second workbook must equal the first.  The
// traffic kinds (vehicles, the road-vehicle definition, road vehicles and
// roadtypes), companies, facilities, sources and roads travel with them; two
// edits of the Source sheet (a changed emission, a source moved to another
// facility) must come back, and more roads than a sheet holds continue on a
// second road sheet.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "windows/e2e_support.h"
#include "windows/vorkabcom_dll.h"

#ifdef VORKAB_HAVE_SHEETHOST
#include "sheethost/host.h"

namespace {

// The fixed sheets of the reference data and the resources.
const wchar_t* const kSheets[] = {L"Substance",        L"Searchkey",        L"Source timevar",
                                  L"Road timevar",     L"Emission factor",  L"Emission function",
                                  L"Vehicle",          L"Road Vehicle Def.", L"Road Vehicle",
                                  L"Roadtype",         L"Speed-Temp-Scen",  L"Units",
                                  L"Rsrc",             L"Company",          L"Facility",
                                  L"Source",           L"Road"};

const char* const kReferenceExports[] = {"VKEdbRsrcLoad",  "VKEdbRsrcSave",  "VKSubLoad",     "VKSubSave",
                                         "VKTimevarsLoad", "VKTimevarsSave", "VKSubgrpsLoad", "VKSubgrpsSave",
                                         "VKEmfacsLoad",   "VKEmfacsSave"};

const char* const kVehicleExports[] = {"VKVehiclesLoad",        "VKVehiclesSave",     "VKRoadVehiclesDefLoad",
                                       "VKRoadVehiclesLoad",    "VKRoadVehiclesSave", "VKRoadtypesLoad",
                                       "VKRoadtypesSave"};

const char* const kCompanyExports[] = {"VKCompaniesLoad", "VKCompaniesSave", "VKFacilitiesLoad", "VKFacilitiesSave"};

const char* const kSourceExports[] = {"VKSourcesLoad", "VKSourcesSave", "VKVerifySource"};
const char* const kRoadExports[] = {"VKRoadsLoad", "VKRoadsSave", "VKVerifyRoad"};

// True when the DLL exports every name.
template <size_t N>
bool Exports(const char* const (&names)[N], std::string* missing = nullptr) {
  bool all = true;
  for (const char* name : names) {
    if (VorkabDll::Get().Address(name)) continue;
    all = false;
    if (missing) *missing += std::string(missing->empty() ? "" : " ") + name;
  }
  return all;
}

using Snapshot = std::map<std::wstring, std::map<sheethost::CellPosition, sheethost::Cell>>;

Snapshot Take(sheethost::Workbook& book) {
  Snapshot snapshot;
  for (sheethost::Sheet* sheet : book.Sheets()) snapshot[sheet->Name()] = sheet->Cells();
  return snapshot;
}

std::string Describe(const sheethost::Cell& cell) {
  switch (cell.kind) {
    case sheethost::CellKind::Empty: return "empty";
    case sheethost::CellKind::Number: {
      std::ostringstream s;
      s << cell.number;
      return s.str();
    }
    case sheethost::CellKind::Text: return "\"" + Narrow(cell.text) + "\"";
    case sheethost::CellKind::Boolean: return cell.boolean ? "TRUE" : "FALSE";
    case sheethost::CellKind::Error: return "#" + std::to_string(cell.error);
  }
  return "?";
}

// The first few cells in which the two workbooks differ.
std::string Differences(const Snapshot& a, const Snapshot& b) {
  std::ostringstream out;
  int shown = 0;
  for (const auto& [name, cells] : a) {
    const auto& other = b.at(name);
    std::map<sheethost::CellPosition, std::pair<sheethost::Cell, sheethost::Cell>> all;
    for (const auto& [pos, cell] : cells) all[pos].first = cell;
    for (const auto& [pos, cell] : other) all[pos].second = cell;
    for (const auto& [pos, pair] : all) {
      if (pair.first == pair.second) continue;
      if (shown++ < 10) {
        out << Narrow(name) << " row " << pos.first << " column " << pos.second << ": "
            << Describe(pair.first) << " then " << Describe(pair.second) << "\n";
      }
    }
  }
  if (shown > 10) out << "... " << shown << " cells differ\n";
  return out.str();
}

// Runs a transfer to its end: the start call, then continue calls while the
// result is 1; the last result (0 finished, -1 failure).
template <class Call>
int32_t RunTransfer(Call call) {
  wchar_t count[16] = L"";
  int32_t r = call(1, count);
  for (int calls = 0; r == 1 && calls < 1000000; ++calls) r = call(0, count);
  return r;
}

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(VorkabDll::Get().ok()) << VorkabDll::Get().error();
    std::string missing;
    if (!Exports(kReferenceExports, &missing)) GTEST_SKIP() << "VORKABCOM.dll does not export yet: " << missing;
    ASSERT_TRUE(Exports(kVehicleExports, &missing)) << "VORKABCOM.dll lacks " << missing;
    ASSERT_TRUE(Exports(kCompanyExports, &missing)) << "VORKABCOM.dll lacks " << missing;
    ASSERT_TRUE(Exports(kSourceExports, &missing)) << "VORKABCOM.dll lacks " << missing;
    ASSERT_TRUE(Exports(kRoadExports, &missing)) << "VORKABCOM.dll lacks " << missing;
    ASSERT_EQ(Login(L"demo", HttpServerUrl()), 0) << TakeError();
    VK_EXPORT(VKDatabaseSet)(L"REF");
    VK_EXPORT(VKEdbUserSet)(L"demo");
    VK_EXPORT(VKEdbNameSet)(L"Gothenburg2025");
  }

  static void AddSheets(sheethost::Workbook& book) {
    for (const wchar_t* name : kSheets) ASSERT_NE(book.AddSheet(name), nullptr) << Narrow(name);
  }

  // Loads the resources and every reference kind, in the order in which
  // their names depend on each other; the roads end with `roads` (2: the
  // "Road" sheet is full).
  static void LoadAll(int32_t roads = 0) {
    auto& dll = VorkabDll::Get();
    ASSERT_EQ(dll.Find<VKNoArgsFn>("VKEdbRsrcLoad")(), 1) << TakeError();
    auto subLoad = dll.Find<VKSubTransferFn>("VKSubLoad");
    for (int32_t list = 0; list <= 5; ++list) {
      ASSERT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return subLoad(m, list, c); }), 0)
          << "list " << list << ": " << TakeError();
    }
    auto timevarLoad = dll.Find<VKTimevarTransferFn>("VKTimevarsLoad");
    for (int32_t kind = 0; kind <= 1; ++kind) {
      ASSERT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return timevarLoad(kind, m, c); }), 0)
          << "time variations " << kind << ": " << TakeError();
    }
    for (const char* name : {"VKSubgrpsLoad", "VKEmfacsLoad"}) {
      ASSERT_EQ(RunTransfer(dll.Find<VKModeCountFn>(name)), 0) << name << ": " << TakeError();
    }
    ASSERT_EQ(RunTransfer(dll.Find<VKModeCountFn>("VKVehiclesLoad")), 0) << TakeError();
    wchar_t count[16];
    ASSERT_EQ(dll.Find<VKFlagsCountFn>("VKRoadVehiclesDefLoad")(0, count), 1) << TakeError();
    for (const char* name :
         {"VKRoadVehiclesLoad", "VKRoadtypesLoad", "VKCompaniesLoad", "VKFacilitiesLoad", "VKSourcesLoad"}) {
      ASSERT_EQ(RunTransfer(dll.Find<VKModeCountFn>(name)), 0) << name << ": " << TakeError();
    }
    ASSERT_EQ(RunTransfer([](int32_t m, wchar_t* c) { return VK_EXPORT(VKRoadsLoad)(L"Road", m, c); }), roads)
        << TakeError();
  }

  // Verifies the road sheet and saves it; mode 5 adds its roads to those
  // saved before.
  static void SaveRoads(const wchar_t* sheet, int32_t mode = 1) {
    ASSERT_EQ(VK_EXPORT(VKVerifyRoad)(sheet), 1) << TakeError();
    wchar_t count[16] = L"";
    int32_t r = VK_EXPORT(VKRoadsSave)(sheet, mode, count);
    while (r == 1) r = VK_EXPORT(VKRoadsSave)(sheet, 0, count);
    ASSERT_EQ(r, 0) << TakeError();
  }

  // Saves the resources and every kind that may be written (the substances
  // themselves may not).
  static void SaveAll() {
    auto& dll = VorkabDll::Get();
    ASSERT_EQ(dll.Find<VKNoArgsFn>("VKEdbRsrcSave")(), 1) << TakeError();
    auto subSave = dll.Find<VKSubTransferFn>("VKSubSave");
    for (int32_t list = 1; list <= 5; ++list) {
      ASSERT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return subSave(m, list, c); }), 0)
          << "searchkey " << list << ": " << TakeError();
    }
    auto timevarSave = dll.Find<VKTimevarTransferFn>("VKTimevarsSave");
    for (int32_t kind = 0; kind <= 1; ++kind) {
      ASSERT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return timevarSave(kind, m, c); }), 0)
          << "time variations " << kind << ": " << TakeError();
    }
    for (const char* name : {"VKSubgrpsSave", "VKEmfacsSave"}) {
      ASSERT_EQ(RunTransfer(dll.Find<VKModeCountFn>(name)), 0) << name << ": " << TakeError();
    }
    for (const char* name :
         {"VKVehiclesSave", "VKRoadVehiclesSave", "VKRoadtypesSave", "VKCompaniesSave", "VKFacilitiesSave"}) {
      ASSERT_EQ(RunTransfer(dll.Find<VKModeCountFn>(name)), 0) << name << ": " << TakeError();
    }
    // The source sheet's block layout as the verification reads it, then its rows.
    ASSERT_NE(dll.Find<VKNoArgsFn>("VKVerifySource")(), -1) << TakeError();
    ASSERT_EQ(RunTransfer(dll.Find<VKModeCountFn>("VKSourcesSave")), 0) << TakeError();
    SaveRoads(L"Road");
  }
};

TEST_F(RoundTrip, ReferenceKindsAndResourcesComeBackUnchanged) {
  Snapshot first;
  {
    sheethost::Host host;
    AddSheets(host.Book());
    LoadAll();
    if (HasFatalFailure()) return;
    first = Take(host.Book());
    EXPECT_GT(first.at(L"Substance").size(), 0u) << "the seeded substances did not arrive";
    EXPECT_GT(first.at(L"Road Vehicle").size(), 300u) << "the seeded road vehicles did not arrive";
    // 51 facilities of 11 columns, the Latin-1 names as UTF-16.
    EXPECT_GT(first.at(L"Facility").size(), 500u) << "the seeded facilities did not arrive";
    EXPECT_EQ(first.at(L"Company").at({2, 0}).text, L"G\u00f6teborgs Raffinaderi AB");
    // 520 roads with their polylines.
    EXPECT_EQ(first.at(L"Road").at({520, 0}).text, L"Kungsportsavenyn 520");
    EXPECT_EQ(first.at(L"Road").count({521, 0}), 0u);
    // 240 sources with their emission blocks from column AF.
    EXPECT_GT(first.at(L"Source").size(), 240u * 20u) << "the seeded sources did not arrive";
    EXPECT_EQ(first.at(L"Source").at({0, 31}).text, L"Emission sub 1: NOx");
    // Edits a user makes: an emission changed, a source moved to another
    // facility.  The second Load must show them.
    sheethost::Sheet* sources = host.Book().FindSheet(L"Source");
    int block = 31;
    while (sources->Get(0, block).text.compare(0, 13, L"Emission sub ") == 0 &&
           sources->Get(2, block + 1).text.empty()) {
      block += 7;
    }
    ASSERT_FALSE(sources->Get(2, block + 1).text.empty()) << "source 2 has no emission block";
    ASSERT_TRUE(sources->Set(2, block + 2, sheethost::Cell::Str(L"42.75")));
    ASSERT_NE(sources->Get(4, 5).text, sources->Get(9, 5).text);
    ASSERT_TRUE(sources->Set(4, 5, sources->Get(9, 5)));
    first = Take(host.Book());
    SaveAll();
    if (HasFatalFailure()) return;
    EXPECT_EQ(host.Outstanding(), 0u) << "values the DLL did not give back with xlFree";
    EXPECT_EQ(host.BadFrees(), 0u);
  }
  sheethost::Host host;
  AddSheets(host.Book());
  LoadAll();
  if (HasFatalFailure()) return;
  Snapshot second = Take(host.Book());
  EXPECT_TRUE(first == second) << Differences(first, second);
  EXPECT_EQ(host.Outstanding(), 0u);
}

// Every demonstration grid, the largest spread over three sheets: loaded,
// saved back and loaded again into an empty workbook, the grid sheets are
// the same.
using GridTransferFn = int32_t(VKAPI*)(int32_t mode, const wchar_t* sheet, wchar_t* count);
using GridVerifyFn = int32_t(VKAPI*)(const wchar_t* sheet);

std::vector<std::wstring> GridSheets() {
  std::vector<std::wstring> sheets;
  auto list = VorkabDll::Get().Find<VKFirstBufferFn>("VKGridsList");
  wchar_t name[300];
  for (int32_t first = 1; list(first, name) == 1; first = 0) sheets.push_back(name);
  return sheets;
}

// Loads each grid as the macro does, adding the continuation sheets it asks for.
void LoadGrids(sheethost::Workbook& book, const std::vector<std::wstring>& sheets) {
  auto load = VorkabDll::Get().Find<GridTransferFn>("VKGridLoad");
  for (const std::wstring& sheet : sheets) {
    ASSERT_NE(book.AddSheet(sheet), nullptr);
    wchar_t count[16];
    int32_t r = load(1, sheet.c_str(), count);
    for (int calls = 0; r >= 1 && calls < 100000; ++calls) {
      if (r >= 2) ASSERT_NE(book.AddSheet(sheet + L" (" + std::to_wstring(r) + L")"), nullptr);
      r = load(0, sheet.c_str(), count);
    }
    ASSERT_EQ(r, 0) << Narrow(sheet.c_str()) << ": " << TakeError();
  }
}

TEST_F(RoundTrip, GridsComeBackUnchanged) {
  if (!VorkabDll::Get().Address("VKGridLoad")) GTEST_SKIP() << "VORKABCOM.dll does not export VKGridLoad yet";
  Snapshot first;
  std::vector<std::wstring> sheets = GridSheets();
  ASSERT_EQ(sheets.size(), 4u) << TakeError();
  {
    sheethost::Host host;
    AddSheets(host.Book());
    LoadAll();
    LoadGrids(host.Book(), sheets);
    if (HasFatalFailure()) return;
    first = Take(host.Book());
    // The last 30,000 of 150,000 cells (X, Y and a value each) under the 24
    // header cells and the substance heading.
    EXPECT_EQ(first.at(L"Grid.FinePM2025 (3)").size(), 3u * 30000 + 25) << "the large grid did not spill over";
    auto verify = VorkabDll::Get().Find<GridVerifyFn>("VKVerifyGrid");
    auto save = VorkabDll::Get().Find<GridTransferFn>("VKGridSave");
    for (const std::wstring& sheet : sheets) {
      EXPECT_EQ(verify(sheet.c_str()), 1) << Narrow(sheet.c_str()) << ": " << TakeError();
      EXPECT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return save(m, sheet.c_str(), c); }), 0)
          << Narrow(sheet.c_str()) << ": " << TakeError();
    }
    EXPECT_EQ(host.Outstanding(), 0u);
  }
  sheethost::Host host;
  AddSheets(host.Book());
  LoadAll();
  LoadGrids(host.Book(), sheets);
  if (HasFatalFailure()) return;
  Snapshot second = Take(host.Book());
  EXPECT_TRUE(first == second) << Differences(first, second);
}

// More roads than one sheet holds: saved from a sheet, loaded over "Road"
// and "Road (2)" (result 2, then mode 8), saved back from both sheets and
// loaded again unchanged.
TEST_F(RoundTrip, RoadsBeyondOneSheetContinueOnTheNext) {
  const int kRoads = 60005;
  {
    sheethost::Host host;
    AddSheets(host.Book());
    LoadAll();
    if (HasFatalFailure()) return;
    // The first demonstration road (on a roadtype), repeated under new names.
    sheethost::Sheet* road = host.Book().FindSheet(L"Road");
    std::map<sheethost::CellPosition, sheethost::Cell> cells = road->Cells();
    for (int row = 2; row <= kRoads; ++row) {
      for (const auto& [pos, cell] : cells) {
        if (pos.first != 1) continue;
        road->Set(row, pos.second, pos.second == 0 ? sheethost::Cell::Str(L"Road " + std::to_wstring(row)) : cell);
      }
    }
    SaveRoads(L"Road");
    if (HasFatalFailure()) return;
  }
  Snapshot first;
  for (int pass = 0; pass < 2; ++pass) {
    sheethost::Host host;
    AddSheets(host.Book());
    LoadAll(2);
    if (HasFatalFailure()) return;
    ASSERT_EQ(host.Book().FindSheet(L"Road")->Cells().count({60001, 0}), 0u);
    ASSERT_NE(host.Book().AddSheet(L"Road (2)"), nullptr);
    wchar_t count[16] = L"";
    ASSERT_EQ(VK_EXPORT(VKRoadsLoad)(L"Road (2)", 8, count), 0) << TakeError();
    EXPECT_STREQ(count, L"60005");
    Snapshot now = Take(host.Book());
    EXPECT_EQ(now.at(L"Road").at({60000, 0}).text, L"Road 60000");
    EXPECT_EQ(now.at(L"Road (2)").at({5, 0}).text, L"Road 60005");
    if (pass == 1) {
      EXPECT_TRUE(first == now) << Differences(first, now);
      break;
    }
    first = now;
    SaveRoads(L"Road");
    SaveRoads(L"Road (2)", 5);
    if (HasFatalFailure()) return;
  }
}

}  // namespace

#else

TEST(RoundTrip, ReferenceKindsAndResourcesComeBackUnchanged) {
  GTEST_SKIP() << "built without the substitute spreadsheet host (tools/sheethost)";
}

#endif  // VORKAB_HAVE_SHEETHOST
