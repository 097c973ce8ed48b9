// Text, cell names, numbers, error values and dates as workbook files write
// them, and the forms other writers use.
#include <gtest/gtest.h>

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

// (Whole texts, numbers and error values are carried through files by the
// round-trip tests, and the refusals of cell names, numbers, error values,
// booleans and dates by the reading tests; these are the forms and refusals
// they do not reach.)
TEST(XlsxText, EscapesUtf8AndSurrogates) {
  EXPECT_EQ(Encoded(L"a\u0001b"), "a_x0001_b");
  EXPECT_EQ(Encoded(L"\r\n\t"), "_x000D_\n\t");
  EXPECT_EQ(Encoded(L"\r\n\t", xlsx::XmlPlace::Attribute), "_x000D__x000A__x0009_");
  EXPECT_EQ(Encoded(L"\uFFFE\uFFFF"), "_xFFFE__xFFFF_");
  EXPECT_EQ(Encoded(L"_x0041_"), "_x005F_x0041_");  // a literal escape keeps its meaning
  EXPECT_EQ(Encoded(L"_x00G1_ _x12"), "_x00G1_ _x12");
  std::wstring lone = L"a" + std::wstring(1, static_cast<wchar_t>(0xD800)) + L"b";  // an unpaired surrogate survives
  EXPECT_EQ(Encoded(lone), "a_xD800_b");
  EXPECT_EQ(Decoded(Encoded(lone)), lone);
  std::wstring nul(1, L'\0');
  EXPECT_EQ(Decoded(Encoded(nul, xlsx::XmlPlace::Attribute)), nul);
  // Other writers' lower-case hex digits and escaped surrogate pairs.
  EXPECT_EQ(Decoded("_x001f_"), std::wstring(1, wchar_t(0x1F)));
  EXPECT_EQ(Decoded("_xD83D__xDE00_"), L"\U0001F600");
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

TEST(XlsxCellText, CellNamesNumbersErrorsAndBooleans) {
  EXPECT_EQ(xlsx::CellName(9, 25), "Z10");
  EXPECT_EQ(xlsx::CellName(0, 26), "AA1");
  RW row;
  COL column;
  for (COL c : {701, 702, 16383}) {
    ASSERT_TRUE(xlsx::ParseCellName(xlsx::CellName(7, c), &row, &column));
    EXPECT_EQ(row * 100000 + column, 7 * 100000 + c);
  }
  EXPECT_TRUE(xlsx::ParseCellName("xfd1048576", &row, &column));
  for (const char* bad : {"XFE1", "A1048577", "A0", "A01", "1A", "A", "", "AAAAA1", "A1B", "A-1", "A99999999999"}) {
    EXPECT_FALSE(xlsx::ParseCellName(bad, &row, &column)) << bad;
  }
  EXPECT_TRUE(xlsx::ParseRowNumber("1048576", &row));
  EXPECT_FALSE(xlsx::ParseRowNumber("0", &row));

  EXPECT_EQ(xlsx::NumberText(0.1), "0.1");
  EXPECT_EQ(xlsx::NumberText(42), "42");
  double v;
  EXPECT_TRUE(xlsx::ParseNumber(" +1.5E3\n", &v));
  EXPECT_EQ(v, 1500);
  for (const char* bad : {"", " ", "1,5", "1.5x", "0x10", "inf", "NaN", "1e999", "+-1", "--1"}) {
    EXPECT_FALSE(xlsx::ParseNumber(bad, &v)) << bad;
  }

  EXPECT_STREQ(xlsx::ErrorName(xlerrDiv0), "#DIV/0!");
  EXPECT_EQ(xlsx::ErrorName(43), nullptr);
  bool b = false;
  EXPECT_TRUE(xlsx::ParseBoolean("true", &b) && b);
  EXPECT_TRUE(xlsx::ParseBoolean("0", &b) && !b);
}

TEST(XlsxCellText, IsoDatesBecomeSerialNumbers) {
  const std::pair<const char*, double> dates[] = {
      {"2024-03-15", 45366},        {"2024-03-15T12:00:00Z", 45366.5}, {"2024-03-15T18:00:00.000", 45366.75},
      {"1900-01-01", 1},            {"1900-02-28", 59},  // around the phantom 29 February 1900
      {"1900-03-01", 61},           {"06:00:00", 0.25}};
  double serial = 0;
  for (const auto& d : dates) {
    ASSERT_TRUE(xlsx::ParseIsoDate(d.first, false, &serial)) << d.first;
    EXPECT_EQ(serial, d.second) << d.first;
  }
  ASSERT_TRUE(xlsx::ParseIsoDate("1904-01-02", true, &serial));
  EXPECT_EQ(serial, 1);
  for (const char* bad : {"2024-02-30", "2023-13-01", "2024-3-15", "2024-03-15T25:00:00", "2024-03-15 12:00", "x"}) {
    EXPECT_FALSE(xlsx::ParseIsoDate(bad, false, &serial)) << bad;
  }
}

}  // namespace
