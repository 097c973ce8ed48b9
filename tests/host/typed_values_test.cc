// What a user types into the reference sheets reaches the server as typed or
// is reported and refused before anything is sent; reply numbers never wrap.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/frame.h"
#include "host/issue_list.h"
#include "transport/latin1.h"
#include "scripted_workbook.h"
#include "support/workbook_transfers.h"
#include "vorkabcom.h"

namespace {

using Cell = sheethost::Cell;
using e2e::Last;
using e2e::Transfer;

struct Typed {
  const wchar_t* sheet;
  RW row;
  COL column;
  Cell value;
  IssueLines issues;     // the ErrorList after VKUpdateSub and VKVerifySub
  std::string refusal;   // the start of the Save's error text
};

class TypedValuesTest : public ScriptedWorkbookTest {
 protected:
  TypedValuesTest() : ScriptedWorkbookTest({L"Rsrc"}) {}
  void SetUp() override {
    ScriptedWorkbookTest::SetUp();
    // One clean record of every kind a Save of reference data writes, and
    // clean resource tables.  The groups' unit "kg" is known only once the
    // pass has rebuilt the units from the sheet.
    Put(L"Substance", 1, 1, L"NOx");
    Put(L"Speed-Temp-Scen", 2, 1, L"50 km/h");
    Put(L"Units", 1, 0, {L"ton/year", L"", L"kg"});
    Put(L"Units", 2, 0, {L"kg/year", L"1000"});
    Put(L"Rsrc", 1, 0, {L"NAME", L"Town"});
    Put(L"Searchkey", 1, 1, L"Energy");
    PutTimevar(L"Source timevar", 1, L"Office", 3);
    Put(L"Emission factor", 0, 2, {L"NOx", L"m", L"Unit"});
    PutNamed(L"Emission factor", 1, L"Boiler", 2);
    PutNum(L"Emission factor", 1, 2, 0.5);
    PutNum(L"Emission factor", 1, 3, 0);
    Put(L"Emission factor", 1, 4, L"kg");
    PutNamed(L"Emission function", 1, L"Heating", 4);
    Put(L"Emission function", 1, 2, {L"NOx", L"a*2", L"a", L"VAR"});
  }
  static Transfer SaveOf(const std::wstring& sheet) {
    if (sheet == L"Searchkey") return e2e::SubSave(1);
    if (sheet == L"Source timevar") return e2e::TimevarsSave(0);
    if (sheet == L"Emission factor") return VKSubgrpsSave;
    if (sheet == L"Emission function") return VKEmfacsSave;
    return [](int32_t m, wchar_t*) { return m == 1 ? VKEdbRsrcSave() : 0; };  // one call
  }
  static std::string Place(const Typed& t) {
    wchar_t cell[kCellNameSize];
    CellName(t.row, t.column, cell, kCellNameSize);
    return "(sheet " + Narrow(t.sheet) + ", cell " + Narrow(cell) + ", row " + std::to_string(t.row + 1) + ").";
  }

