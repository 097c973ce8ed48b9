// VKUpdateSub and VKVerifySub over a substitute workbook: the lists rebuilt,
// the results, and where the steps stop.
#include <gtest/gtest.h>

#include <string>

#include "host/frame.h"
#include "host/merge_check.h"
#include "verification_fixture.h"
#include "vorkabcom.h"

namespace {

using UpdateSubTest = VerificationTest;

// The resource lists hold every number of their tables, named or not.  (Each list rebuilt from
// its sheet: tests/workbook NameIndexTest, tests/vorkab VorkabCommands.LoadVerifySave...)
TEST_F(UpdateSubTest, ACleanPassEmptiesTheIssueListsAndDropsWhatAnEarlierOneLeft) {
  ErrorList.Add(L"Old", 1, 1, L"from an earlier pass");
  WarningList.Add(L"Old", 1, 1, L"from an earlier pass");
  SubLists[0].Add(L"Stale", 7);
  CompanyList.Add(L"Stale", L"S1");
  Put(L"Substance", 1, 1, L"NOx");
  Put(L"Company", 1, 0, {L"Acme", L"C-17"});
  EXPECT_EQ(VKUpdateSub(), 1) << Error();
  EXPECT_EQ(ErrorList.Count() + WarningList.Count(), 0);
  EXPECT_EQ(Pairs(SubLists[0]), L"NOx=1");
  EXPECT_EQ(CompanyList.Count(), 1);
  EXPECT_STREQ(CompanyList.FindKey(L"Acme"), L"C-17");
  EXPECT_EQ(SpeedList.Count(), 11);
}

TEST_F(UpdateSubTest, IssuesOfTheSheetsMakeZeroAndAnEarlierFindingKeepsVerifyAtZero) {
  Put(L"Emission function", 1, 0, {L"CO2", L"3", L"NOx", L"A*2"});
  Put(L"Emission function", 2, 0, {L"CO2", L"4", L"NOx", L"A*2"});
  Put(L"Substance", 2, 1, L"NOx");
  Put(L"Substance", 5, 1, L"NOx");  // a duplicate substance is only a warning
  EXPECT_EQ(VKUpdateSub(), 0);
  EXPECT_EQ(ErrorLines(), (IssueLines{L"Emission function [A3]: Duplicate emission factor name"}));
  EXPECT_EQ(WarningLines(), (IssueLines{L"Substance [B6]: Duplicate searchkey1"}));
  // The reference sheets are clean, but the pass has an error.
  EXPECT_EQ(VKVerifySub(), 0);
  EXPECT_EQ(ErrorList.Count(), 1);
  // Warnings alone do not fail a pass.
  for (COL c = 0; c < 4; ++c) host.Book().SetCell(L"Emission function", 2, c, sheethost::Cell());
  EXPECT_EQ(VKUpdateSub(), 1);
  EXPECT_EQ(WarningList.Count(), 1);
  EXPECT_EQ(VKVerifySub(), 1);
}

TEST_F(UpdateSubTest, MissingSheetFailsAndSkipsTheLaterSteps) {
  PutNamed(L"Emission function", 1, L"Formula", 4);
  Put(L"Company", 1, 0, {L"Acme", L"C-17"});
  FacilityList.Add(L"Earlier", L"1 2");
  RoadtypeList.Add(L"Earlier", 1);
  ASSERT_TRUE(host.Book().RemoveSheet(L"Roadtype"));
  EXPECT_EQ(VKUpdateSub(), -1);
  EXPECT_FALSE(Error().empty());
  EXPECT_EQ(EmfacList.Find(L"Formula"), 4);  // before the failure: rebuilt
  EXPECT_EQ(RoadtypeList.Count(), 1);        // the failing step's list is kept
  EXPECT_EQ(CompanyList.Count(), 0);         // after it: not run
  EXPECT_EQ(FacilityList.Count(), 1);
  EXPECT_EQ(ErrorList.Count(), 0);
}

TEST_F(UpdateSubTest, FullErrorListStopsTheUpdate) {
  for (RW row = 1; row <= 300; ++row) Put(L"Emission function", row, 0, {L"F" + std::to_wstring(row), L"abc"});
  VehicleList.Add(L"Earlier", 1);
  EXPECT_EQ(VKUpdateSub(), 0);
  EXPECT_TRUE(ErrorList.IsFull());
  EXPECT_EQ(ErrorList.Count(), 257);
  EXPECT_EQ(VehicleList.Count(), 1);  // the step after the emission factors did not run
}

using VerifySubTest = VerificationTest;

TEST_F(VerifySubTest, FullErrorListGivesZeroAtOnceWithoutReading) {
  while (!ErrorList.IsFull()) ErrorList.Add(L"Earlier", 0, 0, L"earlier issue");
  host.ClearCalls();
  EXPECT_EQ(VKVerifySub(), 0);
  EXPECT_EQ(VKMergeCheck(), 0);  // no server is needed: nothing is read
  EXPECT_EQ(MergeCheckSubgrp(), 0);
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_EQ(ErrorList.Count(), 257);
}

TEST_F(VerifySubTest, TwoRunsReportEveryIssueTwice) {
  PutTimevar(L"Source timevar", 1, L"Office", 3);
  Put(L"Source timevar", 1, 5, L"40000");
  Put(L"Source timevar", 3, 4, L"120:4");  // Saturday, column E
  Put(L"Emission function", 1, 0, {L"F", L"1", L"Unknown", L"A*B"});
  ASSERT_EQ(VKUpdateSub(), 1) << Error();
  EXPECT_EQ(VKVerifySub(), 0);
  IssueLines once = ErrorLines();
  ASSERT_EQ(once.size(), 3u);
  EXPECT_EQ(VKVerifySub(), 0);
  IssueLines twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(ErrorLines(), twice);
}

TEST_F(VerifySubTest, StopsAfterTheTimevarStepThatFillsTheErrorList) {
  for (int k = 1; k <= 12; ++k) {
    PutTimevar(L"Source timevar", k, L"T" + std::to_wstring(k), k);
    for (COL c = 2; c < 26; ++c) Put(L"Source timevar", 4 * k - 3, c, L"x");  // 24 errors per record
  }
  ASSERT_EQ(VKUpdateSub(), 1) << Error();
  // Were the later steps run, the missing sheet would make the result -1.
  ASSERT_TRUE(host.Book().RemoveSheet(L"Road timevar"));
  EXPECT_EQ(VKVerifySub(), 0);
  EXPECT_TRUE(ErrorList.IsFull());
}

TEST_F(VerifySubTest, UnreadableSheetFailsAndAnUnknownTimevarIsListed) {
  ASSERT_EQ(VKUpdateSub(), 1);
  PutTimevar(L"Road timevar", 1, L"Not updated", 2);
  EXPECT_EQ(VKVerifySub(), 0) << Error();
  EXPECT_EQ(ErrorLines(), (IssueLines{L"Road timevar [A2]: Could not get index for timevar: Not updated"}));
  ASSERT_EQ(VKUpdateSub(), 1);
  ASSERT_TRUE(host.Book().RemoveSheet(L"Emission function"));
  EXPECT_EQ(VKVerifySub(), -1);
}

}  // namespace
