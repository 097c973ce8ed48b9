// Cell values: what CCellChecker accepts or reports at its cell; date codes (YYMMDD) and serial dates both ways.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "host/frame.h"
#include "host/issue_list.h"
#include "sheet_fixture.h"
#include "workbook/cell_checker.h"
#include "workbook/cell_text.h"
#include "workbook/date_code.h"

namespace {

class CellCheckerTest : public ::testing::Test {
 protected:
  struct Case {
    std::function<int32_t(CCellChecker&, const wchar_t*)> check;
    const wchar_t* text;
    const wchar_t* issue;  // null: accepted
  };
  void Expect(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text ? c.text : L"(null)");
      EXPECT_EQ(c.check(checker, c.text), c.issue ? 0 : 1);
      EXPECT_EQ(IssueTexts(errors), c.issue ? Lines_{c.issue} : Lines_{});
      errors.Clear();
    }
    EXPECT_EQ(warnings.Count(), 0);
  }

  IssueList errors;
  IssueList warnings;
  CCellChecker checker{L"Source", errors, warnings};
};

// Each check accepts its text or adds the one issue; the field rule (CheckText) is every way a cell's text can fail
// to fit its record field, as the verifier reports it and as a Save's reader refuses it.
TEST_F(CellCheckerTest, EachCheckAcceptsItsTextOrAddsOneIssue) {
  auto day = [](CCellChecker& c, const wchar_t* t) { return c.CheckLong(0, 2, L"Day", t, 1, 99); };
  auto wide = [](CCellChecker& c, const wchar_t* t) { return c.CheckLong(6, 0, L"X", t, -5, 0); };
  auto kind = [](CCellChecker& c, const wchar_t* t) { return c.CheckULong(1, 3, L"Kind", t, 0, 3); };
  auto height = [](CCellChecker& c, const wchar_t* t) { return c.CheckFloat(2, 27, L"Height", t, 0, 1e9f); };
  auto any = [](CCellChecker& c, const wchar_t* t) { return c.CheckFloat(2, 27, L"Height", t, -FLT_MAX, FLT_MAX); };
  auto length = [](CCellChecker& c, const wchar_t* t) { return c.CheckStrLen(4, 0, L"Name", t, 48); };
  auto unlimited = [](CCellChecker& c, const wchar_t* t) { return c.CheckStrLen(4, 0, L"Name", t, 0); };
  auto name = [](CCellChecker& c, const wchar_t* t) { return c.CheckText(4, 0, L"Name", t, 20, FieldForm::kQuoted); };
  auto text = [](CCellChecker& c, const wchar_t* t) { return c.CheckText(4, 1, L"Unit", t, 0, FieldForm::kText); };
  auto word = [](CCellChecker& c, const wchar_t* t) { return c.CheckText(4, 1, L"Unit", t, 0, FieldForm::kWord); };
  auto padded = [](CCellChecker& c, const wchar_t* t) {
    return c.CheckText(4, 1, L"Unit", t, 0, FieldForm::kUnpadded);
  };
  // The sheet name is the checker's own copy.
  std::wstring sheet = L"Grid.north";
  CCellChecker own(sheet.c_str(), errors, warnings);
  sheet.assign(L"changed");
  auto owned = [&own](CCellChecker&, const wchar_t* t) { return own.CheckLong(0, 0, L"V", t, 0, 1); };
  std::wstring fits(47, L'a'), over(48, L'a'), huge(100000, L'a');
  Expect({{day, L"12", nullptr}, {day, L"  12  ", nullptr}, {day, L"+12", nullptr},
          {day, L"", L"Source [C1]: Empty Day cell"}, {day, L"\t \n", L"Source [C1]: Empty Day cell"},
          {day, nullptr, L"Source [C1]: Empty Day cell"},
          {day, L"12a", L"Source [C1]: Day cell not a number"}, {day, L"-", L"Source [C1]: Day cell not a number"},
          {day, L"1.5", L"Source [C1]: Day cell not a number"},
          {day, L"0", L"Source [C1]: Day cell value out of range [1,99]"},
          {day, L"100", L"Source [C1]: Day cell value out of range [1,99]"},
          // Beyond 32 bits a value clamps to the limits, as a 32-bit long does.
          {wide, L"-3000000000", L"Source [A7]: X cell value out of range [-5,0]"},
          {kind, L"3", nullptr}, {kind, L"-4294967295", nullptr},  // negated modulo 2^32: 1
          {kind, L"", L"Source [D2]: Empty Kind cell"}, {kind, L"x1", L"Source [D2]: Kind cell not a number"},
          {kind, L"4", L"Source [D2]: Kind cell value out of range [0,3] 4"},
          {kind, L"-1", L"Source [D2]: Kind cell value out of range [0,3] 4294967295"},
          {kind, L"99999999999", L"Source [D2]: Kind cell value out of range [0,3] 4294967295"},
          {height, L"1.5e3", nullptr}, {height, L" -0 ", nullptr},
          {height, L" ", L"Source [AB3]: Empty Height cell"},
          {height, L"1,5", L"Source [AB3]: Height cell not a number"},
          {height, L"2e9", L"Source [AB3]: Height cell value out of range [0,1e+09]"},
          {any, L"-1e300", L"Source [AB3]: Height cell value out of range [-3.40282e+38,3.40282e+38]"},
          {any, L"nan", L"Source [AB3]: Height cell not a number"},  // would pass every bound
          {any, L"inf", L"Source [AB3]: Height cell value out of range [-3.40282e+38,3.40282e+38]"},
          {length, fits.c_str(), nullptr}, {length, L"", nullptr}, {length, nullptr, nullptr},
          {length, over.c_str(), L"Source [A5]: To long string for Name. Max is 47"},
          {unlimited, huge.c_str(), nullptr},
          {owned, L"x", L"Grid.north [A1]: V cell not a number"},
          {name, L"", nullptr}, {name, nullptr, nullptr}, {name, L"Gr\u00f6na \u00e4ngar", nullptr},
          {name, std::wstring(19, L'x').c_str(), nullptr},
          {name, std::wstring(20, L'x').c_str(), L"Source [A5]: To long string for Name. Max is 19"},
          {name, L"two\nlines", L"Source [A5]: Name cell holds a line break, which a record cannot carry"},
          {name, L"tab\there",
           L"Source [A5]: Name cell holds a control character (code 9), which a record cannot carry"},
          {name, L"say \"hi\"", L"Source [A5]: Name cell holds a double quote, which a quoted field cannot carry"},
          {name, L"\u20ac 5", L"Source [A5]: Name cell holds the character U+20AC, which has no ISO 8859-1 form"},
          {text, L"say \"hi\" now", nullptr}, {text, L"MWh fuel", nullptr},
          {text, L"x\u0085", L"Source [B5]: Unit cell holds a control character (code 133), which a record cannot carry"},
          {word, L"MWh", nullptr}, {padded, L"x y ", nullptr},
          {padded, L" x", L"Source [B5]: Unit cell begins with white space, which a record does not keep"},
          {word, L"MWh fuel", L"Source [B5]: Unit cell holds a blank, which a one-word field cannot carry"}});
  int32_t value = 0;
  EXPECT_EQ(checker.CheckLong(0, 0, L"X", L"3000000000", 1, INT32_MAX, &value), 1);
  EXPECT_EQ(value, INT32_MAX);
  EXPECT_EQ(checker.CheckLong(0, 0, L"X", L"-3000000000", INT32_MIN, 0, &value), 1);
  EXPECT_EQ(value, INT32_MIN);
  uint32_t unsignedValue = 0;
  EXPECT_EQ(checker.CheckULong(1, 3, L"Kind", L"4294967295", 0, UINT32_MAX, &unsignedValue), 1);
  EXPECT_EQ(unsignedValue, UINT32_MAX);
  double decimal = 0;
  EXPECT_EQ(checker.CheckFloat(2, 27, L"Height", L"1.5e3", 0, 1e9f, &decimal), 1);
  EXPECT_EQ(decimal, 1500);
}

