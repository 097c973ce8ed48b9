// Text, cell names, numbers, error values and dates as workbook files write
// them: escapes for what XML cannot carry, strict UTF-8, the grid's edges and
// numbers that read back exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "xlsx_cell_text.h"
#include "xlsx_text.h"

namespace {

std::string Encoded(const std::wstring& text, xlsx::XmlPlace place = xlsx::XmlPlace::Element) {
  std::string utf8;
  EXPECT_TRUE(xlsx::EncodeText(text, place, &utf8));
  return utf8;
}

std::wstring Decoded(const std::string& utf8) {
  std::wstring text;
  EXPECT_TRUE(xlsx::DecodeText(utf8, &text)) << utf8;
  return text;
}

TEST(XlsxText, CharactersXmlCannotCarryTravelAsEscapes) {
  EXPECT_EQ(Encoded(L"a\u0001b"), "a_x0001_b");
  EXPECT_EQ(Encoded(L"\r\n\t"), "_x000D_\n\t");
  EXPECT_EQ(Encoded(L"\r\n\t", xlsx::XmlPlace::Attribute), "_x000D__x000A__x0009_");
  EXPECT_EQ(Encoded(std::wstring(1, L'\0')), "_x0000_");
  EXPECT_EQ(Encoded(L"\uFFFE\uFFFF"), "_xFFFE__xFFFF_");
  // A literal escape keeps its meaning: its underscore is escaped.
  EXPECT_EQ(Encoded(L"_x0041_"), "_x005F_x0041_");
  EXPECT_EQ(Encoded(L"_x00G1_ _x12"), "_x00G1_ _x12");

  for (std::wstring text : {std::wstring(L"a\u0001b\r\n\t_x0041_ _x005F_ \u00e5\u20ac"), std::wstring(1, L'\0'),
                            std::wstring(L"\U0001F600 x \uFFFE")}) {
    for (auto place : {xlsx::XmlPlace::Element, xlsx::XmlPlace::Attribute}) {
      EXPECT_EQ(Decoded(Encoded(text, place)), text);
    }
  }
  // Other writers' lower-case hex digits and escaped surrogate pairs.
  EXPECT_EQ(Decoded("_x001f_"), std::wstring(1, wchar_t(0x1F)));
  EXPECT_EQ(Decoded("_xD83D__xDE00_"), L"\U0001F600");
}

TEST(XlsxText, NonAsciiTextIsUtf8AndUnpairedSurrogatesSurvive) {
  EXPECT_EQ(Encoded(L"\u00c5r \u20ac \U0001F600"), "\xC3\x85r \xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(Decoded("\xC3\x85r \xE2\x82\xAC \xF0\x9F\x98\x80"), L"\u00c5r \u20ac \U0001F600");
  std::wstring lone = L"a";
  lone.push_back(static_cast<wchar_t>(0xD800));
  lone += L"b";
  EXPECT_EQ(Encoded(lone), "a_xD800_b");
  EXPECT_EQ(Decoded(Encoded(lone)), lone);
}

TEST(XlsxText, MalformedUtf8AndValuesBeyondUnicodeAreRefused) {
  std::wstring text;
  for (const char* bad : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80"}) {
    EXPECT_FALSE(xlsx::DecodeText(bad, &text)) << bad;
  }
  if (sizeof(wchar_t) == 4) {
    std::string utf8;
    EXPECT_FALSE(xlsx::EncodeText(std::wstring(1, static_cast<wchar_t>(0x110000)), xlsx::XmlPlace::Element, &utf8));
    EXPECT_EQ(xlsx::ToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
  }
}

TEST(XlsxCellText, CellNamesCoverExactlyTheGrid) {
  EXPECT_EQ(xlsx::CellName(0, 0), "A1");
  EXPECT_EQ(xlsx::CellName(9, 25), "Z10");
  EXPECT_EQ(xlsx::CellName(0, 26), "AA1");
  EXPECT_EQ(xlsx::CellName(kXlRows - 1, kXlColumns - 1), "XFD1048576");
  for (COL c : {0, 25, 26, 701, 702, 16383}) {
    RW row;
    COL column;
    ASSERT_TRUE(xlsx::ParseCellName(xlsx::CellName(7, c), &row, &column));
    EXPECT_EQ(row, 7);
    EXPECT_EQ(column, c);
  }
  RW row;
  COL column;
  EXPECT_TRUE(xlsx::ParseCellName("xfd1048576", &row, &column));
  for (const char* bad : {"XFE1", "A1048577", "A0", "A01", "1A", "A", "", "AAAAA1", "A1B", "A-1", "A99999999999"}) {
    EXPECT_FALSE(xlsx::ParseCellName(bad, &row, &column)) << bad;
  }
  EXPECT_TRUE(xlsx::ParseRowNumber("1048576", &row));
  EXPECT_EQ(row, kXlRows - 1);
  EXPECT_FALSE(xlsx::ParseRowNumber("1048577", &row));
  EXPECT_FALSE(xlsx::ParseRowNumber("0", &row));
}

TEST(XlsxCellText, NumbersReadBackExactly) {
  for (double v : {0.0, -0.0, 1.0, -2.5, 0.1, 1.0 / 3, 123456789012345678.0, 1e-300, 5e-324, 1.7976931348623157e308,
                   45366.5, std::nextafter(1.0, 2.0)}) {
    double back = 0;
    ASSERT_TRUE(xlsx::ParseNumber(xlsx::NumberText(v), &back)) << xlsx::NumberText(v);
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << xlsx::NumberText(v);
  }
  EXPECT_EQ(xlsx::NumberText(0.1), "0.1");
  EXPECT_EQ(xlsx::NumberText(42), "42");
  double v;
  EXPECT_TRUE(xlsx::ParseNumber(" +1.5E3\n", &v));
  EXPECT_EQ(v, 1500);
  for (const char* bad : {"", " ", "1,5", "1.5x", "0x10", "inf", "NaN", "1e999", "+-1", "--1"}) {
    EXPECT_FALSE(xlsx::ParseNumber(bad, &v)) << bad;
  }
}

TEST(XlsxCellText, ErrorValuesAndBooleans) {
  for (int code : {xlerrNull, xlerrDiv0, xlerrValue, xlerrRef, xlerrName, xlerrNum, xlerrNA}) {
    int back = -1;
    ASSERT_NE(xlsx::ErrorName(code), nullptr);
    EXPECT_TRUE(xlsx::ParseErrorName(xlsx::ErrorName(code), &back));
    EXPECT_EQ(back, code);
  }
  EXPECT_STREQ(xlsx::ErrorName(xlerrDiv0), "#DIV/0!");
  EXPECT_EQ(xlsx::ErrorName(43), nullptr);
  int code;
  EXPECT_FALSE(xlsx::ParseErrorName("#SPILL!", &code));
  bool b = false;
  EXPECT_TRUE(xlsx::ParseBoolean("true", &b) && b);
  EXPECT_TRUE(xlsx::ParseBoolean("0", &b) && !b);
  EXPECT_FALSE(xlsx::ParseBoolean("2", &b));
}

TEST(XlsxCellText, IsoDatesBecomeSerialNumbers) {
  double serial = 0;
  ASSERT_TRUE(xlsx::ParseIsoDate("2024-03-15", false, &serial));
  EXPECT_EQ(serial, 45366);
  ASSERT_TRUE(xlsx::ParseIsoDate("2024-03-15T12:00:00Z", false, &serial));
  EXPECT_EQ(serial, 45366.5);
  ASSERT_TRUE(xlsx::ParseIsoDate("2024-03-15T18:00:00.000", false, &serial));
  EXPECT_EQ(serial, 45366.75);
  // Around the phantom 29 February 1900 of the 1900 system.
  ASSERT_TRUE(xlsx::ParseIsoDate("1900-01-01", false, &serial));
  EXPECT_EQ(serial, 1);
  ASSERT_TRUE(xlsx::ParseIsoDate("1900-02-28", false, &serial));
  EXPECT_EQ(serial, 59);
  ASSERT_TRUE(xlsx::ParseIsoDate("1900-03-01", false, &serial));
  EXPECT_EQ(serial, 61);
  ASSERT_TRUE(xlsx::ParseIsoDate("1904-01-02", true, &serial));
  EXPECT_EQ(serial, 1);
  ASSERT_TRUE(xlsx::ParseIsoDate("06:00:00", false, &serial));
  EXPECT_EQ(serial, 0.25);
  for (const char* bad : {"2024-02-30", "2023-13-01", "2024-3-15", "2024-03-15T25:00:00", "2024-03-15 12:00", "x"}) {
    EXPECT_FALSE(xlsx::ParseIsoDate(bad, false, &serial)) << bad;
  }
}

}  // namespace