  // Each value in a workbook of its own making: listed by the pass, refused
  // by the Save with its place, and nothing posted.
  void ExpectReportedAndRefused(const std::vector<Typed>& cases) {
    for (const Typed& t : cases) {
      SCOPED_TRACE(Narrow(t.sheet) + " " + std::to_string(t.row) + "," + std::to_string(t.column));
      Cell kept = host.Book().GetCell(t.sheet, t.row, t.column);
      ASSERT_TRUE(host.Book().SetCell(t.sheet, t.row, t.column, t.value));
      VKUpdateSub();
      EXPECT_EQ(VKVerifySub(), 0) << Error();
      EXPECT_EQ(ErrorLines(), t.issues);
      EXPECT_EQ(Last(SaveOf(t.sheet)), -1);
      std::string error = Error();
      EXPECT_EQ(error.rfind(t.refusal, 0), 0u) << error;
      EXPECT_NE(error.find(Place(t)), std::string::npos) << error;
      EXPECT_EQ(server_.RequestCount(), 1u) << "a refused save was posted";
      ASSERT_TRUE(host.Book().SetCell(t.sheet, t.row, t.column, kept));
    }
    VKUpdateSub();
    EXPECT_EQ(VKVerifySub(), 1) << Error();
    server_.QueueReply(test_support::RawReply::Http(200, ""));  // no line refuses a save
    EXPECT_EQ(Last(SaveOf(cases.back().sheet)), 0) << Error();
    EXPECT_EQ(server_.RequestCount(), 2u);
  }
};

Cell Text(const std::wstring& text) { return Cell::Str(text); }

// A fault the field rule names after the cell's label: the pass's issue
// ("Sheet [B2]: Label<fault>") and the Save's refusal ("Label<fault>"); the
// pass may name the cell otherwise (issueLabel).
Typed LabelledFault(const wchar_t* sheet, RW row, COL column, const Cell& value, const std::string& label,
                    const std::string& fault, const char* issueLabel = nullptr) {
  wchar_t cell[kCellNameSize];
  CellName(row, column, cell, kCellNameSize);
  std::string issue = (issueLabel ? issueLabel : label) + fault;
  std::wstring place = std::wstring(sheet) + L" [" + cell + L"]: ";
  return {sheet, row, column, value, {place + Widen(issue.c_str())}, label + fault};
}

const std::string lb = " cell holds a line break, which a record cannot carry";
const std::wstring unreadable = L"Cell holds an error or logical value, not a text or number";
const std::string refusal = Narrow(unreadable.c_str());

TEST_F(TypedValuesTest, AValueNoRecordCanCarryIsReportedAndRefused) {
  const std::string quote = " cell holds a double quote, which a quoted field cannot carry";
  const Cell two = Text(L"one\ntwo");
  const Cell quoted = Text(L"say \"hi\"");
  const Cell name30 = Text(std::wstring(30, L'n'));
  ExpectReportedAndRefused({
      LabelledFault(L"Searchkey", 1, 1, two, "Name", lb, "Searchkey"),
      LabelledFault(L"Source timevar", 1, 0, two, "Timevar name", lb),
      LabelledFault(L"Source timevar", 1, 2, Text(L"1\n2"), "Typeday (Mon-Thu)", lb),
      LabelledFault(L"Source timevar", 3, 9, Text(L"1\r"), "Typeday (Sat)", lb),
      LabelledFault(L"Emission factor", 1, 0, two, "Substance group name", lb),
      LabelledFault(L"Emission factor", 1, 4, Text(L"kg\n"), "Unit", lb),
      LabelledFault(L"Emission function", 1, 0, two, "Emission function name", lb),
      LabelledFault(L"Emission function", 1, 3, Text(L"a*2\nEOF"), "Formula", lb),
      LabelledFault(L"Emission function", 1, 4, Text(L"a\nb"), "Variable name", lb),
      LabelledFault(L"Searchkey", 1, 1, quoted, "Name", quote, "Searchkey"),
      LabelledFault(L"Source timevar", 1, 0, quoted, "Timevar name", quote),
      LabelledFault(L"Emission factor", 1, 0, quoted, "Substance group name", quote),
      LabelledFault(L"Emission function", 1, 0, quoted, "Emission function name", quote),
      // A variable name is read back from its first non-blank.
      LabelledFault(L"Emission function", 1, 4, Text(L" a"), "Variable name",
                    " cell begins with white space, which a record does not keep"),
      // A text well past its field: no reader may cut it to a length that fits.
      {L"Searchkey", 1, 1, Text(std::wstring(256, L's')), {L"Searchkey [B2]: Searchkey can only be 31 characters"},
       "To long string for Name. Max is 255"},
      {L"Source timevar", 1, 0, name30,
       {L"Source timevar [A2]: Timevar name can only be 19 characters",
        L"Source timevar [A2]: To long string for Timevar name. Max is 19"},
       "To long string for Timevar name. Max is 19"},
      {L"Source timevar", 2, 25, Text(std::wstring(16, L'1')),
       {L"Source timevar [Z3]: To long string for Typeday (Fri). Max is 15"},
       "To long string for Typeday (Fri). Max is 15"},
      {L"Emission factor", 1, 0, name30,
       {L"Emission factor [A2]: Emission factor name can only be 19 characters",
        L"Emission factor [A2]: To long string for Substance group name. Max is 19"},
       "To long string for Substance group name. Max is 19"},
      {L"Emission factor", 1, 4, Text(std::wstring(64, L'u')),
       {L"Emission factor [E2]: To long string for Unit. Max is 63"}, "To long string for Unit. Max is 63"},
      {L"Emission function", 1, 0, name30,
       {L"Emission function [A2]: Emission function name can only be 19 characters",
        L"Emission function [A2]: To long string for Emission function name. Max is 19"},
       "To long string for Emission function name. Max is 19"},
      {L"Emission function", 1, 3, Text(std::wstring(8096, L'f')),
       {L"Emission function [D2]: To long string for Formula. Max is 8095"},
       "To long string for Formula. Max is 8095"},
      {L"Emission function", 1, 4, Text(std::wstring(16, L'v')),
       {L"Emission function [E2]: Description must be shoter than 16 characters: \"vvvvvvvvvvvvvvvv\""},
       "To long string for Variable name. Max is 15"},
      {L"Source timevar", 1, 1, Cell::Num(9.7), {L"Source timevar [B2]: Invalid index"},
       "Could not get index for timevar: Office"},
      {L"Emission factor", 1, 1, Cell::Num(2.5), {L"Emission factor [B2]: Invalid index"},
       "Could not get index for substance group: Boiler"},
      {L"Emission function", 1, 1, Text(L"4.0"), {L"Emission function [B2]: Invalid index"},
       "Could not get index for emission factor: Heating"},
      {L"Searchkey", 1, 1, Cell::Bool(true), {L"Searchkey [B2]: " + unreadable}, refusal},
      {L"Source timevar", 1, 38, Cell::Err(xlerrDiv0), {L"Source timevar [AM2]: " + unreadable}, refusal},
      {L"Source timevar", 4, 3, Cell::Err(xlerrNA), {L"Source timevar [D5]: " + unreadable}, refusal},
      {L"Emission factor", 1, 2, Cell::Bool(false), {L"Emission factor [C2]: " + unreadable}, refusal},
      {L"Emission function", 1, 3, Cell::Err(xlerrValue), {L"Emission function [D2]: " + unreadable}, refusal},
  });
}

// The resource sheets: a cell whose line would not read back as typed.
TEST_F(TypedValuesTest, AResourceCellThatWouldNotReadBackIsReportedAndRefused) {
  ExpectReportedAndRefused({
      LabelledFault(L"Speed-Temp-Scen", 2, 1, Text(L"50\nEOF"), "Speed", lb),
      LabelledFault(L"Units", 2, 0, Text(L"MWh fuel"), "Unit",
                    " cell holds a blank, which a one-word field cannot carry"),
      {L"Units", 2, 1, Text(L""), {L"Units [B3]: Empty Factor cell"}, "Empty Factor cell"},
      // An error value reads as empty too.
      {L"Units", 2, 1, Cell::Err(xlerrDiv0), {L"Units [B3]: " + unreadable, L"Units [B3]: Empty Factor cell"},
       refusal},
      {L"Rsrc", 1, 1, Text(std::wstring(4096, L'v')), {L"Rsrc [B2]: To long string for Value. Max is 4095"},
       "To long string for Value. Max is 4095"},
      LabelledFault(L"Rsrc", 1, 1, Text(L" Town"), "Value",
                    " cell begins with white space, which the resource file does not keep"),
      {L"Rsrc", 1, 1, Cell::Err(xlerrDiv0), {L"Rsrc [B2]: " + unreadable, L"Rsrc [B2]: Empty Value cell"}, refusal},
      LabelledFault(L"Rsrc", 1, 0, Text(L"Zone \x2013 A"), "Tag",
                    " cell holds the character U+2013, which has no ISO 8859-1 form"),
      LabelledFault(L"Rsrc", 1, 0, Text(L"speed 12"), "Tag",
                    " cell begins with \"speed\", which makes the line a table line"),
      LabelledFault(L"Rsrc", 1, 0, Text(L"a:b"), "Tag", " cell holds a colon, which ends the tag of a resource line"),
      {L"Rsrc", 1, 0, Text(std::wstring(256, L't')), {L"Rsrc [A2]: To long string for Tag. Max is 255"},
       "To long string for Tag. Max is 255"},
  });
}

TEST_F(TypedValuesTest, NumbersOfManyDigitsAreSavedAsTyped) {
  PutNum(L"Source timevar", 1, 38, 0.00005);     // 5.0000000000000002e-05 in 17 digits
  PutNum(L"Source timevar", 1, 39, 0.1 + 0.2);   // 0.30000000000000004
  PutNum(L"Source timevar", 1, 40, 1.2345678);
  PutNum(L"Emission factor", 1, 2, 16777216);
  PutNum(L"Emission factor", 1, 3, 1.2345678);
  ASSERT_EQ(VKUpdateSub(), 1) << Error();
  ASSERT_EQ(VKVerifySub(), 1) << Error();
  for (const Transfer& save : {SaveOf(L"Source timevar"), SaveOf(L"Emission factor")}) {
    server_.QueueReply(test_support::RawReply::Http(200, "Ok.\n"));
    ASSERT_EQ(Last(save), 0) << Error();
  }
  ASSERT_TRUE(server_.WaitForRequests(3, 5000));
  std::string timevars = server_.Requests().at(1).body;
  std::string groups = server_.Requests().at(2).body;
  EXPECT_NE(timevars.find("SCENARIO\t5e-05 0.3 1.2345678 1 1\n"), std::string::npos) << timevars;
  EXPECT_NE(groups.find("\t1 \t16777216 \t1.2345678 \tkg\n"), std::string::npos) << groups;
}

// A reply value beyond its field fails the Load with the reader's message;
// nothing is wrapped onto another row or value.
TEST_F(TypedValuesTest, AReplyNumberBeyondItsFieldFailsTheLoad) {
  const std::string timevar = "NAME \"T\"\nINDEX 1\n";
  const std::string group = "NAME \"G\"\nINDEX 1\nSUBSTANCES\n";
  std::string hours = "TYPEDAY\t1 1 1 1\n";
  for (int h = 2; h <= 24; ++h) hours += "\t1 1 1 1\n";
  struct Reply {
    Transfer load;
    std::string body;
    std::string error;
  };
  const Transfer timevars = e2e::TimevarsLoad(0);
  const std::vector<Reply> replies = {
      {e2e::SubLoad(0), "65536 \"Wrapped\"\n", "Error in input: 65536"},
      {e2e::SubLoad(1), "-1 \"Wrapped\"\n", "Error in input: -1"},
      {timevars, "NAME \"T\"\nINDEX 65536\n", "TIMEVAR (T): Error in INDEX: INDEX 65536"},
      {timevars, timevar + hours + "MONTH\t1 1 40000 1 1 1\n\t1 1 1 1 1 1\n",
       "TIMEVAR 1: Error scanning MONTH, part 1"},
      {timevars, timevar + hours + "MONTH\t1 1 1 1 1 1\n\t1 1 1 1 1 1\nSCENARIO\t1 1e39 1 1 1\n",
       "TIMEVAR 1: Error scanning SCENARIO, part 1"},
      {VKSubgrpsLoad, group + "\t40000\t1\t0 kg\n\n", "SUBGRP G: Error in SUBSTANCES line 1"},
      {VKSubgrpsLoad, group + "\t1\t1e39\t0 kg\n\n", "SUBGRP G: Error in SUBSTANCES line 1"},
      {VKEmfacsLoad, "NAME \"F\"\nINDEX 1\nSUBSTANCE 4294967297\n", "EMFAC (F): Error in SUBSTANCE"},
  };
  for (const Reply& reply : replies) {
    SCOPED_TRACE(reply.body);
    server_.QueueReply(test_support::RawReply::Http(200, reply.body));
    EXPECT_EQ(Last(reply.load), -1);
    std::string error = Error();
    EXPECT_EQ(error.rfind(reply.error, 0), 0u) << error;
  }
  EXPECT_EQ(host.Book().GetCell(L"Substance", 0, 1), Cell::Str(L"Substance"));
}

}  // namespace
