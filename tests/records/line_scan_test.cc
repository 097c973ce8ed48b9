// Keyword lines: the scanners over a real reply, the quick line reader against swscanf, float texts against "%.*g"
// with the fewest digits that read back; grid lines split. (The dynamic writers: the round trips of tests/e2e.)
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <limits>
#include <random>
#include <string>

#include "record_fixture.h"
#include "records/alob.h"
#include "records/code_string.h"
#include "records/dynamic.h"
#include "records/float_text.h"
#include "records/grid.h"
#include "records/line_scan.h"
#include "records/scanners.h"
#include "transport/latin1.h"

namespace records_test {
namespace {

class ScannerTest : public RecordTest {
 protected:
  // What one scan gave: the text or value, or "#r" for a result r other than 1.
  template <class Scan>
  static std::wstring Took(Scan scan) {
    wchar_t out[64];
    wcscpy(out, L"junk");
    int32_t r = scan(out);
    return r == 1 ? std::wstring(out) : L"#" + std::to_wstring(r);
  }
  template <class T, class Scan>
  static std::wstring Number(Scan scan) {
    T value{};
    int32_t r = scan(&value);
    return r == 1 ? std::to_wstring(value) : L"#" + std::to_wstring(r);
  }
};

TEST_F(ScannerTest, QuotedTextEmptyUnquotedAndMissing) {
  Serve("NAME \"Road 1\"\nNAME \"\"\nNAME\nNAME plain\nNAME   \"a b\"\nINDEX 4\n");
  auto name = [](wchar_t* out) { return GetKeyString(L"K", true, L"r", L"NAME", out, 20); };
  // An unquoted value is not taken.
  for (const wchar_t* expected : {L"Road 1", L"", L"", L"", L"a b"}) EXPECT_EQ(Took(name), expected);
  EXPECT_EQ(Took(name), L"#-1");
  EXPECT_EQ(Error(), "K (r): Error in NAME: INDEX 4\n");
  // End of reply: 0 when not required, the out-of-data message when required.
  EXPECT_EQ(Took([](wchar_t* out) { return GetKeyString(L"K", false, L"r", L"NAME", out, 20); }), L"#0");
  Serve("INDEX four\n");
  EXPECT_EQ(Number<uint16_t>([](uint16_t* v) { return GetKeyUShort(L"TIMEVAR", L"Weekday", L"INDEX", v); }), L"#-1");
  EXPECT_EQ(Error(), "TIMEVAR (Weekday): Error in INDEX: INDEX four\n");
  EXPECT_EQ(Took([](wchar_t* out) { return GetKeyString(L"SOURCE", true, L"S1", L"NAME", out, 20); }), L"#-1");
  EXPECT_EQ(Error(), "SOURCE (S1): Out of data scanning NAME\n");
}

TEST_F(ScannerTest, TextIsCutToSizeMinusOneWithoutWritingPastTheField) {
  Serve("NAME \"abcdefgh\"\nNAME \"" + std::string(300, 'n') + "\"\nFORMULA 123456789\nCODE 1234567xyz\n");
  wchar_t out[8];
  ASSERT_EQ(GetKeyString(L"K", true, L"r", L"NAME", out, 5), 1);
  EXPECT_STREQ(out, L"abcd");
  ASSERT_EQ(GetKeyString(L"K", true, L"r", L"NAME", out, 8), 1);
  EXPECT_EQ(std::wstring(out), std::wstring(7, L'n'));
  wchar_t field[12];
  wmemset(field, L'#', 12);
  ASSERT_EQ(GetKeyText(L"K", true, KeyTextRest, L"r", L"FORMULA", field, 6), 1);
  EXPECT_STREQ(field, L"12345");
  EXPECT_EQ(field[6], L'#');
  wmemset(field, L'#', 12);
  ASSERT_EQ(GetKeyText(L"K", true, KeyTextNonLetters, L"r", L"CODE", field, 4), 1);
  EXPECT_STREQ(field, L"123");
  EXPECT_EQ(field[4], L'#');
}

TEST_F(ScannerTest, TextModes) {
  Serve("FORMULA a+b*2\nFORMULA\nFORMULA  x\nFORMULAx\nOTHER 1\nCODE 12.5 kg\nCODE abc\nCODE\nOTHER 1\n");
  auto rest = [](wchar_t* out) { return GetKeyText(L"K", true, KeyTextRest, L"r", L"FORMULA", out, 64); };
  // Exactly one character after the keyword is skipped.
  for (const wchar_t* expected : {L"a+b*2", L"", L" x", L"", L"#-1"}) EXPECT_EQ(Took(rest), expected);
  EXPECT_EQ(Error(), "K (r): Error in FORMULA: OTHER 1\n");
  auto code = [](wchar_t* out) { return GetKeyText(L"K", true, KeyTextNonLetters, L"r", L"CODE", out, 64); };
  for (const wchar_t* expected : {L"12.5 ", L"", L"", L"#-1"}) EXPECT_EQ(Took(code), expected);
  EXPECT_EQ(Error(), "K (r): Error in CODE: OTHER 1\n");
  EXPECT_EQ(Took([](wchar_t* out) { return GetKeyText(L"K", false, KeyTextNonLetters, L"r", L"CODE", out, 64); }),
            L"#0");
}

TEST_F(ScannerTest, NumbersAndTheirRanges) {
  Serve("SUBSTANCE -5\nSUBSTANCE 2147483647\nSUBSTANCE 3000000000\n"
        "INDEX 4294967295\nINDEX 4294967296\nINDEX 65535\nHEIGHT 12.5\nHEIGHT high\n");
  auto substance = [](int32_t* v) { return GetKeyLong(L"K", L"r", L"SUBSTANCE", v); };
  for (const wchar_t* expected : {L"-5", L"2147483647", L"#-1"}) EXPECT_EQ(Number<int32_t>(substance), expected);
  EXPECT_EQ(Error(), "K (r): Error in SUBSTANCE: SUBSTANCE 3000000000\n");
  auto index = [](uint32_t* v) { return GetKeyULong(L"K", L"r", L"INDEX", v); };
  for (const wchar_t* expected : {L"4294967295", L"#-1"}) EXPECT_EQ(Number<uint32_t>(index), expected);
  EXPECT_EQ(Number<uint16_t>([](uint16_t* v) { return GetKeyUShort(L"K", L"r", L"INDEX", v); }), L"65535");
  auto height = [](float* v) { return GetKeyFloat(L"K", L"r", L"HEIGHT", v); };
  for (const wchar_t* expected : {L"12.500000", L"#-1", L"#-1"}) EXPECT_EQ(Number<float>(height), expected);
  EXPECT_EQ(Error(), "K (r): Out of data scanning HEIGHT\n");
}

TEST_F(ScannerTest, DynamicInEveryDynamicScanner) {
  Serve("NOCARS DYNAMIC\nNOCARS 12\nNOCARS many\n"
        "VEHICLE DYNAMIC\nVEHICLE \"Car\"\nVEHICLE Car\nOTHER x\n"
        "GEOCODE DYNAMIC\nGEOCODE\nGEOCODE 0180 0114\nGEOCODE \n");
  auto nocars = [](int32_t* v) { return GetKeyLongDynamic(L"ROAD", L"E4", L"NOCARS", v); };
  for (const wchar_t* expected : {L"-1", L"12", L"#-1"}) EXPECT_EQ(Number<int32_t>(nocars), expected);
  EXPECT_EQ(Error(), "ROAD (E4): Error in NOCARS: NOCARS many\n");

  auto vehicle = [](wchar_t* out) { return GetKeyStringDynamic(L"ROAD", L"E4", L"VEHICLE", out, 32); };
  EXPECT_EQ(Took(vehicle), DynamicMarker);
  EXPECT_EQ(Took([](wchar_t* out) { return GetKeyStringDynamic(L"ROAD", L"E4", L"VEHICLE", out, 4); }), L"Car");
  EXPECT_EQ(Took(vehicle), L"") << "an unquoted value other than DYNAMIC is dropped";
  EXPECT_EQ(Took(vehicle), L"#-1");
  EXPECT_EQ(Error(), "ROAD (E4): Error in VEHICLE: OTHER x\n");

  CodeString code;
  for (const wchar_t* expected : {L"VELDRAN_DYNAMIC", L"", L"0180 0114", L""}) {
    ASSERT_EQ(GetKeyCodeDynamic(L"SOURCE", L"S", L"GEOCODE", &code), 1);
    EXPECT_STREQ(code.Text(), expected);
  }
  EXPECT_EQ(GetKeyCodeDynamic(L"SOURCE", L"S", L"GEOCODE", &code), -1);
  EXPECT_EQ(Error(), "SOURCE (S): Out of data scanning GEOCODE\n");
  std::wstring longCode(1000, L'7');  // a code grows to what it holds
  ASSERT_EQ(CopyCode(&code, longCode.c_str()), 0);
  EXPECT_EQ(std::wstring(code.Text()), longCode);
}

TEST_F(ScannerTest, AttributeLinesUpTo254Characters) {
  std::string ok(254, 'a');
  std::string tooLong(255, 'b');
  Serve("a\nb\nc\n" + ok + "\n" + tooLong + "\nx\n");
  Alob alob;
  ASSERT_EQ(GetAlob(&alob, 3, L"S1"), 0);
  EXPECT_STREQ(alob.Text(), L"a\nb\nc");
  ASSERT_EQ(GetAlob(&alob, 1, L"S1"), 0);
  EXPECT_EQ(std::wstring(alob.Text()), std::wstring(254, L'a'));
  EXPECT_EQ(GetAlob(&alob, 1, L"S1"), -1);
  EXPECT_EQ(Error(), "ALOB must be less than 255 chars: " + tooLong + "\n");
  ClearErrorText();
  EXPECT_EQ(GetAlob(&alob, 2, L"S1"), -1) << "the reply ends after one more line";
  EXPECT_EQ(Error(), "") << "a missing line leaves the message to the caller";
  EXPECT_EQ(GetAlob(&alob, 0, L"S1"), 0);
  EXPECT_STREQ(alob.Text(), L"");
}

TEST_F(ScannerTest, LinesLongerThanTheBufferAreRefused) {
  std::string fits = "FORMULA " + std::string(MaxRecordLine - 8, 'f');
  std::string tooLong = "FORMULA " + std::string(MaxRecordLine - 7, 'g');
  std::string huge = "FORMULA " + std::string(3 * LineBufferSize, 'h');
  Serve(fits + "\n" + tooLong + "\n");
  static wchar_t out[LineBufferSize + 8];
  wmemset(out, L'#', LineBufferSize + 8);
  ASSERT_EQ(GetKeyText(L"EMFAC", true, KeyTextRest, L"f", L"FORMULA", out, LineBufferSize), 1);
  EXPECT_EQ(wcslen(out), MaxRecordLine - 8);
  EXPECT_EQ(GetKeyText(L"EMFAC", true, KeyTextRest, L"f", L"FORMULA", out, LineBufferSize), -1);
  EXPECT_NE(Error().find("Line longer than 8095 characters refused: FORMULA ggg"), std::string::npos) << Error();
  EXPECT_NE(Error().find("EMFAC (f): Out of data scanning FORMULA\n"), std::string::npos) << Error();
  EXPECT_EQ(out[LineBufferSize], L'#');

  Serve(huge + "\n");
  wchar_t name[20];
  EXPECT_EQ(GetKeyString(L"EMFAC", false, L"", L"FORMULA", name, 20), -1);
  EXPECT_NE(Error().find("refused"), std::string::npos) << Error();
}

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

      // A keyword and one number to the line's end, as the readers take "SUBSTANCE %d %n", "VEHICLE %u %n" and
      // " %f %n": where the quick step answers, the wide scan gives the same value and ends at the line's end.
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
}  // namespace records_test
