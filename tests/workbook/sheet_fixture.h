// The fixture of the workbook tests: a substitute host handed to the library
// as its entry point, with every test ending on the host reporting nothing
// unfreed and nothing freed that it did not hand out.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheethost/host.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "vorkabcom.h"

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
  static std::string Error() { return GetErrorText(); }

  // Every line of an issue list, "sheet [cell]: message".
  static std::vector<std::wstring> Lines(IssueList& list) {
    std::vector<std::wstring> lines;
    wchar_t line[kIssueTextSize];
    for (int32_t first = 1; list.Next(first, line, kIssueTextSize); first = 0) lines.push_back(line);
    return lines;
  }

  sheethost::Host host;
};
