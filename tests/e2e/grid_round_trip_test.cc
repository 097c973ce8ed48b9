// Grids through the workbook: the round trip leaves the stored grids as they
// were, edits come back, and a refused save changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/transfer_fixture.h"
#include "records/grid.h"

namespace e2e {
namespace {

class GridRoundTrip : public TransferTest {
 protected:
  // Loads the catalogue, then the grid; the results of the calls.
  void LoadGrid(Workbook& book, const std::wstring& sheet, std::vector<int32_t>* results = nullptr) {
    ASSERT_NO_FATAL_FAILURE(LoadReferenceKinds());
    ASSERT_NO_FATAL_FAILURE(e2e::LoadGrid(book, sheet, results));
  }
  int32_t SaveGrid(const std::wstring& sheet) {
    Steps steps = Calls([&sheet](int32_t m, wchar_t* c) { return VKGridSave(m, sheet.c_str(), c); });
    return steps.back().result;
  }
  std::string Stored() { return server_->dumpRecords(); }
};

TEST_F(GridRoundTrip, EveryGridShowsItsHeaderNamesAndCellsAndComesBackUnchanged) {
  const std::vector<std::wstring> sheets = {L"Grid.FinePM2025", L"Grid.Heating2025", L"Grid.Shipping2025",
                                            L"Grid.Traffic2025"};
  EXPECT_EQ(Names(VKGridsList), sheets);
  std::string before = Stored();
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadReferenceKinds());
    std::vector<int32_t> results;
    for (const std::wstring& sheet : sheets) {
      ASSERT_NO_FATAL_FAILURE(e2e::LoadGrid(book, sheet, sheet == sheets[0] ? &results : nullptr));
    }
    // The large grid's 150,000 cells: 60,000 on the first sheet, 60,000 on
    // "(2)", the rest on "(3)".
    EXPECT_EQ(std::count(results.begin(), results.end(), 2), 1);
    EXPECT_EQ(std::count(results.begin(), results.end(), 3), 1);
    book.ExpectAll({{L"Grid.FinePM2025 (2)", 2, 0, L"305000"},  // cell 60,001: row 120 of 500
                    {L"Grid.FinePM2025 (3)", 30001, 0, L"354900"},
                    {L"Grid.FinePM2025 (3)", 30002, 0, L""},
                    {L"Grid.Heating2025", 0, 24, L"Em Fac Activity"},
                    {L"Grid.Traffic2025", 0, 24, L"NOx"},
                    {L"Grid.Traffic2025", 0, 26, L"PM10"},
                    {L"Grid.Traffic2025", 1, 2, L"30"},
                    {L"Grid.Traffic2025", 2, 0, L"315000"},
                    {L"Grid.Traffic2025", 601, 1, L"6414000"},
                    {L"Grid.Traffic2025", 602, 0, L""},
                    {L"Grid.Shipping2025", 1, 6, L"DYNAMIC"},
                    {L"Grid.Shipping2025", 3, 6, L"G\u00f6ta \u00e4lv"},
                    {L"Grid.Shipping2025", 2, 21, L"H.50.0"}});
    for (const std::wstring& sheet : sheets) {
      EXPECT_EQ(VKVerifyGrid(sheet.c_str()), 1) << Printable(sheet) << ": " << TakeError();
      EXPECT_EQ(SaveGrid(sheet), 0) << Printable(sheet) << ": " << TakeError();
    }
  }
  EXPECT_TRUE(before == Stored());
}

