// The fast text paths against the C library: the quick line reader against swscanf with the old patterns, float texts
// against "%.*g" with the fewest digits (6..9) that read back; grid lines split.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <limits>
#include <random>
#include <string>

#include "records/float_text.h"
#include "records/grid.h"
#include "records/line_scan.h"
#include "records/scanners.h"
#include "transport/latin1.h"

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

      // A keyword and one number up to the end of the line, as the record readers take "SUBSTANCE %d %n", "VEHICLE %u
      // %n" and " %f %n": where the quick step answers, the wide scan gives the same value and ends at the line's
      // end.
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

std::string PrintfText(float value) {
  char text[64];
  if (!std::isfinite(value)) {
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
  }
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

void ExpectPrintfText(float value) {
  char narrow[32];
  size_t n = FloatChars(value, narrow);
  std::string want = PrintfText(value);
  EXPECT_EQ(std::string(narrow, n), want) << "bits " << std::hex << [value] {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }();
  EXPECT_EQ(Narrow(FloatText(value).c_str()), want);
}

TEST(FloatChars, GivesWhatPrintfGives) {
  const float special[] = {0.0f, -0.0f, 1.0f, 0.1f, 1.2345678f, 16777217.0f, 100000.0f, 1e6f, 123456.7f,
                           999999.0f, 999999.5f, 9999999.0f, 0.0001f, 0.00009999f, 1e-5f, 9.9999999e-5f,
                           FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 1e-40f, 3e38f, 120.0f, -2.5f,
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::nanf("")};
  for (float value : special) ExpectPrintfText(value);
  std::mt19937 rng(19);
  for (int i = 0; i < 100000 && !HasFailure(); ++i) {
    uint32_t bits = static_cast<uint32_t>(rng());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    ExpectPrintfText(value);
  }
  // Decimals of 1 to 7 digits at every decimal exponent a float reaches, and their neighbouring floats.
  for (int i = 0; i < 100000 && !HasFailure(); ++i) {
    int digits = 1 + static_cast<int>(rng() % 7);
    long mantissa = static_cast<long>(rng() % 10000000) % static_cast<long>(std::pow(10, digits));
    int exponent = static_cast<int>(rng() % 80) - 45;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lde%d", rng() % 2 ? "-" : "", mantissa, exponent);
    float value = std::strtof(text, nullptr);
    ExpectPrintfText(value);
    ExpectPrintfText(std::nextafter(value, 0.0f));
    ExpectPrintfText(std::nextafter(value, FLT_MAX));
  }
}

TEST(GridDataLine, SplitsAtEveryAtSignUpToTheFieldsAGridCarries) {
  std::wstring most = L"1";
  for (int i = 1; i < GridMaxFields; ++i) most += L"@1";
  const struct {
    std::wstring line;
    GridFields fields;
  } cases[] = {
      {L"12@34@1.5\n", {L"12", L"34", L"1.5"}},
      {L"12@34@@North@", {L"12", L"34", L"", L"North", L""}},
      {L"7", {L"7"}},
      {most, GridFields(GridMaxFields, L"1")},
  };
  GridFields fields{L"left", L"over", L"from", L"before", L"x", L"y"};
  for (const auto& c : cases) {
    ASSERT_TRUE(SplitGridLine(c.line.c_str(), &fields));
    EXPECT_EQ(fields, c.fields);
  }
  EXPECT_FALSE(SplitGridLine((most + L"@1").c_str(), &fields));
}

}  // namespace
