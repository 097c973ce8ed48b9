// Workbook test fixture: a substitute host that must end with nothing unfreed or badly freed.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "sheethost/host.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "vorkabcom.h"

using Lines_ = std::vector<std::wstring>;

// Every line of an issue list, "sheet [cell]: message".
inline Lines_ IssueTexts(IssueList& list) {
  Lines_ lines;
  wchar_t line[kIssueTextSize];
  for (int32_t first = 1; list.Next(first, line, kIssueTextSize); first = 0) lines.push_back(line);
  return lines;
}

class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExcel12EntryPt(sheethost::Host::EntryPoint());
    ClearErrorText();
  }
  void TearDown() override {
    EXPECT_EQ(host.Outstanding(), 0u) << "host values left unfreed";
    EXPECT_EQ(host.BadFrees(), 0u) << "values freed that the host did not hand out";
    SetExcel12EntryPt(nullptr);
  }

  sheethost::Sheet* AddSheet(const wchar_t* name) { return host.Book().AddSheet(name); }
  // The sheet of that name, added when the book lacks it.
  sheethost::Sheet* Sheet(const wchar_t* name) {
    sheethost::Sheet* s = host.Book().FindSheet(name);
    return s ? s : AddSheet(name);
  }
  // Texts as string cells into a row from column on; an empty text leaves its cell as it is.
  void Put(const wchar_t* sheet, RW row, COL column, std::initializer_list<std::wstring> texts) {
    for (const std::wstring& text : texts) {
      if (!text.empty()) {
        ASSERT_TRUE(Sheet(sheet)->Set(row, column, sheethost::Cell::Str(text)));
      }
      ++column;
    }
  }
  void PutNum(const wchar_t* sheet, RW row, COL column, double value) {
    ASSERT_TRUE(Sheet(sheet)->Set(row, column, sheethost::Cell::Num(value)));
  }
  static std::string Error() { return GetErrorText(); }

  static Lines_ Lines(IssueList& list) { return IssueTexts(list); }
  // A list's entries in its order, "name=index,...".
  static std::wstring Pairs(CRecordList& list) {
    std::wstring all;
    wchar_t name[256];
    int32_t index = 0;
    for (int32_t first = 1; list.ListWithIndex(first, name, 256, &index); first = 0) {
      all += std::wstring(all.empty() ? L"" : L",") + name + L"=" + std::to_wstring(index);
    }
    return all;
  }

  sheethost::Host host;
  IssueList errors;
  IssueList warnings;
};