TEST_F(GridRoundTrip, EditsAreSavedAndLoadedAgain) {
  const std::wstring sheet = L"Grid.Shipping2025";
  std::vector<Workbook::Edit> edits = {
      {sheet.c_str(), 2, 24, L"0.125"},               // a value
      {sheet.c_str(), 3, 6, L"Nya \u00c4lvsborg"},  // a DYNAMIC item
      {sheet.c_str(), 52, 0, L"318000"},  {sheet.c_str(), 52, 1, L"6393000"}, {sheet.c_str(), 52, 6, L"New lane"},
      {sheet.c_str(), 52, 24, L"7"},      {sheet.c_str(), 52, 25, L"1.5"}};
  {
    Workbook book;
    ASSERT_NO_FATAL_FAILURE(LoadGrid(book, sheet));
    edits.push_back({sheet.c_str(), 52, 15, book.Text(sheet.c_str(), 2, 15)});  // a new cell
    book.SetAll(edits);
    ASSERT_EQ(VKVerifyGrid(sheet.c_str()), 1) << TakeError();
    ASSERT_EQ(SaveGrid(sheet), 0) << TakeError();
  }
  Workbook fresh;
  ASSERT_NO_FATAL_FAILURE(LoadGrid(fresh, sheet));
  fresh.ExpectAll(edits);
  EXPECT_NE(Stored().find("318000@6393000@New lane@0@"), std::string::npos);
}

TEST_F(GridRoundTrip, ACellTheGridCannotCarryStopsTheSaveWithNothingSent) {
  const std::wstring sheet = L"Grid.Shipping2025";
  std::string before = Stored();
  Workbook book;
  ASSERT_NO_FATAL_FAILURE(LoadGrid(book, sheet));
  const struct {
    int row, column;
    const wchar_t* text;
    const char* refusal;
  } faults[] = {
      {40, 6, L"North@East", "Name cell holds an @"},
      {40, 24, L"lots", "not a number from 0 to 3.40282347e+38: lots"},
      {40, 15, L"Sunday", "Could not get index for timevar: Sunday"},
      {40, 0, L"12.5", "X cell not a whole number"},
      {1, 2, L"0", "Nx cell not a whole number from 1"},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.refusal);
    std::wstring kept = book.Text(sheet.c_str(), f.row, f.column);
    ASSERT_TRUE(book.Set(sheet.c_str(), f.row, f.column, f.text));
    EXPECT_EQ(SaveGrid(sheet), -1);
    ExpectHas(TakeError(), {f.refusal, "(sheet Grid.Shipping2025, cell "});
    ASSERT_TRUE(book.Set(sheet.c_str(), f.row, f.column, kept));
  }
  // A continuation sheet whose header differs from the first sheet's.
  ASSERT_NE(book.Book().AddSheet(L"Grid.Shipping2025 (2)"), nullptr);
  for (int c = 0; c < 24; ++c) ASSERT_TRUE(book.Set(L"Grid.Shipping2025 (2)", 1, c, book.Text(sheet.c_str(), 1, c)));
  for (int c = 24; c < 26; ++c) ASSERT_TRUE(book.Set(L"Grid.Shipping2025 (2)", 0, c, book.Text(sheet.c_str(), 0, c)));
  ASSERT_TRUE(book.Set(L"Grid.Shipping2025 (2)", 1, 6, L"One name"));
  EXPECT_EQ(SaveGrid(sheet), -1);
  ExpectHas(TakeError(), {"differs from the grid's first sheet"});
  EXPECT_TRUE(before == Stored());
}

// The server's own refusal (a header without a raster, NX 0) reaches the
// caller and leaves the stored grids as they were.
TEST_F(GridRoundTrip, AnUploadTheServerRefusesLeavesTheStoredGridAsItWas) {
  std::string before = Stored();
  GridRec header{};
  header.x = header.y = header.dx = header.dy = header.ny = 1;
  header.fuel = 4;
  header.formula = 1;
  header.fieldCount = 3;
  GridSubstances substances{};
  GridFields cell{L"1", L"1", L"2.5"};
  ASSERT_EQ(IORGridPut(GridPutStart, L"Heating2025", &header, &substances, nullptr, L"", L""), 1) << TakeError();
  ASSERT_EQ(IORGridPut(GridPutRow, L"Heating2025", &header, nullptr, &cell, nullptr, nullptr), 1);
  EXPECT_EQ(IORGridPut(GridPutFinish, L"Heating2025", nullptr, nullptr, nullptr, nullptr, nullptr), -1);
  ExpectHas(TakeError(), {"grid header: NX"});
  EXPECT_TRUE(before == Stored());
}

}  // namespace
}  // namespace e2e
