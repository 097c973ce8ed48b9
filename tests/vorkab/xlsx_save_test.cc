// Saving and updating a workbook file: a failure leaves the old file and no
// temporary file; a success keeps permissions, links and the parts it does not own.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "xlsx_file.h"
#include "xlsx_file_replace.h"
#include "xlsx_package.h"
#include "xlsx_test_files.h"
#include "xlsx_update.h"

namespace {

using sheethost::Cell;
using sheethost::Workbook;

void FillBook(Workbook& book, double value) {
  auto* sheet = book.AddSheet(L"Source");
  for (int r = 0; r < 100; ++r) {
    sheet->Set(r, 0, Cell::Num(value + r));
    sheet->Set(r, 1, Cell::Str(L"name " + std::to_wstring(r)));
  }
}

class XlsxSave : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = m_folder.Path("book.xlsx");
    Workbook old;
    FillBook(old, 1);
    std::string error;
    ASSERT_TRUE(SaveXlsx(m_path, old, &error)) << error;
    m_oldBytes = ReadBytes(m_path);
    FillBook(m_new, 1000);
  }

  TempFolder m_folder;
  std::string m_path;
  std::string m_oldBytes;
  Workbook m_new;
};

TEST_F(XlsxSave, AWriteFailingHalfWayLeavesTheOldFile) {
  for (size_t after : {size_t{0}, size_t{1}, size_t{2000}, size_t{1} << 30}) {
    SCOPED_TRACE(after);
    xlsx::FailNextReplaceAfterForTesting(after);
    std::string error;
    EXPECT_FALSE(SaveXlsx(m_path, m_new, &error));
    EXPECT_EQ(error.rfind(m_path + ": cannot save: ", 0), 0u) << error;
    EXPECT_NE(error.find("No space left"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(m_path), m_oldBytes);
    EXPECT_EQ(m_folder.Files(), std::vector<std::string>{"book.xlsx"});
  }
  // The failure was for one save only.
  std::string error;
  ASSERT_TRUE(SaveXlsx(m_path, m_new, &error)) << error;
  Workbook back;
  ASSERT_TRUE(LoadXlsx(m_path, back, &error)) << error;
  EXPECT_EQ(back.GetCell(L"Source", 0, 0), Cell::Num(1000));
  EXPECT_EQ(m_folder.Files(), std::vector<std::string>{"book.xlsx"});
}

TEST_F(XlsxSave, ATargetThatCannotBeReplacedStaysAsItWas) {
  std::string error;
  std::string folderTarget = m_folder.Path("folder.xlsx");
  ASSERT_TRUE(std::filesystem::create_directory(folderTarget));
  EXPECT_FALSE(SaveXlsx(folderTarget, m_new, &error));
  EXPECT_EQ(error.rfind(folderTarget + ": cannot save: ", 0), 0u) << error;
  EXPECT_TRUE(std::filesystem::is_directory(folderTarget));

  EXPECT_FALSE(SaveXlsx(m_folder.Path("no/such/folder.xlsx"), m_new, &error));
  EXPECT_NE(error.find("temporary file"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(m_path), m_oldBytes);
  std::filesystem::remove(folderTarget);
  EXPECT_EQ(m_folder.Files(), std::vector<std::string>{"book.xlsx"});
}

TEST_F(XlsxSave, AReplacedFileKeepsItsPermissionsAndLinks) {
  ASSERT_EQ(chmod(m_path.c_str(), 0640), 0);
  std::string link = m_folder.Path("link.xlsx");
  ASSERT_EQ(symlink("book.xlsx", link.c_str()), 0);
  std::string error;
  ASSERT_TRUE(SaveXlsx(link, m_new, &error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  struct stat st;
  ASSERT_EQ(stat(m_path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  Workbook back;
  ASSERT_TRUE(LoadXlsx(m_path, back, &error)) << error;
  EXPECT_EQ(back.GetCell(L"Source", 0, 0), Cell::Num(1000));
}

const std::wstring kOdd = L"\u00c5r & \ttab";

std::string Part(const std::string& path, const std::string& name) {
  xlsx::PackageReader reader;
  std::string error, bytes;
  if (!reader.Open(path, &error) || !reader.Read(name, &bytes, &error)) return "missing: " + error;
  return bytes;
}

TEST(XlsxUpdate, NamedSheetsGetTheDataAndEverythingElseStays) {
  TempFolder folder;
  std::string path = folder.Path("odd.xlsx"), error;
  ASSERT_TRUE(WritePackage(path, UnusualPackage()));
  Workbook book;
  book.AddSheet(kOdd)->Set(0, 0, Cell::Str(L"Name"));
  book.FindSheet(kOdd)->Set(1, 0, Cell::Str(L"a < b & \"c\""));
  book.AddSheet(L"New")->Set(0, 1, Cell::Num(0.1));
  ASSERT_TRUE(xlsx::UpdateXlsx(path, book, {kOdd, L"New"}, {{"VorkabEdb", "Malm\xc3\xb6 2024"}}, &error)) << error;

  Workbook loaded;
  ASSERT_TRUE(LoadXlsx(path, loaded, &error)) << error;
  ASSERT_EQ(loaded.SheetCount(), 2u);
  EXPECT_EQ(loaded.Sheets()[0]->Cells(), book.FindSheet(kOdd)->Cells());  // the formula, C2 and B9 are gone
  EXPECT_EQ(loaded.Sheets()[1]->Name(), L"New");
  EXPECT_EQ(loaded.GetCell(L"New", 0, 1), Cell::Num(0.1));

  std::string sheet = Part(path, "book/sheets/my sheet.xml");
  EXPECT_NE(sheet.find("<x:col min=\"1\" max=\"1\" width=\"33\"/>"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("<x:row r=\"1\" ht=\"30\"><x:c r=\"A1\" s=\"4\" t=\"inlineStr\">"), std::string::npos) << sheet;
  EXPECT_EQ(Part(path, "book/media/picture.bin"), std::string("\x89PNG\0\1\2", 7));
  EXPECT_EQ(Part(path, "book/chain.xml").compare(0, 8, "missing:"), 0);
  EXPECT_EQ(Part(path, "[Content_Types].xml").find("chain.xml"), std::string::npos);

  xlsx::Properties properties;
  ASSERT_TRUE(xlsx::ReadProperties(path, &properties, &error)) << error;
  EXPECT_EQ(properties["VorkabEdb"], "Malm\xc3\xb6 2024");
}

TEST(XlsxUpdate, AFailureLeavesTheFileAsItWas) {
  TempFolder folder;
  std::string path = folder.Path("broken.xlsx"), error;
  ASSERT_TRUE(WritePackage(path, Replaced(UnusualPackage(), "book/sheets/my sheet.xml", "<x:worksheet")));
  std::string before = ReadBytes(path);
  Workbook book;
  book.AddSheet(kOdd);
  EXPECT_FALSE(xlsx::UpdateXlsx(path, book, {kOdd}, {}, &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(path), before);
}

}  // namespace
