// The "Emission function" sheet: round trips, the reader's refusals and the verifier.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/record_list.h"
#include "sheet_fixture.h"
#include "workbook/emfac_sheet.h"

namespace {

using sheethost::Cell;

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
    std::unique_ptr<EmfacRec> r(new EmfacRec());
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

  sheethost::Sheet* sheet = nullptr;
  CRecordList substances;
};

TEST_F(EmfacSheetTest, RecordsWrittenAreReadBackEqual) {
  std::vector<std::wstring> many;  // 46 variables, one of 15 characters
  for (int i = 0; i < EmfacMaxVariables; ++i) many.push_back(i == 45 ? std::wstring(15, L'V') : L"v" + std::to_wstring(i));
  std::unique_ptr<EmfacRec> records[] = {
      Record(L"longest formula", 1, 1, std::wstring(EmfacFormulaSize - 1, L'f'), {}),  // whole, not cut
      Record(L"many", 1073741824, 3, L"a*b^2 + \u00e5", many),
      Record(std::wstring(19, L'n'), 7, 2, L"x", {L"speed", L"a"}),
  };
  CExcelWriteEmfac writer;
  EXPECT_EQ(writer.Write(*records[0]), -1);
  EXPECT_EQ(Error(), "Could not write cell: (1 0).");
  ASSERT_EQ(writer.Init(substances), 1);
  for (const auto& r : records) ASSERT_EQ(writer.Write(*r), 1) << Error();
  EXPECT_EQ(sheet->Get(2, 2), Cell::Str(L"PM2.5"));
  EXPECT_EQ(sheet->Get(2, 5), Cell::Str(L"VAR"));
  EXPECT_EQ(sheet->Get(2, 7), Cell::Str(L"CONST"));
  EXPECT_EQ(sheet->Get(2, 4 + 2 * 45), Cell::Str(std::wstring(15, L'V')));
  EXPECT_TRUE(sheet->Get(2, 4 + 2 * 46).IsEmpty());
  CExcelReadEmfac reader;
  ASSERT_EQ(reader.Init(substances), 1);
  std::unique_ptr<EmfacRec> back(new EmfacRec);
  for (const auto& r : records) {
    ASSERT_EQ(reader.Read(back.get()), 1) << Error();
    EXPECT_EQ(std::memcmp(back.get(), r.get(), sizeof(EmfacRec)), 0) << std::wstring(r->name);
  }
  EXPECT_EQ(reader.Read(back.get()), 0);
  // A substance index without a name: the list's bad-reference text, or refused.
  ASSERT_EQ(writer.Write(*Record(L"bad", 1, 9, L"x", {})), 1);
  EXPECT_EQ(sheet->Get(4, 2), Cell::Str(L"Bad reference = 9"));
  substances.SetBadReference(false);
  EXPECT_EQ(writer.Write(*Record(L"bad", 1, 9, L"x", {})), -1);
  EXPECT_EQ(Error(), "Could not get substance 9");
}

// (Texts longer than their fields, refused by this reader: tests/host TypedValuesTest.)
TEST_F(EmfacSheetTest, ReaderTypesAndRefusals) {
  // Row 1: variables up to the first empty name; only "VAR" is a variable.
  Put(kSheet, 1, 0, {L"types", L"5", L"CO2", L"a*b", L"a", L"const", L"b", L"VAR", L"", L"", L"after a gap", L"VAR"});
  Put(kSheet, 2, 0, {L"noindex", L"", L"CO2"});
  Put(kSheet, 3, 0, {L"nosub", L"3", L"SO2"});
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
  for (const std::string& error : std::vector<std::string>{
           "Could not get index for emission factor: noindex (sheet Emission function, cell B3, row 3).",
           "Could not get index for substance: SO2 (sheet Emission function, cell C4, row 4)."}) {
    EXPECT_EQ(reader.Read(r.get()), -1);
    EXPECT_EQ(Error(), error);
  }
  EXPECT_EQ(reader.Read(r.get()), 0);
}

TEST_F(EmfacSheetTest, VerifierReportsEachFaultAtItsCell) {
  Put(kSheet, 1, 0, {L"clean", L"", L"NOx", L"a+1", L"a", L"VAR", L"b", L"CONST"});
  // Unknown substance; pair 1 with a lower-case type; pair 2 without a name
  // but with a type; pair 3 after the gap; pair 4 too long and after the gap.
  Put(kSheet, 2, 0, {L"faults", L"", L"SO2", L"", L"a", L"const", L"", L"VAR", L"c", L"", std::wstring(16, L'x')});
  Put(kSheet, 2, 195, {L"VAR"});  // the last pair checked
  // Row 3: 47 variables, one more than a record holds.
  Put(kSheet, 3, 0, {L"many", L"", L"CO2", L"f"});
  for (int i = 0; i < 47; ++i) Put(kSheet, 3, 4 + 2 * i, {L"v" + std::to_wstring(i), L"VAR"});
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
