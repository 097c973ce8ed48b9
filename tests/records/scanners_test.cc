// The keyword-line scanners, DYNAMIC fields, attribute lines and codes over a real reply. (Their writers: the grid,
// company and road round trips of tests/e2e.)
#include <string>

#include "record_fixture.h"
#include "records/alob.h"
#include "records/code_string.h"
#include "records/dynamic.h"
#include "records/scanners.h"

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

}  // namespace
}  // namespace records_test
