// Every kind, the resources and the grids through VORKABCOM.dll: loaded,
// saved back and loaded again into an empty workbook, the sheets are the same.
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

using Snapshot = std::map<std::wstring, std::map<sheethost::CellPosition, sheethost::Cell>>;

// A substitute workbook with the fixed sheets; at its end the DLL has given
// back every value it got from the host (xlFree).
class HostBook : public sheethost::Host {
 public:
  HostBook() {
    for (const wchar_t* name : kSheets) EXPECT_NE(Host::Book().AddSheet(name), nullptr) << Narrow(name);
  }
  ~HostBook() {
    EXPECT_EQ(Outstanding(), 0u) << "values the DLL did not give back with xlFree";
    EXPECT_EQ(BadFrees(), 0u);
  }
  sheethost::Sheet* Sheet(const wchar_t* name) { return Host::Book().FindSheet(name); }
  Snapshot Take() {
    Snapshot snapshot;
    for (sheethost::Sheet* sheet : Host::Book().Sheets()) snapshot[sheet->Name()] = sheet->Cells();
    return snapshot;
  }
};

std::string Describe(const sheethost::Cell& c) {
  std::ostringstream s;
  s << "kind " << static_cast<int>(c.kind) << " " << c.number << " \"" << Narrow(c.text) << "\" " << c.boolean << " #"
    << c.error;
  return s.str();
}

// The first few cells in which the two workbooks differ.
std::string Differences(const Snapshot& a, const Snapshot& b) {
  std::ostringstream out;
  int shown = 0;
  for (const auto& [name, cells] : a) {
    std::map<sheethost::CellPosition, std::pair<sheethost::Cell, sheethost::Cell>> all;
    for (const auto& [pos, cell] : cells) all[pos].first = cell;
    for (const auto& [pos, cell] : b.at(name)) all[pos].second = cell;
    for (const auto& [pos, pair] : all) {
      if (pair.first == pair.second || shown++ >= 10) continue;
      out << Narrow(name) << " row " << pos.first << " column " << pos.second << ": " << Describe(pair.first)
          << " then " << Describe(pair.second) << "\n";
    }
  }
  if (shown > 10) out << "... " << shown << " cells differ\n";
  return out.str();
}

