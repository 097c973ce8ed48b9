// The frame: error text handling, VKError's cutting, the user text of VKInit,
// the diagnostic log, and the issue lists with their exports (the 256-issue
// limit with "and so on...", cell names, lines cut to their buffers, the
// cursor and the entry info).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/frame.h"
#include "host/issue_list.h"
#include "verification_fixture.h"
#include "vorkabcom.h"

namespace {

std::string TakeError(int32_t size) {
  std::string buffer(static_cast<size_t>(size) + 8, '#');
  VKError(&buffer[0], size);
  EXPECT_EQ(buffer.substr(static_cast<size_t>(size)), std::string(8, '#')) << "written past the buffer";
  return std::string(buffer.c_str());
}

TEST(ErrorText, SetAppendClear) {
  SetErrorText("first %d", 1);
  AppendErrorText("second");
  EXPECT_STREQ(GetErrorText(), "first 1\nsecond");
  ClearErrorText();
  AppendErrorText("alone");
  EXPECT_STREQ(GetErrorText(), "alone");
  std::string huge(ErrorTextSize * 2, 'e');
  SetErrorText("%s", huge.c_str());
  EXPECT_EQ(std::string(GetErrorText()).size(), ErrorTextSize - 1);
  AppendErrorText("more");  // a full text stays full and terminated
  EXPECT_EQ(std::string(GetErrorText()).size(), ErrorTextSize - 1);
  ClearErrorText();
}

TEST(VKError, CopiesCutsAndEmpties) {
  SetErrorText("short");
  EXPECT_EQ(TakeError(100), "short");
  EXPECT_EQ(TakeError(100), "");  // the second call finds it empty

  SetErrorText("abcdefghijklmnopqrst");  // 20 characters
  EXPECT_EQ(TakeError(10), "abcde...");
  SetErrorText("abcdefghij");
  EXPECT_EQ(TakeError(10), "abcde...");
  SetErrorText("abcdefghi");
  EXPECT_EQ(TakeError(10), "abcdefghi");
}

TEST(VKError, TinyBuffersAreNeverOverrun) {
  for (int32_t size = 1; size <= 5; ++size) {
    SetErrorText("a long error text");
    std::string got = TakeError(size);
    EXPECT_LE(got.size(), static_cast<size_t>(size - 1));
    EXPECT_EQ(got, std::string(got.size(), '.').substr(0, got.size()));
  }
  SetErrorText("x");
  VKError(nullptr, 10);
  EXPECT_STREQ(GetErrorText(), "");
  SetErrorText("x");
  char c = '#';
  VKError(&c, 0);
  EXPECT_EQ(c, '#');
}

// (A null password refused: the Wine program's Dll.FirstLoginOfTheProcessAnswersOneLaterOnesZero.)
TEST(VKInit, LogThatCannotBeOpened) {
  wchar_t user[] = L"anna,1,/nonexistent-dir/x.log";
  EXPECT_EQ(VKInit(user, L"pw", L"", L"k:http://127.0.0.1:1", L"", L"", 0), -1);
  EXPECT_EQ(DebugLevel, 0);
  EXPECT_STREQ(user, L"anna");
  EXPECT_EQ(TakeError(512), "Can't open debug (1) log file \"/nonexistent-dir/x.log\": No such file or directory");
}

TEST(VKAbout, BannerFlagAndServer) {
  wchar_t text[600];
  wchar_t server[256];
  int32_t flag = 0;
  int32_t size = VKAbout(text, &flag, server);  // (the flag and the server: the Wine program's Dll.About...)
  std::wstring banner = text;
  ASSERT_EQ(banner.rfind(L"Vorkab v5.01.25\n", 0), 0u);
  // The transport's identification, one short line: here the stand-in's.
  std::wstring identification = banner.substr(16);
  EXPECT_EQ(identification.rfind(L"libcurl/", 0), 0u);
  EXPECT_NE(identification.find(L"(WinINet substitute)"), std::wstring::npos);
  EXPECT_EQ(identification.find(L'\n'), std::wstring::npos);
  EXPECT_EQ(static_cast<size_t>(size), identification.size() + 1);
  EXPECT_LE(identification.size(), 255u);
}

std::wstring Cell(int32_t row, int32_t column) {
  wchar_t name[kCellNameSize];
  CellName(row, column, name, kCellNameSize);
  return name;
}

std::wstring Line(IssueList& list, int32_t first) {
  wchar_t buffer[kIssueTextSize + 8];
  if (list.Next(first, buffer, static_cast<int32_t>(kIssueTextSize + 8)) != 1) return L"<none>";
  return buffer;
}

TEST(CellName, ColumnLettersAndRowNumbers) {
  const struct {
    int32_t row, column;
    const wchar_t* name;
  } cases[] = {{0, 0, L"A1"},   {9, 27, L"AB10"},   {0, 25, L"Z1"},      {0, 26, L"AA1"},     {0, 701, L"ZZ1"},
               {4, -1, L"5"},   {-1, 3, L"D"},      {-1, -1, L""},       {-7, -100, L""},     {0, 702, L"AAA1"},
               {0, 18277, L"ZZZ1"}, {0, 16383, L"XFD1" /* the spreadsheet's last column */}, {0, 18278, L"AAAA1"},
               {2147483646, 2147483647, L"FXSHRXX2147483647"}};
  for (const auto& c : cases) EXPECT_EQ(Cell(c.row, c.column), c.name) << c.row << "," << c.column;
}

TEST(CellName, CutToTheBuffer) {
  wchar_t small[4] = {L'#', L'#', L'#', L'#'};
  CellName(9, 27, small, 3);
  EXPECT_STREQ(small, L"AB");
  EXPECT_EQ(small[3], L'#');
}

TEST(IssueList, LimitAndAndSoOn) {
  IssueList list;
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(list.Add(L"S", i, 1, L"issue %d", i));
  EXPECT_FALSE(list.IsFull());
  EXPECT_FALSE(list.Add(L"T", 300, 2, L"issue %d", 256));  // the "and so on..." entry
  EXPECT_TRUE(list.IsFull());
  for (int i = 257; i < 300; ++i) EXPECT_FALSE(list.Add(L"S", i, 1, L"issue %d", i));
  std::vector<std::wstring> lines = IssueTexts(list);
  EXPECT_EQ(lines.size(), 257u);
  EXPECT_EQ(lines.back(), L"T [C301]: and so on...");  // place of the first issue that did not fit

  list.Clear();
  EXPECT_FALSE(list.IsFull());
  EXPECT_TRUE(list.Add(L"S", 0, 0, L"again"));
  EXPECT_EQ(IssueTexts(list), std::vector<std::wstring>{L"S [A1]: again"});
}

TEST(IssueList, MessagesAndLinesHoldAtMost255Characters) {
  IssueList list;
  std::wstring longText(400, L'm');
  EXPECT_TRUE(list.Add(L"Road", 0, 0, L"%ls", longText.c_str()));
  wchar_t message[300];
  ASSERT_EQ(list.GetInfo(0, nullptr, 0, nullptr, nullptr, message, 300), 1);
  EXPECT_EQ(std::wstring(message), longText.substr(0, 255));
  std::wstring line = Line(list, 1);
  EXPECT_EQ(line.size(), 255u);
  EXPECT_EQ(line.substr(0, 12), L"Road [A1]: m");
}

// The exports work on the process-wide lists; each test starts them empty.
using IssueExports = VerificationTest;

TEST_F(IssueExports, ListErrorWithSmallOrMissingBuffers) {
  ErrorList.Add(L"Source", 11, 2, L"Unknown timevar");
  wchar_t buffer[16];
  EXPECT_EQ(VKListError(1, nullptr, 10), 0);  // no buffer, or one of no size
  EXPECT_EQ(VKListError(1, buffer, 0), 0);
  EXPECT_EQ(VKListError(1, buffer, -5), 0);
  for (wchar_t& c : buffer) c = L'#';
  ASSERT_EQ(VKListError(1, buffer, 10), 1);
  EXPECT_STREQ(buffer, L"Source [C");  // the first 9 characters
  EXPECT_EQ(buffer[10], L'#');
  EXPECT_EQ(VKListError(0, buffer, 10), 0);

  for (wchar_t& c : buffer) c = L'#';
  ASSERT_EQ(VKListError(1, buffer, 1), 1);  // an empty line; the cursor still advances
  EXPECT_EQ(buffer[0], L'\0');
  EXPECT_EQ(buffer[1], L'#');
  EXPECT_EQ(VKListError(0, buffer, 1), 0);
}

TEST_F(IssueExports, CursorSurvivesBetweenCallsAndListsAreSeparate) {
  ErrorList.Add(L"E", 0, 0, L"e1");
  ErrorList.Add(L"E", 1, 0, L"e2");
  WarningList.Add(L"W", 0, 1, L"w1");
  wchar_t buffer[64];
  ASSERT_EQ(VKListError(1, buffer, 64), 1);
  EXPECT_STREQ(buffer, L"E [A1]: e1");
  ASSERT_EQ(VKListWarning(1, buffer, 64), 1);
  EXPECT_STREQ(buffer, L"W [B1]: w1");
  EXPECT_EQ(VKListWarning(0, buffer, 64), 0);
  EXPECT_STREQ(buffer, L"W [B1]: w1");  // untouched at the end
  ASSERT_EQ(VKListError(0, buffer, 64), 1);
  EXPECT_STREQ(buffer, L"E [A2]: e2");
  EXPECT_EQ(VKListError(0, buffer, 64), 0);

  // New entries after the end are picked up by a continue call.
  ErrorList.Add(L"E", 2, 0, L"e3");
  ASSERT_EQ(VKListError(0, buffer, 64), 1);
  EXPECT_STREQ(buffer, L"E [A3]: e3");
}

TEST_F(IssueExports, GetInfoIsOneBasedAndFitsItsBuffers) {
  ErrorList.Add(L"Source", 11, 2, L"x");
  ErrorList.Add(L"Facility", -1, -1, L"y");
  ErrorList.Add(std::wstring(100, L's').c_str(), INT32_MAX, INT32_MAX, L"far away");
  WarningList.Add(L"Searchkey", 5, -1, L"z");
  auto info = [](int32_t (*get)(int32_t, int32_t*, int32_t*, wchar_t*), int32_t n) {
    wchar_t sheet[kIssueSheetSize + 4];
    for (wchar_t& c : sheet) c = L'#';
    int32_t row = -9, column = -9;
    if (get(n, &row, &column, sheet) != 1) return std::wstring(L"none");
    EXPECT_EQ(sheet[kIssueSheetSize], L'#');
    EXPECT_EQ(get(n, nullptr, nullptr, sheet), 1) << "no place wanted";
    return std::wstring(sheet) + L" " + std::to_wstring(row) + L" " + std::to_wstring(column);
  };
  EXPECT_EQ(info(VKGetErrorInfo, 0), L"Source 12 3");
  EXPECT_EQ(info(VKGetErrorInfo, 1), L"Facility 0 0");
  // The sheet cut to its buffer, the place past the last row without overflow.
  const std::wstring far = std::to_wstring(INT32_MAX);
  EXPECT_EQ(info(VKGetErrorInfo, 2), std::wstring(kIssueSheetSize - 1, L's') + L" " + far + L" " + far);
  EXPECT_EQ(info(VKGetErrorInfo, 3), L"none");
  EXPECT_EQ(info(VKGetErrorInfo, -1), L"none");
  EXPECT_EQ(info(VKGetWarningInfo, 0), L"Searchkey 6 0");
  EXPECT_EQ(info(VKGetWarningInfo, 1), L"none");
}

}  // namespace
