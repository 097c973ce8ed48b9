// The resource file exports against a scripted server and a substitute
// workbook: Load into the sheets and lists, Save from the sheets, failures.
#include <gtest/gtest.h>

#include <algorithm>

#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "scripted_workbook.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/rsrc_verify.h"

namespace {

using sheethost::Cell;
using test_support::HttpHead;
using test_support::RawReply;
using Names = std::vector<std::wstring>;

class EdbRsrcExportsTest : public ScriptedWorkbookTest {
 protected:
  EdbRsrcExportsTest() : ScriptedWorkbookTest({L"Rsrc"}) {}

  static Names Warnings() { return IssueTexts(WarningList); }
};

TEST_F(EdbRsrcExportsTest, LoadFillsTheSheetsAndListsByNumber) {
  server_.QueueReply(RawReply::Http(200,
                                    "speed 3: 50 km/h\r\n"
                                    "speed 1:   30 km/h\n"
                                    "# a comment\n"
                                    "no colon here\n"
                                    "speed 2:\n"
                                    "\n"
                                    "scenario 2: Low emission zone\n"
                                    "temperature 30: 600 C\n"
                                    "Sub 2: 1000 kg/year\n"
                                    "Sub 4: 1000\n"
                                    "SubGrp 1: 0.01 %/100 extra words\n"
                                    "Search 1: 3.6 g/h\n"
                                    "NAME 0: Town\n"
                                    "YEAR: 2023\n"));
  EXPECT_EQ(VKEdbRsrcLoad(), 1) << GetErrorText();
  EXPECT_EQ(All(VKEdbSpeedList), (Names{L"30 km/h", L"50 km/h"}));
  EXPECT_EQ(All(VKEdbUnitSubList), (Names{L"ton/year", L"kg/year"}));
  EXPECT_EQ(All(VKEdbUnitSubGrpList), (Names{L"%", L"%/100"}));
  EXPECT_EQ(All(VKEdbUnitSubGrpEmList), (Names{L"ton/year"}));
  EXPECT_EQ(SpeedList.Find(L"50 km/h"), 3);
  EXPECT_EQ(Rows(L"Speed-Temp-Scen", 1, 3, 4), (Names{L"|30 km/h||", L"|||Low emission zone", L"|50 km/h||"}));
  EXPECT_EQ(Rows(L"Speed-Temp-Scen", 30, 1, 4), (Names{L"||600 C|"}));
  // Units: the fixed first units in row 1, unit n in row n + 1.
  EXPECT_EQ(Rows(L"Units", 1, 5, 9), (Names{L"ton/year|1.0|%|1.0|ton/year|1.0|g/s|1.0|", L"||%/100|0.01|||g/h|3.6|",
                                            L"kg/year|1000|||||||", L"||||||||", L"||||||||"}));
  // Free settings under the heading, tag and value.
  EXPECT_EQ(Rows(L"Rsrc", 0, 4, 2), (Names{L"Tag|Value", L"NAME 0|Town", L"YEAR|2023", L"|"}));
  // The lines the sheets cannot give back, named in the WarningList.
  EXPECT_EQ(Warnings(),
            (Names{L"Rsrc []: Resource line 3 is not a setting (head: value) and is not kept: \"# a comment\"",
                   L"Rsrc []: Resource line 4 is not a setting (head: value) and is not kept: \"no colon here\"",
                   L"Rsrc []: Resource line 10 has no factor and unit name and is not kept: \"Sub 4: 1000\"",
                   L"Units [C3]: Resource line 11 loses words that its table does not keep: "
                   L"\"SubGrp 1: 0.01 %/100 extra words\"",
                   L"Units [A4]: Resource line 9 is not saved back: unit 1 is missing and the table ends at its "
                   L"first empty name: \"Sub 2: 1000 kg/year\""}));
}

TEST_F(EdbRsrcExportsTest, LoadFailures) {
  // A reply that breaks off: what was read stays, sorted by number.
  RawReply broken;
  broken.Send(HttpHead(200, "Content-Length: 5000\r\n") + "speed 4: 60 km/h\nspeed 2: 40 km/h\nspeed 3: 5");
  server_.QueueReply(broken);
  EXPECT_EQ(VKEdbRsrcLoad(), 0);
  EXPECT_NE(std::string(GetErrorText()).find("Error reading response."), std::string::npos) << GetErrorText();
  EXPECT_EQ(All(VKEdbSpeedList), (Names{L"40 km/h", L"60 km/h"}));

  // A missing sheet: nothing is cleared or requested.
  ASSERT_TRUE(host.Book().RemoveSheet(L"Units"));
  size_t requests = server_.RequestCount();
  EXPECT_EQ(VKEdbRsrcLoad(), 0);
  EXPECT_STREQ(GetErrorText(), "Couldn't set sheet Units.");
  EXPECT_EQ(All(VKEdbSpeedList), (Names{L"40 km/h", L"60 km/h"}));
  EXPECT_EQ(server_.RequestCount(), requests);
  ASSERT_NE(host.Book().AddSheet(L"Units"), nullptr);

  // (The server's refusal is no resource file: tests/e2e Transfers.ResourceListsAndTheirUpdateFromTheSheets.)
  // Nothing to request from: a failure, not an empty file.
  server_.Stop();
  ClearErrorText();
  EXPECT_EQ(VKEdbRsrcLoad(), 0);
  EXPECT_NE(std::string(GetErrorText()).find("loadedbrsrc"), std::string::npos) << GetErrorText();
}

TEST_F(EdbRsrcExportsTest, SaveFailuresLeaveTheServersFileAlone) {
  server_.QueueReply(RawReply::Http(200, "disk full\n"));
  EXPECT_EQ(VKEdbRsrcSave(), -1);
  EXPECT_STREQ(GetErrorText(), "Error writing edb.rsrc file: disk full");

  // A sheet that is missing stops the save before anything is sent.
  ASSERT_TRUE(host.Book().RemoveSheet(L"Rsrc"));
  size_t before = server_.RequestCount();
  EXPECT_EQ(VKEdbRsrcSave(), -1);
  EXPECT_STREQ(GetErrorText(), "Couldn't set sheet Rsrc.");
  EXPECT_EQ(server_.RequestCount(), before);
}

// What stands just past the end of a table is never saved: the verifier
// warns about it.
TEST_F(EdbRsrcExportsTest, WhatStandsPastATableIsNamed) {
  Put(L"Speed-Temp-Scen", 12, 1, L"130 km/h");
  Put(L"Units", 1, 0, {L"ton/year", L"", L"%"});
  Put(L"Units", 2, 0, {L"kg/year", L"1000"});
  Put(L"Units", 3, 1, {L"5" /* a factor without a name ends the table */, L"MWh" /* under an empty row */, L"1"});
  Put(L"Rsrc", 1, 0, {L"NAME", L"Town"});
  Put(L"Rsrc", 2, 1, L"orphan");
  CExcelVerifyRsrc verifier;
  ASSERT_EQ(verifier.Init(ErrorList, WarningList), 1);
  EXPECT_EQ(verifier.VerifyRec(), 1);
  EXPECT_EQ(ErrorList.Count(), 0);
  EXPECT_EQ(Warnings(),
            (Names{L"Speed-Temp-Scen [B13]: The table holds numbers 1 to 11: nothing from here on is saved",
                   L"Units [B4]: Factor without a unit name: the table ends at row 4, nothing from here on is saved",
                   L"Units [C4]: The table ends at the empty row 3: nothing from here on is saved",
                   L"Rsrc [B3]: Value without a tag: the table ends at row 3, nothing from here on is saved"}));
}

}  // namespace