// Runs a transfer to its end: the start call, then continue calls while the
// result is 1; the last result (0 finished, -1 failure).
template <class Call>
int32_t RunTransfer(Call call, int32_t mode = 1) {
  wchar_t count[16] = L"";
  int32_t r = call(mode, count);
  for (int calls = 0; r == 1 && calls < 1000000; ++calls) r = call(0, count);
  return r;
}

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(VorkabDll::Get().ok()) << VorkabDll::Get().error();
    ASSERT_EQ(Login(L"demo", HttpServerUrl()), 0) << TakeError();
    VK_EXPORT(VKDatabaseSet)(L"REF");
    VK_EXPORT(VKEdbUserSet)(L"demo");
    VK_EXPORT(VKEdbNameSet)(L"Gothenburg2025");
  }

  // The searchkey lists from `first` on and both kinds of time variation,
  // through the Load or the Save exports.
  template <class Sub, class Timevars>
  static void RunLists(Sub sub, int32_t first, Timevars timevars) {
    for (int32_t list = first; list <= 5; ++list) {
      ASSERT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return sub(m, list, c); }), 0)
          << "list " << list << ": " << TakeError();
    }
    for (int32_t kind = 0; kind <= 1; ++kind) {
      ASSERT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return timevars(kind, m, c); }), 0)
          << "time variations " << kind << ": " << TakeError();
    }
  }

  // Loads the resources and every reference kind, in the order in which
  // their names depend on each other; the roads end with `roads` (2: the
  // "Road" sheet is full).
  static void LoadAll(int32_t roads = 0) {
    ASSERT_EQ(VK_EXPORT(VKEdbRsrcLoad)(), 1) << TakeError();
    RunLists(VK_EXPORT(VKSubLoad), 0, VK_EXPORT(VKTimevarsLoad));
    for (auto load : {VK_EXPORT(VKSubgrpsLoad), VK_EXPORT(VKEmfacsLoad), VK_EXPORT(VKVehiclesLoad)}) {
      ASSERT_EQ(RunTransfer(load), 0) << TakeError();
    }
    wchar_t count[16];
    ASSERT_EQ(VK_EXPORT(VKRoadVehiclesDefLoad)(0, count), 1) << TakeError();
    for (auto load : {VK_EXPORT(VKRoadVehiclesLoad), VK_EXPORT(VKRoadtypesLoad), VK_EXPORT(VKCompaniesLoad),
                      VK_EXPORT(VKFacilitiesLoad), VK_EXPORT(VKSourcesLoad)}) {
      ASSERT_EQ(RunTransfer(load), 0) << TakeError();
    }
    ASSERT_EQ(RunTransfer([](int32_t m, wchar_t* c) { return VK_EXPORT(VKRoadsLoad)(L"Road", m, c); }), roads)
        << TakeError();
  }

  // Verifies the road sheet and saves it; mode 5 adds its roads to those
  // saved before.
  static void SaveRoads(const wchar_t* sheet, int32_t mode = 1) {
    ASSERT_EQ(VK_EXPORT(VKVerifyRoad)(sheet), 1) << TakeError();
    ASSERT_EQ(RunTransfer([sheet](int32_t m, wchar_t* c) { return VK_EXPORT(VKRoadsSave)(sheet, m, c); }, mode), 0)
        << TakeError();
  }

  // Saves the resources and every kind that may be written (the substances
  // themselves may not).
  static void SaveAll() {
    ASSERT_EQ(VK_EXPORT(VKEdbRsrcSave)(), 1) << TakeError();
    RunLists(VK_EXPORT(VKSubSave), 1, VK_EXPORT(VKTimevarsSave));
    for (auto save : {VK_EXPORT(VKSubgrpsSave), VK_EXPORT(VKEmfacsSave), VK_EXPORT(VKVehiclesSave),
                      VK_EXPORT(VKRoadVehiclesSave), VK_EXPORT(VKRoadtypesSave), VK_EXPORT(VKCompaniesSave),
                      VK_EXPORT(VKFacilitiesSave)}) {
      ASSERT_EQ(RunTransfer(save), 0) << TakeError();
    }
    // The source sheet's block layout as the verification reads it, then its rows.
    ASSERT_NE(VK_EXPORT(VKVerifySource)(), -1) << TakeError();
    ASSERT_EQ(RunTransfer(VK_EXPORT(VKSourcesSave)), 0) << TakeError();
    SaveRoads(L"Road");
  }
};

TEST_F(RoundTrip, ReferenceKindsAndResourcesComeBackUnchanged) {
  Snapshot first;
  {
    HostBook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll());
    first = book.Take();
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
    sheethost::Sheet* sources = book.Sheet(L"Source");
    int block = 31;
    while (sources->Get(0, block).text.compare(0, 13, L"Emission sub ") == 0 &&
           sources->Get(2, block + 1).text.empty()) {
      block += 7;
    }
    ASSERT_FALSE(sources->Get(2, block + 1).text.empty()) << "source 2 has no emission block";
    ASSERT_TRUE(sources->Set(2, block + 2, sheethost::Cell::Str(L"42.75")));
    ASSERT_NE(sources->Get(4, 5).text, sources->Get(9, 5).text);
    ASSERT_TRUE(sources->Set(4, 5, sources->Get(9, 5)));
    first = book.Take();
    ASSERT_NO_FATAL_FAILURE(SaveAll());
  }
  HostBook book;
  ASSERT_NO_FATAL_FAILURE(LoadAll());
  Snapshot second = book.Take();
  EXPECT_TRUE(first == second) << Differences(first, second);
}

// Every demonstration grid, the largest spread over three sheets: loaded,
// saved back and loaded again into an empty workbook, the grid sheets are
// the same.
std::vector<std::wstring> GridSheets() {
  std::vector<std::wstring> sheets;
  wchar_t name[300];
  for (int32_t first = 1; VK_EXPORT(VKGridsList)(first, name) == 1; first = 0) sheets.push_back(name);
  return sheets;
}

