// The merge check against a scripted server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "host/merge_check.h"
#include "scripted_workbook.h"
#include "vorkabcom.h"

namespace {

using test_support::RawReply;

class ScriptedMergeTest : public ScriptedWorkbookTest {
 protected:
  ScriptedMergeTest() : ScriptedWorkbookTest({}, L"anna", L"Edb1") {}
  void SetUp() override {
    ScriptedWorkbookTest::SetUp();
    server_.SetDefaultReply(RawReply::Http(200, ""));
  }

  // The queries after the login, with the authenticator left out.
  std::vector<std::string> Queries() {
    std::vector<std::string> queries;
    const std::string prefix = "/cgi-bin/ikalvoro/do.cgi?AUTH&";
    for (size_t n = 1; n < server_.RequestCount(); ++n) {
      queries.push_back(Query(n).substr(prefix.size()));
    }
    return queries;
  }
};

// Names only, letter case counting and every pair seen: a dash or an empty
// name on the server is no substance, an index the server lacks is new, and
// each kind is compared on its own sheet and column.
TEST_F(ScriptedMergeTest, EachKindIsComparedByNameOnItsOwnSheet) {
  SubLists[0].Add(L"NOx", 1);
  SubLists[0].Add(L"New one", 2);
  SubLists[0].Add(L"Another", 3);
  SubLists[0].Add(L"Nitrogen oxides", 4);
  SubLists[3].Add(L"Diesel", 1);
  SubLists[3].Add(L"Petrol", 2);
  SourceTimevarList.Add(L"Office", 1);
  SourceTimevarList.Add(L"Always on", 2);
  RoadTimevarList.Add(L"Street", 2);
  SubgrpList.Add(L"Boiler", 7);
  VehicleList.Add(L"Car petrol", 1);
  VehicleList.Add(L"car petrol", 1);
  RoadVehicleList.Add(L"PC diesel", 2);
  RoadtypeList.Add(L"Motorway", 3);
  RoadtypeList.Add(L"Ring road", 9);  // unknown to the server: a new roadtype
  for (const char* reply : {"1 \"NOx\"\n2 \"-\"\n3\n4 \"N2O\"\n", "", "", "1 \"Diesel\"\n2 \"Gasoline\"\n", "", "",
                            "NAME \"Office\"\nINDEX 1\n\nNAME \"Shop\"\nINDEX 2\n\n", "NAME \"Avenue\"\nINDEX 2\n\n",
                            "NAME \"Stove\"\nINDEX 7\n\n", "NAME \"Car petrol\"\nINDEX 1\n\n",
                            "NAME \"PC petrol\"\nINDEX 2\n\n",
                            "NAME \"Highway\"\nINDEX 3\n\nNAME \"Tunnel\"\nINDEX 4\n\n"}) {
    server_.QueueReply(RawReply::Http(200, reply));
  }
  EXPECT_EQ(VKMergeCheck(), 0) << Error();
  EXPECT_EQ(Lines(ErrorList), (IssueLines{L"Substance [A]: Index 4 has different name in Kalvoro (N2O)",
                                        L"Searchkey [D]: Index 2 has different name in Kalvoro (Gasoline)",
                                        L"Source timevar [B]: Index 2 has different name in Kalvoro (Shop)",
                                        L"Road timevar [B]: Index 2 has different name in Kalvoro (Avenue)",
                                        L"Emission factor [B]: Index 7 has different name in Kalvoro (Stove)",
                                        L"Vehicle [B]: Index 1 has different name in Kalvoro (Car petrol)",
                                        L"Road Vehicle [B]: Index 2 has different name in Kalvoro (PC petrol)",
                                        L"Roadtype [B]: Index 3 has different name in Kalvoro (Highway)"}));
}

TEST_F(ScriptedMergeTest, FailedReadStopsWithMinusOne) {
  SubgrpList.Add(L"Boiler", 7);
  server_.QueueReply(RawReply::Http(200, "1 \"NOx\"\n"));
  server_.QueueReply(RawReply::Http(200, "Error: unknown EDB Edb1 of EDB user anna\n"));  // the server's refusal
  EXPECT_EQ(VKMergeCheck(), -1);
  EXPECT_NE(Error().find("Error in input: Error: unknown EDB Edb1 of EDB user anna"), std::string::npos) << Error();
  EXPECT_EQ(Queries().size(), 2u);  // nothing asked after the failure
}

TEST_F(ScriptedMergeTest, UnreachableServerIsAFailureNotACompatibleEdb) {
  SubLists[0].Add(L"NOx", 1);
  server_.Stop();
  EXPECT_EQ(VKMergeCheck(), -1);
  EXPECT_NE(Error().find("Request '"), std::string::npos);
  EXPECT_EQ(ErrorList.Count(), 0);
}

// Every check still reads and compares; an earlier issue makes each one 0.
TEST_F(ScriptedMergeTest, EarlierIssuesMakeEveryCheckZeroAndEveryListIsAsked) {
  ErrorList.Add(L"Source", 3, 2, L"from a verification");
  EXPECT_EQ(MergeCheckSub(0), 0);
  EXPECT_EQ(MergeCheckTimevar(1), 0);
  EXPECT_EQ(MergeCheckSubgrp(), 0);
  EXPECT_EQ(VKMergeCheck(), 0);
  EXPECT_EQ(ErrorList.Count(), 1);
  std::vector<std::string> queries = Queries();
  ASSERT_EQ(queries.size(), 15u);
  std::vector<std::string> expected;
  for (int list = 0; list < 6; ++list) expected.push_back("iedbvk2.cgi&REF&loadsubs&anna&Edb1&" + std::to_string(list));
  for (std::string kind : {"timevarp", "timevarr", "subgrp", "veh", "sveh", "roadtype"}) {
    expected.push_back("iedbvk2.cgi&REF&loadxxxdb&anna&Edb1&" + kind + "&1");
  }
  EXPECT_EQ(std::vector<std::string>(queries.begin() + 3, queries.end()), expected);
}

TEST_F(ScriptedMergeTest, ChecksLeaveTheCatalogueAndTheirLogLines) {
  SubgrpList.Add(L"Boiler", 7);
  SubgrpList.Add(L"Stove", 3);
  server_.QueueReply(RawReply::Http(200, "NAME \"Stove\"\nINDEX 3\n\n"));
  int32_t r = 0;
  std::string calls = Logged([&] { r = MergeCheckSubgrp(); }, [](const std::string& line) {
    return line.find("MergeCheck") != std::string::npos || line.find("IsCompatible") != std::string::npos;
  });
  EXPECT_EQ(r, 1) << Error();
  EXPECT_EQ(SubgrpList.Count(), 2);
  EXPECT_EQ(SubgrpList.Find(L"Boiler"), 7);
  EXPECT_EQ(calls,
            " --> MergeCheckSubgrp()\n  --> IsCompatible()\n  <-- IsCompatible = 1\n <-- MergeCheckSubgrp = 1\n");
}

}  // namespace
