// The "Emission function" sheet: many emission factors written and read back
// equal (long formulas whole), the reader's refusals, and the verifier's
// issues at their cells.
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "sheet_fixture.h"
#include "workbook/emfac_sheet.h"

namespace {

using sheethost::Cell;
using Lines_ = std::vector<std::wstring>;

const wchar_t* const kSheet = L"Emission function";

class EmfacSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    sheet = AddSheet(kSheet);
    substances.Add(L"NOx", 1);
    substances.Add(L"CO2", 2);
    substances.Add(L"PM2.5", 3);
  }

  static std::unique_ptr<EmfacRec> Record(const std::wstring& name, uint32_t index, int32_t substance,
                                          const std::wstring& formula, const std::vector<std::wstring>& vars) {
    std::unique_ptr<EmfacRec> r(new EmfacRec);
    std::memset(r.get(), 0, sizeof *r);
    std::wcsncpy(r->name, name.c_str(), EmfacNameSize - 1);
    r->index = index;
    r->substance = substance;
    std::wcsncpy(r->formula, formula.c_str(), EmfacFormulaSize - 1);
    for (size_t i = 0; i < vars.size(); ++i) {
      std::wcsncpy(r->varname[i], vars[i].c_str(), EmfacVarNameSize - 1);
      r->varconst[i] = i % 2;
    }
    r->novariable = static_cast<int32_t>(vars.size());
    return r;
  }

  void Put(RW row, COL column, const std::wstring& text) { ASSERT_TRUE(sheet->Set(row, column, Cell::Str(text))); }

  sheethost::Sheet* sheet = nullptr;
  CRecordList substances;
  IssueList errors;
  IssueList warnings;
};

void ExpectSame(const EmfacRec& a, const EmfacRec& b) {
  EXPECT_EQ(std::wstring(a.name), std::wstring(b.name));
  EXPECT_EQ(a.index, b.index);
  EXPECT_EQ(a.substance, b.substance);
  EXPECT_EQ(std::wstring(a.formula), std::wstring(b.formula));
  ASSERT_EQ(a.novariable, b.novariable);
  for (int32_t i = 0; i < a.novariable; ++i) {
    EXPECT_EQ(std::wstring(a.varname[i]), std::wstring(b.varname[i]));
    EXPECT_EQ(a.varconst[i], b.varconst[i]);
  }
}

TEST_F(EmfacSheetTest, ManyRecordsWrittenAreReadBackEqual) {
  std::mt19937 rng(5);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<std::unique_ptr<EmfacRec>> records;
  for (int k = 0; k < 50; ++k) {
    std::wstring formula;
    int length = k == 0 ? static_cast<int>(EmfacFormulaSize) - 1 : pick(1, 600);
    while (static_cast<int>(formula.size()) < length) formula += static_cast<wchar_t>(pick(L' ' + 1, L'~'));
    std::vector<std::wstring> vars;
    int n = k == 1 ? EmfacMaxVariables : pick(0, 8);
    for (int i = 0; i < n; ++i) {
      std::wstring v = L"v" + std::to_wstring(i);
      while (v.size() < static_cast<size_t>(pick(2, 15))) v += static_cast<wchar_t>(pick(L'A', L'Z'));
      vars.push_back(v);
    }
    records.push_back(Record(L"ef" + std::to_wstring(k), static_cast<uint32_t>(pick(1, 1 << 30)), pick(1, 3),
                             formula, vars));
    records.back()->varconst[0] = static_cast<uint8_t>(pick(0, 1));
  }
  {
    CExcelWriteEmfac writer;
    ASSERT_EQ(writer.Init(substances), 1);
    for (const auto& r : records) ASSERT_EQ(writer.Write(*r), 1) << Error();
  }
  EXPECT_EQ(sheet->Get(2, 2), Cell::Str(substances.NameOf(records[1]->substance)));
  EXPECT_EQ(sheet->Get(1, 3).text.size(), EmfacFormulaSize - 1);
  EXPECT_EQ(sheet->Get(2, 4 + 2 * 45).text, std::wstring(records[1]->varname[45]));
  EXPECT_EQ(sheet->Get(2, 5), Cell::Str(records[1]->varconst[0] ? L"CONST" : L"VAR"));
  EXPECT_TRUE(sheet->Get(2, 4 + 2 * 46).IsEmpty());

  CExcelReadEmfac reader;
  ASSERT_EQ(reader.Init(substances), 1);
  std::unique_ptr<EmfacRec> back(new EmfacRec);
  for (const auto& r : records) {
    ASSERT_EQ(reader.Read(back.get()), 1) << Error();
    ExpectSame(*back, *r);
  }
  EXPECT_EQ(reader.Read(back.get()), 0);
}

TEST_F(EmfacSheetTest, WriterNeedsASubstanceName) {
  CExcelWriteEmfac writer;
  ASSERT_EQ(writer.Init(substances), 1);
  ASSERT_EQ(writer.Write(*Record(L"bad", 1, 9, L"x", {})), 1);
  EXPECT_EQ(sheet->Get(1, 2), Cell::Str(L"Bad reference = 9"));
  substances.SetBadReference(false);
  EXPECT_EQ(writer.Write(*Record(L"bad", 1, 9, L"x", {})), -1);
  EXPECT_EQ(Error(), "Could not get substance 9");
}