// Loads each grid as the macro does, adding the continuation sheets it asks for.
void LoadGrids(sheethost::Workbook& book, const std::vector<std::wstring>& sheets) {
  auto load = VK_EXPORT(VKGridLoad);
  for (const std::wstring& sheet : sheets) {
    ASSERT_NE(book.AddSheet(sheet), nullptr);
    wchar_t count[16];
    int32_t r = load(1, sheet.c_str(), count);
    for (int calls = 0; r >= 1 && calls < 100000; ++calls) {
      if (r >= 2) {
        ASSERT_NE(book.AddSheet(sheet + L" (" + std::to_wstring(r) + L")"), nullptr);
      }
      r = load(0, sheet.c_str(), count);
    }
    ASSERT_EQ(r, 0) << Narrow(sheet.c_str()) << ": " << TakeError();
  }
}

TEST_F(RoundTrip, GridsComeBackUnchanged) {
  Snapshot first;
  std::vector<std::wstring> sheets = GridSheets();
  ASSERT_EQ(sheets.size(), 4u) << TakeError();
  {
    HostBook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll());
    ASSERT_NO_FATAL_FAILURE(LoadGrids(book.Book(), sheets));
    first = book.Take();
    // The last 30,000 of 150,000 cells (X, Y and a value each) under the 24
    // header cells and the substance heading.
    EXPECT_EQ(first.at(L"Grid.FinePM2025 (3)").size(), 3u * 30000 + 25) << "the large grid did not spill over";
    for (const std::wstring& sheet : sheets) {
      EXPECT_EQ(VK_EXPORT(VKVerifyGrid)(sheet.c_str()), 1) << Narrow(sheet.c_str()) << ": " << TakeError();
      EXPECT_EQ(RunTransfer([&](int32_t m, wchar_t* c) { return VK_EXPORT(VKGridSave)(m, sheet.c_str(), c); }), 0)
          << Narrow(sheet.c_str()) << ": " << TakeError();
    }
  }
  HostBook book;
  ASSERT_NO_FATAL_FAILURE(LoadAll());
  ASSERT_NO_FATAL_FAILURE(LoadGrids(book.Book(), sheets));
  Snapshot second = book.Take();
  EXPECT_TRUE(first == second) << Differences(first, second);
}

// More roads than one sheet holds: saved from a sheet, loaded over "Road"
// and "Road (2)" (result 2, then mode 8), saved back from both sheets and
// loaded again unchanged.
TEST_F(RoundTrip, RoadsBeyondOneSheetContinueOnTheNext) {
  const int kRoads = 60005;
  {
    HostBook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll());
    // The first demonstration road (on a roadtype), repeated under new names.
    sheethost::Sheet* road = book.Sheet(L"Road");
    std::map<sheethost::CellPosition, sheethost::Cell> cells = road->Cells();
    for (int row = 2; row <= kRoads; ++row) {
      for (const auto& [pos, cell] : cells) {
        if (pos.first != 1) continue;
        road->Set(row, pos.second, pos.second == 0 ? sheethost::Cell::Str(L"Road " + std::to_wstring(row)) : cell);
      }
    }
    ASSERT_NO_FATAL_FAILURE(SaveRoads(L"Road"));
  }
  Snapshot first;
  for (int pass = 0; pass < 2; ++pass) {
    HostBook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll(2));
    ASSERT_EQ(book.Sheet(L"Road")->Cells().count({60001, 0}), 0u);
    ASSERT_NE(book.Book().AddSheet(L"Road (2)"), nullptr);
    wchar_t count[16] = L"";
    ASSERT_EQ(VK_EXPORT(VKRoadsLoad)(L"Road (2)", 8, count), 0) << TakeError();
    EXPECT_STREQ(count, L"60005");
    Snapshot now = book.Take();
    EXPECT_EQ(now.at(L"Road").at({60000, 0}).text, L"Road 60000");
    EXPECT_EQ(now.at(L"Road (2)").at({5, 0}).text, L"Road 60005");
    if (pass == 1) {
      EXPECT_TRUE(first == now) << Differences(first, now);
      break;
    }
    first = now;
    ASSERT_NO_FATAL_FAILURE(SaveRoads(L"Road"));
    ASSERT_NO_FATAL_FAILURE(SaveRoads(L"Road (2)", 5));
  }
}

}  // namespace

#else

TEST(RoundTrip, ReferenceKindsAndResourcesComeBackUnchanged) {
  GTEST_SKIP() << "built without the substitute spreadsheet host (tools/sheethost)";
}

#endif  // VORKAB_HAVE_SHEETHOST
