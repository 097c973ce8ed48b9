// Every kind, the resources and the grids through VORKABCOM.dll: loaded,
// saved back and loaded again into an empty workbook, the sheets are the same.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/workbook_transfers.h"
#include "windows/e2e_support.h"

namespace {

using e2e::Workbook;
using Snapshot = std::map<std::wstring, std::map<sheethost::CellPosition, sheethost::Cell>>;

Snapshot Take(Workbook& book) {
  Snapshot snapshot;
  for (sheethost::Sheet* sheet : book.Book().Sheets()) snapshot[sheet->Name()] = sheet->Cells();
  return snapshot;
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
      out << Printable(name) << " row " << pos.first << " column " << pos.second;
      for (const sheethost::Cell& c : {pair.first, pair.second}) {
        out << " | " << static_cast<int>(c.kind) << " " << c.number << " \"" << Printable(c.text) << "\" "
            << c.boolean << " #" << c.error;
      }
      out << "\n";
    }
  }
  return out.str();
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
  // Every kind into the workbook; the roads end with `roads` (2: the "Road" sheet is full).
  static void LoadAll(Workbook& book, int32_t roads = 0) {
    std::vector<e2e::Steps> steps;
    ASSERT_NO_FATAL_FAILURE(e2e::LoadEveryKind(book, &steps));
    ASSERT_EQ(steps.back().back().result, roads) << TakeError();
  }
  static void SaveAll() {
    std::vector<e2e::Steps> steps;
    ASSERT_NO_FATAL_FAILURE(e2e::SaveEveryKind(1, &steps));
  }
};

TEST_F(RoundTrip, ReferenceKindsAndResourcesComeBackUnchanged) {
  Snapshot first;
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll(book));
    first = Take(book);
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
    sheethost::Sheet* sources = book.Book().FindSheet(L"Source");
    int block = e2e::FilledSubBlock(book, 2);
    ASSERT_NE(block, -1) << "source 2 has no emission block";
    ASSERT_TRUE(sources->Set(2, block + 2, sheethost::Cell::Str(L"42.75")));
    ASSERT_NE(sources->Get(4, 5).text, sources->Get(9, 5).text);
    ASSERT_TRUE(sources->Set(4, 5, sources->Get(9, 5)));
    first = Take(book);
    ASSERT_NO_FATAL_FAILURE(SaveAll());
  }
  Workbook book;
  ASSERT_NO_FATAL_FAILURE(LoadAll(book));
  Snapshot second = Take(book);
  EXPECT_TRUE(first == second) << Differences(first, second);
}

// Every demonstration grid, the largest spread over three sheets: loaded,
// saved back and loaded again into an empty workbook, the grid sheets are
// the same.
void LoadGrids(Workbook& book, const std::vector<std::wstring>& sheets) {
  for (const std::wstring& sheet : sheets) ASSERT_NO_FATAL_FAILURE(e2e::LoadGrid(book, sheet));
}

TEST_F(RoundTrip, GridsComeBackUnchanged) {
  Snapshot first;
  std::vector<std::wstring> sheets = e2e::Names(VK_EXPORT(VKGridsList));
  ASSERT_EQ(sheets.size(), 4u) << TakeError();
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadAll(book));
    ASSERT_NO_FATAL_FAILURE(LoadGrids(book, sheets));
    first = Take(book);
    // The last 30,000 of 150,000 cells (X, Y and a value each) under the 24
    // header cells and the substance heading.
    EXPECT_EQ(first.at(L"Grid.FinePM2025 (3)").size(), 3u * 30000 + 25) << "the large grid did not spill over";
    for (const std::wstring& sheet : sheets) {
      EXPECT_EQ(VK_EXPORT(VKVerifyGrid)(sheet.c_str()), 1) << Printable(sheet.c_str()) << ": " << TakeError();
      EXPECT_EQ(e2e::Last([&](int32_t m, wchar_t* c) { return VK_EXPORT(VKGridSave)(m, sheet.c_str(), c); }), 0)
          << Printable(sheet.c_str()) << ": " << TakeError();
    }
  }
  Workbook book;
  ASSERT_NO_FATAL_FAILURE(LoadAll(book));
  ASSERT_NO_FATAL_FAILURE(LoadGrids(book, sheets));
  Snapshot second = Take(book);
  EXPECT_TRUE(first == second) << Differences(first, second);
}

}  // namespace