TEST_F(EmfacSheetTest, ReaderTypesAndRefusals) {
  // Row 1: variables up to the first empty name; only "VAR" is a variable.
  Put(1, 0, L"types");
  Put(1, 1, L"5");
  Put(1, 2, L"CO2");
  Put(1, 3, L"a*b");
  Put(1, 4, L"a");
  Put(1, 5, L"const");
  Put(1, 6, L"b");
  Put(1, 7, L"VAR");
  Put(1, 10, L"after a gap");
  Put(1, 11, L"VAR");
  Put(2, 0, L"noindex");
  Put(2, 2, L"CO2");
  Put(3, 0, L"nosub");
  Put(3, 1, L"3");
  Put(3, 2, L"SO2");
  Put(4, 0, L"longformula");
  Put(4, 1, L"4");
  Put(4, 2, L"NOx");
  Put(4, 3, std::wstring(EmfacFormulaSize, L'f'));
  Put(5, 0, L"longvar");
  Put(5, 1, L"6");
  Put(5, 2, L"NOx");
  Put(5, 4, std::wstring(16, L'v'));
  Put(6, 0, std::wstring(20, L'n'));
  Put(6, 1, L"7");
  Put(6, 2, L"NOx");
  CExcelReadEmfac reader;
  ASSERT_EQ(reader.Init(substances), 1);
  std::unique_ptr<EmfacRec> r(new EmfacRec);
  ASSERT_EQ(reader.Read(r.get()), 1);
  EXPECT_EQ(r->index, 5u);
  EXPECT_EQ(r->substance, 2);
  EXPECT_EQ(std::wstring(r->formula), L"a*b");
  ASSERT_EQ(r->novariable, 2);
  EXPECT_EQ(r->varconst[0], 1);
  EXPECT_EQ(r->varconst[1], 0);
  EXPECT_EQ(reader.Read(r.get()), -1);
  EXPECT_EQ(Error(), "Could not get index for emission factor: noindex (row 2).");
  EXPECT_EQ(reader.Read(r.get()), -1);
  EXPECT_EQ(Error(), "Could not get index for substance: SO2 (row 3).");
  EXPECT_EQ(reader.Read(r.get()), -1);
  EXPECT_EQ(Error(), "To long formula for emission factor: longformula (row 4). Max is 8095");
  EXPECT_EQ(reader.Read(r.get()), -1);
  EXPECT_EQ(Error(), "Description must be shoter than 16 characters: \"" + std::string(16, 'v') + "\" (row 5).");
  EXPECT_EQ(reader.Read(r.get()), -1);
  EXPECT_EQ(Error(), "Emission function name can only be 19 characters: " + std::string(20, 'n') + " (row 6).");
  EXPECT_EQ(reader.Read(r.get()), 0);
}

TEST_F(EmfacSheetTest, VerifierReportsEachFaultAtItsCell) {
  Put(1, 0, L"clean");
  Put(1, 2, L"NOx");
  Put(1, 3, L"a+1");
  Put(1, 4, L"a");
  Put(1, 5, L"VAR");
  Put(1, 6, L"b");
  Put(1, 7, L"CONST");

  Put(2, 0, L"faults");
  Put(2, 2, L"SO2");              // unknown substance
  Put(2, 4, L"a");                // pair 1
  Put(2, 5, L"const");            // lower case
  Put(2, 7, L"VAR");              // pair 2 has no name but a type
  Put(2, 8, L"c");                // pair 3 after the gap
  Put(2, 10, std::wstring(16, L'x'));  // pair 4: too long, and after the gap
  Put(2, 195, L"VAR");            // the last pair checked

  // Row 3: 47 variables, one more than a record holds.
  Put(3, 0, L"many");
  Put(3, 2, L"CO2");
  Put(3, 3, L"f");
  for (int i = 0; i < 47; ++i) {
    Put(3, 4 + 2 * i, L"v" + std::to_wstring(i));
    Put(3, 5 + 2 * i, L"VAR");
  }
  CExcelVerifyEmfac verifier;
  ASSERT_EQ(verifier.Init(substances, errors, warnings), 1);
  ASSERT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors),
            (Lines_{L"Emission function [C3]: Unknown substance: SO2",
                    L"Emission function [D3]: Empty formula: \"faults\"",
                    L"Emission function [F3]: Type must be CONST or VAR: \"const\"",
                    L"Emission function [H3]: Type should be empty: \"VAR\"",
                    L"Emission function [I3]: Variable should be empty: \"c\"",
                    L"Emission function [K3]: Description must be shoter than 16 characters: \"" +
                        std::wstring(16, L'x') + L"\"",
                    L"Emission function [K3]: Variable should be empty: \"" + std::wstring(16, L'x') + L"\"",
                    L"Emission function [GN3]: Type should be empty: \"VAR\"",
                    L"Emission function [CS4]: Too many variables. Maximum is 46."}));
  EXPECT_EQ(warnings.Count(), 0);
}

}  // namespace
