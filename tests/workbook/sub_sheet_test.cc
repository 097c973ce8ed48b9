// The "Substance" and "Searchkey" sheets: names by index, read back row by row.
#include <cstring>
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

TEST_F(SubSheetTest, NamesWrittenByIndexAreReadBackRowByRow) {
  auto* sheet = AddSheet(L"Searchkey");
  ASSERT_TRUE(sheet->Set(0, 2, Cell::Str(L"Searchkey 2")));
  for (int32_t column : {2, 4}) {
    int32_t rows = CExcelReadSub::RowLimit(column) - 1;
    ASSERT_EQ(rows, column == 2 ? 127 : 63);
    // Names in every row but each third, written last row first; a full
    // field in the last row.
    auto name = [rows](int32_t i) {
      return i == rows ? std::wstring(255, L'z') : i % 3 ? L"key " + std::to_wstring(i) : L"";
    };
    {
      CExcelWriteSub writer;
      ASSERT_EQ(writer.Init(column, L"Searchkey"), 1);
      for (int32_t i = rows; i >= 1; --i) {
        if (!name(i).empty()) {
          ASSERT_EQ(writer.Write(Record(static_cast<uint16_t>(i), name(i))), 1) << Error();
        }
      }
      ASSERT_EQ(writer.Write(Record(0, L"nowhere")), 1);  // index 0 has no row: the heading stays
    }
    ASSERT_TRUE(sheet->Set(rows + 1, column, Cell::Str(L"past the last row")));
    CExcelReadSub reader;
    ASSERT_EQ(reader.Init(column, L"Searchkey"), 1);
    SubRec back;
    for (int32_t i = 1; i <= rows; ++i) {
      ASSERT_EQ(reader.Read(&back), 1) << Error();
      EXPECT_EQ(back.index, i);
      EXPECT_EQ(std::wstring(back.name), name(i));
    }
    EXPECT_EQ(reader.Read(&back), 0);
  }
  EXPECT_EQ(sheet->Get(0, 2), Cell::Str(L"Searchkey 2"));
  EXPECT_TRUE(sheet->Get(0, 4).IsEmpty());
  // Substances go to column B of their own sheet.
  auto* substances = AddSheet(L"Substance");
  CExcelWriteSub writer;
  ASSERT_EQ(writer.Init(1, L"Substance"), 1);
  ASSERT_EQ(writer.Write(Record(1000, L"Benzo(a)pyren")), 1);
  EXPECT_EQ(substances->Get(1000, 1), Cell::Str(L"Benzo(a)pyren"));
  // Columns and sheets refused.
  CExcelReadSub reader;
  EXPECT_EQ(reader.Init(6, L"Searchkey"), -1);
  EXPECT_EQ(Error(), "Unknown sub column: 6");
  EXPECT_EQ(reader.Init(0, L"Searchkey"), -1);
  EXPECT_EQ(reader.Init(1, L"Nope"), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  CExcelWriteSub nowhere;
  EXPECT_EQ(nowhere.Init(1, L"Nope"), -1);
  EXPECT_EQ(Error(), "Couldn't set sheet Nope.");
  EXPECT_EQ(nowhere.Write(Record(1, L"x")), -1);
}

}  // namespace
