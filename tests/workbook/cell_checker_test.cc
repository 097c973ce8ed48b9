// CCellChecker: what each check accepts, its bounds with 32-bit ranges on
// every platform, and the one issue (text and cell) each failure adds.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "host/issue_list.h"
#include "workbook/cell_checker.h"

namespace {

class CellCheckerTest : public ::testing::Test {
 protected:
  // The lines added by the last check (and clears the list).
  std::vector<std::wstring> Taken() {
    std::vector<std::wstring> lines;
    wchar_t line[kIssueTextSize];
    for (int32_t first = 1; errors.Next(first, line, kIssueTextSize); first = 0) lines.push_back(line);
    errors.Clear();
    return lines;
  }
  std::wstring One() {
    auto lines = Taken();
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? L"" : lines[0];
  }

  IssueList errors;
  IssueList warnings;
  CCellChecker checker{L"Source", errors, warnings};
};

TEST_F(CellCheckerTest, EmptyAndBlankCells) {
  for (const wchar_t* text : {L"", L"   ", L"\t \n", static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_EQ(checker.CheckLong(6, 1, L"Month", text, 1, 12), 0);
    EXPECT_EQ(One(), L"Source [B7]: Empty Month cell");
  }
  EXPECT_EQ(checker.CheckFloat(0, 0, L"Slope", L" ", 0, 1), 0);
  EXPECT_EQ(One(), L"Source [A1]: Empty Slope cell");
  EXPECT_EQ(checker.CheckULong(0, 0, L"X", L"", 0, 1), 0);
  EXPECT_EQ(One(), L"Source [A1]: Empty X cell");
  EXPECT_EQ(warnings.Count(), 0);
}

TEST_F(CellCheckerTest, CheckLong) {
  int32_t value = 0;
  EXPECT_EQ(checker.CheckLong(0, 2, L"Day", L"12", 1, 99, &value), 1);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(checker.CheckLong(0, 2, L"Day", L"  12  ", 1, 99), 1);
  EXPECT_EQ(checker.CheckLong(0, 2, L"Day", L"+12", 1, 99), 1);
  EXPECT_TRUE(Taken().empty());
  for (const wchar_t* text : {L"12a", L"abc", L"-", L"1 2", L"1.5"}) {
    EXPECT_EQ(checker.CheckLong(0, 2, L"Day", text, 1, 99), 0) << text;
    EXPECT_EQ(One(), L"Source [C1]: Day cell not a number") << text;
  }
  for (const wchar_t* text : {L"0", L"-5", L"100"}) {
    EXPECT_EQ(checker.CheckLong(0, 2, L"Day", text, 1, 99), 0) << text;
    EXPECT_EQ(One(), L"Source [C1]: Day cell value out of range [1,99]") << text;
  }
  // Values beyond 32 bits clamp to its limits, as a 32-bit long does.
  EXPECT_EQ(checker.CheckLong(0, 0, L"X1", L"3000000000", 1, 2147483647, &value), 1);
  EXPECT_EQ(value, 2147483647);
  EXPECT_EQ(checker.CheckLong(0, 0, L"X1", L"-3000000000", INT32_MIN, 0, &value), 1);
  EXPECT_EQ(value, INT32_MIN);
  EXPECT_EQ(checker.CheckLong(0, 0, L"X1", L"-3000000000", -5, 0), 0);
  EXPECT_EQ(One(), L"Source [A1]: X1 cell value out of range [-5,0]");
}

TEST_F(CellCheckerTest, CheckULong) {
  uint32_t value = 0;
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"3", 0, 3, &value), 1);
  EXPECT_EQ(value, 3u);
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"4", 0, 3), 0);
  EXPECT_EQ(One(), L"Source [D2]: Kind cell value out of range [0,3] 4");
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"-1", 0, 3, &value), 0);
  EXPECT_EQ(value, 4294967295u);
  EXPECT_EQ(One(), L"Source [D2]: Kind cell value out of range [0,3] 4294967295");
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"99999999999", 0, 3), 0);
  EXPECT_EQ(One(), L"Source [D2]: Kind cell value out of range [0,3] 4294967295");
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"4294967295", 0, 4294967295u), 1);
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"-4294967295", 0, 3, &value), 1);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"x1", 0, 3), 0);
  EXPECT_EQ(One(), L"Source [D2]: Kind cell not a number");
}

TEST_F(CellCheckerTest, CheckFloat) {
  double value = 0;
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"1.5e3", 0, 1e9f, &value), 1);
  EXPECT_EQ(value, 1500);
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L" -0 ", 0, 1e9f), 1);
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"1,5", 0, 1e9f), 0);
  EXPECT_EQ(One(), L"Source [AB3]: Height cell not a number");
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"2e9", 0, 1e9f), 0);
  EXPECT_EQ(One(), L"Source [AB3]: Height cell value out of range [0,1e+09]");
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"-1e300", -FLT_MAX, FLT_MAX), 0);
  EXPECT_EQ(One(), L"Source [AB3]: Height cell value out of range [-3.40282e+38,3.40282e+38]");
  // A NaN would pass every bound.
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"nan", -FLT_MAX, FLT_MAX), 0);
  EXPECT_EQ(One(), L"Source [AB3]: Height cell not a number");
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"inf", -FLT_MAX, FLT_MAX), 0);
  EXPECT_EQ(One(), L"Source [AB3]: Height cell value out of range [-3.40282e+38,3.40282e+38]");
}

TEST_F(CellCheckerTest, CheckStrLen) {
  std::wstring fits(47, L'a');
  std::wstring over(48, L'a');
  EXPECT_EQ(checker.CheckStrLen(4, 0, L"Name", fits.c_str(), 48), 1);
  EXPECT_EQ(checker.CheckStrLen(4, 0, L"Name", L"", 48), 1);
  EXPECT_EQ(checker.CheckStrLen(4, 0, L"Name", nullptr, 48), 1);
  EXPECT_TRUE(Taken().empty());
  EXPECT_EQ(checker.CheckStrLen(4, 0, L"Name", over.c_str(), 48), 0);
  EXPECT_EQ(One(), L"Source [A5]: To long string for Name. Max is 47");
  EXPECT_EQ(checker.CheckStrLen(4, 0, L"Name", std::wstring(100000, L'a').c_str(), 0), 1);
}

TEST_F(CellCheckerTest, TheSheetNameIsTheCheckersOwnCopy) {
  std::wstring name = L"Grid.north";
  IssueList list;
  CCellChecker own(name.c_str(), list, warnings);
  name.assign(L"changed");
  EXPECT_STREQ(own.Sheet(), L"Grid.north");
  own.CheckLong(0, 0, L"V", L"x", 0, 1);
  wchar_t line[kIssueTextSize];
  ASSERT_EQ(list.Next(1, line, kIssueTextSize), 1);
  EXPECT_STREQ(line, L"Grid.north [A1]: V cell not a number");
}

}  // namespace
