// What the end-to-end tests of the Linux library (tests/e2e) and of the
// Windows DLL under Wine (tests/windows) share: a substitute workbook behind
// the library's entry point, transfers run call by call, and the Load and
// Save of every kind in the order their names depend on each other.  The
// exports are called as VK(name): directly on Linux, through GetProcAddress
// on the loaded VORKABCOM.dll on Windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sheethost/host.h"

#ifdef _WIN32
#include "windows/vorkabcom_dll.h"
#define VK(name) VK_EXPORT(name)
#else
#include "vorkabcom.h"
#define VK(name) (&::name)
#endif

namespace e2e {

// The text for a failure message ('?' for a character beyond Latin-1).
inline std::string Printable(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += static_cast<uint32_t>(c) < 0x100 ? static_cast<char>(c) : '?';
  return out;
}

// The text VKError hands out (which the library then forgets).
inline std::string TakeError() {
  char buffer[10240] = "";
  VK(VKError)(buffer, sizeof buffer);
  return buffer;
}

// Expects the text to hold each part.
inline void ExpectHas(const std::string& text, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

// The names a list export (first, name) hands out, in its order.
inline std::vector<std::wstring> Names(const std::function<int32_t(int32_t, wchar_t*)>& list) {
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (int32_t first = 1; names.size() < 100000 && list(first, name) == 1; first = 0) names.push_back(name);
  return names;
}
inline bool Has(const std::vector<std::wstring>& names, const std::wstring& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// One call of a transfer: its result and the count it wrote.
struct Step {
  int32_t result;
  std::wstring count;
  bool operator==(const Step& other) const { return result == other.result && count == other.count; }
};
inline std::ostream& operator<<(std::ostream& out, const Step& step) {
  return out << step.result << "/" << Printable(step.count);
}
using Steps = std::vector<Step>;

// A transfer export with its other arguments bound: (mode, count) -> result.
using Transfer = std::function<int32_t(int32_t, wchar_t*)>;

// The transfer exports of a searchkey list and a kind of time variation.
inline Transfer SubLoad(int32_t list) {
  return [list](int32_t m, wchar_t* c) { return VK(VKSubLoad)(m, list, c); };
}
inline Transfer SubSave(int32_t list) {
  return [list](int32_t m, wchar_t* c) { return VK(VKSubSave)(m, list, c); };
}
inline Transfer TimevarsLoad(int32_t kind) {
  return [kind](int32_t m, wchar_t* c) { return VK(VKTimevarsLoad)(kind, m, c); };
}
inline Transfer TimevarsSave(int32_t kind) {
  return [kind](int32_t m, wchar_t* c) { return VK(VKTimevarsSave)(kind, m, c); };
}

// The calls of a transfer from its start (mode 1, or `startMode`) to a
// result other than 1 (at most `limit` calls).
inline Steps Calls(const Transfer& call, int32_t startMode = 1, int limit = 100000) {
  Steps steps;
  for (int32_t mode = startMode, i = 0; i < limit; ++i, mode = 0) {
    wchar_t count[16] = L"?";
    steps.push_back(Step{call(mode, count), count});
    if (steps.back().result != 1) break;
  }
  return steps;
}
// The last result of a transfer run to its end.
inline int32_t Last(const Transfer& call) { return Calls(call).back().result; }

// The sheets of the reference kinds and the resources, and those of every other kind.
inline const std::vector<const wchar_t*> kReferenceSheets = {
    L"Substance",       L"Searchkey",       L"Source timevar", L"Road timevar", L"Emission factor",
    L"Emission function", L"Speed-Temp-Scen", L"Units",          L"Rsrc"};
inline const std::vector<const wchar_t*> kKindSheets = {L"Vehicle",  L"Road Vehicle Def.", L"Road Vehicle",
                                                        L"Roadtype", L"Company",           L"Facility",
                                                        L"Source",   L"Road"};

// A substitute workbook with the reference and resource sheets behind the
// library's entry point; at its end the library has given back every value
// it got from the host (xlFree).
class Workbook : public sheethost::Host {
 public:
  Workbook() {
    for (const wchar_t* name : kReferenceSheets) EXPECT_NE(Host::Book().AddSheet(name), nullptr);
    VK(SetExcel12EntryPt)(sheethost::Host::EntryPoint());
  }
  ~Workbook() {
    EXPECT_EQ(Outstanding(), 0u) << "host values left unfreed";
    EXPECT_EQ(BadFrees(), 0u) << "values freed that the host did not hand out";
    VK(SetExcel12EntryPt)(nullptr);
  }
  sheethost::Workbook& Book() { return Host::Book(); }
  // The cell's text ("" when empty or not text).
  std::wstring Text(const wchar_t* sheet, int row, int column) {
    sheethost::Cell cell = Book().GetCell(sheet, row, column);
    return cell.kind == sheethost::CellKind::Text ? cell.text : std::wstring();
  }
  bool Set(const wchar_t* sheet, int row, int column, const std::wstring& text) {
    return Book().SetCell(sheet, row, column, text.empty() ? sheethost::Cell() : sheethost::Cell::Str(text));
  }
  // A cell's text as a user types it, or as a fresh Load must show it.
  struct Edit {
    const wchar_t* sheet;
    int row, column;
    std::wstring text;
  };
  void SetAll(const std::vector<Edit>& edits) {
    for (const Edit& e : edits) EXPECT_TRUE(Set(e.sheet, e.row, e.column, e.text)) << Printable(e.sheet);
  }
  void ExpectAll(const std::vector<Edit>& edits) {
    for (const Edit& e : edits) {
      EXPECT_EQ(Text(e.sheet, e.row, e.column), e.text) << Printable(e.sheet) << " " << e.row << " " << e.column;
    }
  }
};

// The first column of the first filled substance block of the source on
// row r (-1: none); the blocks of seven columns begin at column AF.
inline int FilledSubBlock(Workbook& book, int r) {
  for (int c = 31; book.Text(L"Source", 0, c).compare(0, 13, L"Emission sub ") == 0; c += 7) {
    if (!book.Text(L"Source", r, c + 1).empty()) return c;
  }
  return -1;
}

// Loads the resources and then every reference kind into the current workbook.
inline void LoadReferenceKinds() {
  ASSERT_EQ(VK(VKEdbRsrcLoad)(), 1) << TakeError();
  for (int32_t list = 0; list <= 5; ++list) ASSERT_EQ(Last(SubLoad(list)), 0) << list << ": " << TakeError();
  for (int32_t kind = 0; kind <= 1; ++kind) ASSERT_EQ(Last(TimevarsLoad(kind)), 0) << kind << ": " << TakeError();
  ASSERT_EQ(Last(VK(VKSubgrpsLoad)), 0) << TakeError();
  ASSERT_EQ(Last(VK(VKEmfacsLoad)), 0) << TakeError();
}

// Saves the resources, the searchkey lists and every other reference kind
// (the substances themselves may not be written).
inline void SaveReferenceKinds() {
  ASSERT_EQ(VK(VKEdbRsrcSave)(), 1) << TakeError();
  for (int32_t list = 1; list <= 5; ++list) ASSERT_EQ(Last(SubSave(list)), 0) << list << ": " << TakeError();
  for (int32_t kind = 0; kind <= 1; ++kind) ASSERT_EQ(Last(TimevarsSave(kind)), 0) << kind << ": " << TakeError();
  ASSERT_EQ(Last(VK(VKSubgrpsSave)), 0) << TakeError();
  ASSERT_EQ(Last(VK(VKEmfacsSave)), 0) << TakeError();
}

// Adds the sheets of the other kinds and loads every kind: the steps of the
// vehicles, road vehicles, roadtypes, companies, facilities, sources and
// roads (into "Road": 2 at the end when the sheet is full).
inline void LoadEveryKind(Workbook& book, std::vector<Steps>* steps) {
  for (const wchar_t* sheet : kKindSheets) ASSERT_NE(book.Book().AddSheet(sheet), nullptr);
  ASSERT_NO_FATAL_FAILURE(LoadReferenceKinds());
  wchar_t count[16] = L"";
  ASSERT_EQ(VK(VKRoadVehiclesDefLoad)(0, count), 1) << TakeError();
  EXPECT_EQ(std::wstring(count), L"3");
  steps->clear();
  for (const Transfer& load : {Transfer(VK(VKVehiclesLoad)), Transfer(VK(VKRoadVehiclesLoad)),
                               Transfer(VK(VKRoadtypesLoad)), Transfer(VK(VKCompaniesLoad)),
                               Transfer(VK(VKFacilitiesLoad)), Transfer(VK(VKSourcesLoad)),
                               Transfer([](int32_t m, wchar_t* c) { return VK(VKRoadsLoad)(L"Road", m, c); })}) {
    steps->push_back(Calls(load));
    int32_t last = steps->back().back().result;
    ASSERT_TRUE(last == 0 || (last == 2 && steps->size() == 7)) << steps->size() << ": " << TakeError();
  }
}

// Verifies the road sheet and saves it; mode 5 adds its roads to those saved before.
inline void SaveRoads(const wchar_t* sheet, int32_t mode = 1) {
  ASSERT_EQ(VK(VKVerifyRoad)(sheet), 1) << TakeError();
  ASSERT_EQ(Calls([sheet](int32_t m, wchar_t* c) { return VK(VKRoadsSave)(sheet, m, c); }, mode).back().result, 0)
      << TakeError();
}

// Saves every kind back, verifying the sheets that have a verification;
// `mode` for the facilities and sources (5: the upload with TransferFlags
// bit 1).  The steps of the vehicles, road vehicles and roadtypes.
inline void SaveEveryKind(int32_t mode, std::vector<Steps>* steps) {
  ASSERT_NO_FATAL_FAILURE(SaveReferenceKinds());
  steps->clear();
  for (auto save : {VK(VKVehiclesSave), VK(VKRoadVehiclesSave), VK(VKRoadtypesSave)}) {
    steps->push_back(Calls(save));
    ASSERT_EQ(steps->back().back().result, 0) << TakeError();
  }
  ASSERT_EQ(VK(VKVerifyCompany)(), 1) << TakeError();
  ASSERT_EQ(VK(VKVerifyFacility)(), 1) << TakeError();
  ASSERT_EQ(Last(VK(VKCompaniesSave)), 0) << TakeError();
  ASSERT_EQ(Calls(VK(VKFacilitiesSave), mode).back().result, 0) << TakeError();
  ASSERT_EQ(VK(VKVerifySource)(), 1) << TakeError();
  ASSERT_EQ(Calls(VK(VKSourcesSave), mode).back().result, 0) << TakeError();
  ASSERT_NO_FATAL_FAILURE(SaveRoads(L"Road"));
}

// Loads a grid as the macro does, adding each continuation sheet ("NAME (n)")
// the Load asks for; the results of the calls into *results when given.
inline void LoadGrid(Workbook& book, const std::wstring& sheet, std::vector<int32_t>* results = nullptr) {
  ASSERT_NE(book.Book().AddSheet(sheet), nullptr);
  wchar_t count[16];
  int32_t r = VK(VKGridLoad)(1, sheet.c_str(), count);
  for (int calls = 0; calls < 100000; ++calls) {
    if (results) results->push_back(r);
    if (r < 1) break;
    if (r >= 2) {
      ASSERT_NE(book.Book().AddSheet(sheet + L" (" + std::to_wstring(r) + L")"), nullptr);
    }
    r = VK(VKGridLoad)(0, sheet.c_str(), count);
  }
  ASSERT_EQ(r, 0) << Printable(sheet) << ": " << TakeError();
}

}  // namespace e2e
