// The "Substance" and "Searchkey" sheets: names written by index and read
// back as one record per row, empty rows included, up to each column's last
// row.
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "sheet_fixture.h"
#include "workbook/sub_sheet.h"

namespace {

using sheethost::Cell;

class SubSheetTest : public SheetTest {
 protected:
  static SubRec Record(uint16_t index, const std::wstring& name) {
    SubRec r;
    std::memset(&r, 0, sizeof r);
    r.index = index;
    std::wcsncpy(r.name, name.c_str(), SubNameSize - 1);
    return r;
  }
};

TEST_F(SubSheetTest, SearchkeysWrittenAreReadBackRowByRow) {
  auto* sheet = AddSheet(L"Searchkey");
  ASSERT_TRUE(sheet->Set(0, 2, Cell::Str(L"Searchkey 2")));
  std::mt19937 rng(3);
  for (int32_t column : {2, 4}) {
    int32_t rows = CExcelReadSub::RowLimit(column) - 1;
    ASSERT_EQ(rows, column == 2 ? 127 : 63);
    // Names for most rows, in random order; some rows stay empty.
    std::vector<std::wstring> names(static_cast<size_t>(rows) + 1);
    std::vector<SubRec> records;
    for (int32_t i = 1; i < rows; ++i) {
      if (std::uniform_int_distribution<int>(0, 4)(rng) == 0) continue;
      names[static_cast<size_t>(i)] = L"key " + std::to_wstring(column) + L"." + std::to_wstring(i);
      records.push_back(Record(static_cast<uint16_t>(i), names[static_cast<size_t>(i)]));
    }
    names[static_cast<size_t>(rows)] = std::wstring(255, L'z');  // a full field in the last row
    records.push_back(Record(static_cast<uint16_t>(rows), names[static_cast<size_t>(rows)]));
    std::shuffle(records.begin(), records.end(), rng);
    {
      CExcelWriteSub writer;
      ASSERT_EQ(writer.Init(column, L"Searchkey"), 1);
      for (const SubRec& r : records) ASSERT_EQ(writer.Write(r), 1) << Error();
      // Index 0 has no row: the heading stays.
      ASSERT_EQ(writer.Write(Record(0, L"nowhere")), 1);
    }
    ASSERT_TRUE(sheet->Set(rows + 1, column, Cell::Str(L"past the last row")));
    CExcelReadSub reader;
    ASSERT_EQ(reader.Init(column, L"Searchkey"), 1);
    SubRec back;
    for (int32_t i = 1; i <= rows; ++i) {
      ASSERT_EQ(reader.Read(&back), 1) << Error();
      EXPECT_EQ(back.index, i);
      EXPECT_EQ(std::wstring(back.name), names[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(reader.Read(&back), 0);
  }
  EXPECT_EQ(sheet->Get(0, 2), Cell::Str(L"Searchkey 2"));
  EXPECT_TRUE(sheet->Get(0, 4).IsEmpty());
}

TEST_F(SubSheetTest, SubstancesGoToColumnBOfTheirSheet) {
  auto* sheet = AddSheet(L"Substance");
  CExcelWriteSub writer;
  ASSERT_EQ(writer.Init(1, L"Substance"), 1);
  ASSERT_EQ(writer.Write(Record(1000, L"Benzo(a)pyren")), 1);
  EXPECT_EQ(sheet->Get(1000, 1), Cell::Str(L"Benzo(a)pyren"));
}

TEST_F(SubSheetTest, ColumnsAndSheetsRefused) {
  AddSheet(L"Searchkey");
  CExcelReadSub reader;
  EXPECT_EQ(reader.Init(6, L"Searchkey"), -1);
  EXPECT_EQ(Error(), "Unknown sub column: 6");
  EXPECT_EQ(reader.Init(0, L"Searchkey"), -1);
  EXPECT_EQ(reader.Init(1, L"Nope"), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  CExcelWriteSub writer;
  EXPECT_EQ(writer.Init(1, L"Nope"), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  EXPECT_EQ(writer.Write(Record(1, L"x")), -1);
}

}  // namespace
