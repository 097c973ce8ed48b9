// The quick line reader must give what swscanf with the old pattern gives, value and match.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "records/line_scan.h"
#include "records/scanners.h"

namespace {

const wchar_t* const kLines[] = {
    L"INDEX 42", L"INDEX\t-17  tail", L"INDEX+8", L"INDEX", L"INDEX ", L"INDEX x", L"INDEX -", L"INDEX 12abc",
    L"INDEX 99999999999999999999999", L"INDEX 000000000000000000000007", L"INDEX\x00a0" L"5", L"INDEX\x001c" L"5",
    L"INDEXES 3", L"INDE", L"index 4", L"INDEX 0x1A", L"INDEX 1.5", L"INDEX 1e5", L"INDEX 1e", L"INDEX 1e+",
    L"INDEX .5", L"INDEX 5.", L"INDEX -0.0", L"INDEX 1e400", L"INDEX 1e-400", L"INDEX inf", L"INDEX nan",
    L"INDEX 3.4028235e38", L"INDEX 0.1 0.2", L"INDEX 1.5x", L"INDEX 0x1p3", L"INDEX 123456789012345678901234567890.5",
    L"NAME \"Road 1\"", L"NAME \"\"", L"NAME", L"NAME plain", L"NAME   \"a b", L"NAME\"x\"", L"NAME \"\x00e9t\x00e9\"",
    L"NAME \x00a0\"x\"", L"NAME \"a\tb\" c", L"NAME  -12.5 kg/h", L"NAME word\x0085tail", L"NAME  \t ", L"NAMEword",
    L"INDEX 2147483647", L"INDEX -2147483648", L"INDEX 2147483648", L"INDEX 999999999", L"INDEX 1000000000 ",
    L"INDEX 16777217", L"INDEX 0.1000000015", L"INDEX 3.40282357e38", L"INDEX 1e-45", L"INDEX 1e-46", L"INDEX 7\t",
    L"INDEX 7\x00a0", L"INDEX -5 ", L"INDEX +5", L"INDEX 12.5 ", L"INDEX 1.17549435e-38",
};

const wchar_t* const kKeywords[] = {L"INDEX", L"NAME", L""};

std::wstring Pattern(const wchar_t* keyword, const wchar_t* rest) { return keyscan::Pattern(keyword, rest); }

TEST(LineScanTest, QuickScannersGiveWhatTheWideScanGives) {
  int answered[3] = {0, 0, 0};
  for (const wchar_t* keyword : kKeywords) {
    for (const wchar_t* line : kLines) {
      SCOPED_TRACE(testing::Message() << "keyword '" << std::string(keyword, keyword + wcslen(keyword)) << "', line "
                                      << ::testing::PrintToString(std::wstring(line)));
      long long integer = -1, wantInteger = -1;
      bool gotInteger = keyscan::ScanKeyInteger(line, keyword, &integer);
      bool wantGotInteger = swscanf(line, Pattern(keyword, L" %lld").c_str(), &wantInteger) == 1;
      EXPECT_EQ(gotInteger, wantGotInteger);
      if (gotInteger && wantGotInteger) {
        EXPECT_EQ(integer, wantInteger);
      }

      double decimal = -1, wantDecimal = -1;
      bool gotDecimal = keyscan::ScanKeyDecimal(line, keyword, &decimal);
      bool wantGotDecimal = swscanf(line, Pattern(keyword, L" %lf").c_str(), &wantDecimal) == 1;
      EXPECT_EQ(gotDecimal, wantGotDecimal);
      if (gotDecimal && wantGotDecimal) {
        EXPECT_EQ(std::memcmp(&decimal, &wantDecimal, sizeof decimal), 0);
      }

      static wchar_t want[8096];
      wchar_t got[8];  // a field shorter than most values: the cut is compared too
      struct {
        bool (*scan)(const wchar_t*, const wchar_t*, wchar_t*, size_t);
        const wchar_t* rest;
      } texts[] = {{keyscan::ScanQuoted, L"  \"%8095l[^\"]"}, {keyscan::ScanWord, L" %8095ls"}};
      for (const auto& text : texts) {
        wcscpy(got, L"junk");
        bool took = text.scan(line, keyword, got, 8);
        bool wantTook = swscanf(line, Pattern(keyword, text.rest).c_str(), want) == 1;
        EXPECT_EQ(took, wantTook);
        if (took && wantTook) {
          EXPECT_EQ(std::wstring(got), std::wstring(want).substr(0, 7));
        }
      }

      // A keyword and one number up to the end of the line, as the record
      // readers take "SUBSTANCE %d %n", "VEHICLE %u %n" and " %f %n": where
      // the quick step answers, the wide scan gives the same value and ends
      // at the line's end.
      auto agrees = [&](int n, auto step, const wchar_t* rest, auto value) {
        decltype(value) expected = 0;
        int end = -1;
        LineScan scan(line);
        if (!(scan.Keyword(keyword) && (scan.*step)(&value) && scan.AtEnd())) return;
        ++answered[n];
        ASSERT_EQ(swscanf(line, Pattern(keyword, rest).c_str(), &expected, &end), 1);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0);
        EXPECT_EQ(line[end], 0);
      };
      agrees(0, &LineScan::Int32, L" %d %n", int{0});
      agrees(1, &LineScan::Unsigned, L" %u %n", unsigned{0});
      agrees(2, &LineScan::Float, L" %f %n", 0.0f);
    }
  }
  // The plain lines are the quick steps' own: "INDEX 42", "INDEX 7\t" ...
  EXPECT_GE(answered[0], 8);
  EXPECT_GE(answered[1], 4);
  EXPECT_GE(answered[2], 12);
}

TEST(LineScanTest, CursorStepsStopWhereTheScanWould) {
  LineScan scan(L"TYPEDAY\t1.0 2,5  x\x00a0y");
  const wchar_t *begin, *end;
  ASSERT_TRUE(scan.Keyword(L"TYPEDAY"));
  ASSERT_TRUE(scan.Word(&begin, &end));
  EXPECT_EQ(std::wstring(begin, end), L"1.0");
  ASSERT_TRUE(scan.Word(&begin, &end));
  EXPECT_EQ(std::wstring(begin, end), L"2,5");
  EXPECT_FALSE(scan.Word(&begin, &end));  // the no-break space is left to the C library
  EXPECT_FALSE(LineScan::PlainKeyword(L"A B"));
  EXPECT_FALSE(LineScan::PlainKeyword(L"5%"));
  EXPECT_TRUE(LineScan::PlainKeyword(L"VAR.NOX"));
}

}  // namespace