// (A cell's place in a Save's refusal: CompanySheetTest.ReadersGiveRecordsAndRefuseUnknownCompanies.)
TEST(CellErrorText, WithoutAColumnNamesSheetAndRow) {
  CellErrorText(L"Substance", 9, -1, L"Unknown type of cell.");
  EXPECT_STREQ(GetErrorText(), "Unknown type of cell (sheet Substance, row 10).");
}

std::wstring Cell(uint32_t code) {
  wchar_t text[kDateCellTextSize];
  DateCodeToCell(code, text, kDateCellTextSize);
  return text;
}

std::wstring Marked(const wchar_t* serial) { return std::wstring(1, NumberCellMark) + serial; }

TEST(DateCode, CodesToCellsAndBack) {
  const std::pair<uint32_t, const wchar_t*> dates[] = {
      {101, L"36526.000000"},     // 2000-01-01
      {990101, L"36161.000000"},  // 1999-01-01
      {380101, L"50406.000000"},  // 2038-01-01
      {390101, L"14246.000000"},  // 1939-01-01
      {229, L"36585.000000"},     // 2000-02-29
      {991231, L"36525.000000"},  // 1999-12-31
      {381231, L"50770.000000"},  // 2038-12-31
  };
  for (const auto& d : dates) {
    EXPECT_EQ(Cell(d.first), Marked(d.second)) << d.first;
    EXPECT_EQ(CellToDateCode(d.second), d.first) << d.first;
  }
  // No date: 0, no 29 February 2001, month 13, day 0, 31 April, more than six digits (which would wrap into other
  // years).
  for (uint32_t code : {0u, 10229u, 991301u, 990100u, 990431u, 1000101u, 4294967295u}) EXPECT_EQ(Cell(code), L"") << code;
  EXPECT_EQ(CellToDateCode(L"  36526.75"), 101u);
  EXPECT_EQ(CellToDateCode(L"-1"), 991229u);
  for (const wchar_t* text : {L"0", L"abc", L"", L"3000000", L"nan", L"inf", static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_EQ(CellToDateCode(text), 0u) << (text ? text : L"(null)");
  }
  // The cell text is cut to the buffer; a buffer of 0 is not written.
  wchar_t text[4] = {L'#', L'#', L'#', L'#'};
  DateCodeToCell(101, text, 4);
  EXPECT_EQ(std::wstring(text), Marked(L"36"));
  DateCodeToCell(0, text, 0);
  EXPECT_EQ(std::wstring(text), Marked(L"36"));
}

TEST(DateCode, SerialToDate) {
  struct Case {
    double serial;
    int year, month, day, weekday, yearDay, hour, minute, second;
  };
  const Case cases[] = {
      {36526.5, 2000, 1, 1, 7 /* Saturday */, 1, 12, 0, 0},
      {36585 + 0.75 - 1e-9, 2000, 2, 29, 3, 60, 18, 0, 0},  // rounds to the second
      {-1.25, 1899, 12, 29, 6 /* Friday */, 363, 6, 0, 0},  // the fraction counts forward into the day
      {2958465, 9999, 12, 31, 6, 365, 0, 0, 0},
      {-657434, 100, 1, 1, 6, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SerialDate d;
    ASSERT_EQ(SerialToDate(c.serial, &d), 1) << c.serial;
    EXPECT_EQ(std::vector<int>({d.year, d.month, d.day, d.weekday, d.yearDay, d.hour, d.minute, d.second}),
              std::vector<int>({c.year, c.month, c.day, c.weekday, c.yearDay, c.hour, c.minute, c.second}))
        << c.serial;
  }
  SerialDate d;
  EXPECT_EQ(SerialToDate(2958465.01, &d), 0);
  EXPECT_EQ(SerialToDate(-657435, &d), 0);
  EXPECT_EQ(SerialToDate(std::nan(""), &d), 0);
}

}  // namespace
