// The transfer exports of the reference kinds against a scripted server and
// a substitute workbook: failed, refused, interrupted and idle transfers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "scripted_workbook.h"
#include "support/workbook_transfers.h"
#include "vorkabcom.h"

namespace {

using sheethost::Cell;
using test_support::HttpHead;
using test_support::RawReply;
using namespace e2e;  // the transfer steps shared with the end-to-end tests

using TransferExportsTest = ScriptedWorkbookTest;

Step Once(const Transfer& call, int32_t mode) { return Calls(call, mode, 1).front(); }

// Searchkeys 14 down to 1, one line each.
std::string FallingSearchkeys() {
  std::string lines;
  for (int i = 14; i >= 1; --i) lines += std::to_string(i) + " \"Key " + std::to_string(i) + "\"\n";
  return lines;
}

TEST_F(TransferExportsTest, LoadWhoseReplyBreaksOffFailsWithTheListSorted) {
  RawReply reply;
  reply.Send(HttpHead(200, "Content-Length: 100000\r\n") + FallingSearchkeys() + "15 \"Ke");
  server_.QueueReply(reply);

  EXPECT_EQ(Once(SubLoad(3), 1), (Step{1, L"10"}));
  EXPECT_EQ(Once(SubLoad(3), 0), (Step{-1, L"14"}));
  EXPECT_EQ(std::string(GetErrorText()).rfind("Error reading response. Error ", 0), 0u) << GetErrorText();
  EXPECT_EQ(SubLists[3].Count(), 14);
  EXPECT_TRUE(SubLists[3].IsSorted());
  wchar_t name[256];
  ASSERT_EQ(SubLists[3].List(1, name, 256), 1);
  EXPECT_STREQ(name, L"Key 1");
  EXPECT_EQ(host.Book().GetCell(L"Searchkey", 14, 3), Cell::Str(L"Key 14"));
  EXPECT_TRUE(host.Book().GetCell(L"Searchkey", 15, 3).IsEmpty());

  // The transfer is over: a continue call has nothing to continue.
  ClearErrorText();
  EXPECT_EQ(Once(SubLoad(3), 0), (Step{-1, L"14"}));
  EXPECT_NE(std::string(GetErrorText()).find("no transfer in progress"), std::string::npos) << GetErrorText();
  EXPECT_EQ(server_.RequestCount(), 2u);
}

// A reply without records ends the Load at once; a Load whose sheet is
// missing fails before any request and leaves the count alone, and does not
// keep the next Load from starting.
TEST_F(TransferExportsTest, EmptyReplyAndMissingSheet) {
  server_.QueueReply(RawReply::Http(200, ""));
  EXPECT_EQ(Once(SubLoad(3), 1), (Step{0, L"0"}));
  ASSERT_TRUE(host.Book().RemoveSheet(L"Searchkey"));
  EXPECT_EQ(Once(SubLoad(3), 1), (Step{-1, L"?"}));
  EXPECT_EQ(server_.RequestCount(), 2u);
  EXPECT_EQ(Error(), "Couldn't set sheet Searchkey.");
  AddSheet(L"Searchkey");
  server_.QueueReply(RawReply::Http(200, "1 \"Key 1\"\n"));
  EXPECT_EQ(Once(SubLoad(3), 1), (Step{0, L"1"}));
}

// A searchkey the sheet cannot hold (no row for its index, or its row taken
// by a later one) is named in the warning list: a Save would not send it.
TEST_F(TransferExportsTest, LoadNamesTheSearchkeysTheSheetCannotHold) {
  RawReply reply;
  reply.Send(HttpHead(200, "") + "0 \"Zero\"\n2 \"Two\"\n64 \"Past\"\n2 \"Again\"\n");
  server_.QueueReply(reply);
  EXPECT_EQ(Once(SubLoad(3), 1), (Step{0, L"4"}));
  EXPECT_EQ(IssueTexts(WarningList), (std::vector<std::wstring>{
                       L"Searchkey [D]: Searchkey 0 from Kalvoro (Zero) has no row on the sheet (rows 1 to 63): a "
                       L"save would not send it",
                       L"Searchkey [D]: Searchkey 64 from Kalvoro (Past) has no row on the sheet (rows 1 to 63): a "
                       L"save would not send it",
                       L"Searchkey [D3]: Kalvoro names index 2 twice (Two, then Again): the sheet keeps the second"}));
  EXPECT_EQ(host.Book().GetCell(L"Searchkey", 2, 3), Cell::Str(L"Again"));
}

TEST_F(TransferExportsTest, RequestThatCannotBeSentIsAFailureNotAnEmptyList) {
  server_.Stop();
  const std::pair<std::function<int32_t(wchar_t*)>, const char*> cases[] = {
      {[](wchar_t* count) { return VKSubLoad(1, 2, count); }, "Request 'do.cgi?"},
      {[](wchar_t* count) { return VKTimevarsLoad(0, 1, count); }, "&loadxxxdb&anna&Stockholm2023&timevarp&0' failed"},
      {[](wchar_t* count) { return VKSubgrpsLoad(1, count); }, "&subgrp&0' failed"},
      {[](wchar_t* count) { return VKEmfacsLoad(1, count); }, "&emfac&0' failed"},
  };
  for (const auto& c : cases) {
    wchar_t count[16] = L"?";
    ClearErrorText();
    EXPECT_EQ(c.first(count), -1) << c.second;
    EXPECT_STREQ(count, L"0") << c.second;
    EXPECT_NE(std::string(GetErrorText()).find(c.second), std::string::npos) << GetErrorText();
  }
}

TEST_F(TransferExportsTest, StatusOutside2xxFailsReadsSavesListsAndCreation) {
  PutTimevar(L"Source timevar", 1, L"Day", 1);
  const std::string page = "<html><body><h1>Not Found</h1></body></html>\n";
  const struct {
    const char* what;
    int status;
    std::string body;
    std::function<int32_t()> call;
    int32_t failure;
    const char* error;
  } cases[] = {
      {"read", 503, "", [] { return Last(SubLoad(1)); }, -1, "HTTP 503 Service Unavailable to a GET"},
      {"read", 404, page, [] { return Last(SubLoad(1)); }, -1, "HTTP 404 Not Found to a GET"},
      {"save", 500, "", [] { return Last(TimevarsSave(0)); }, -1, "HTTP 500 Internal Server Error to a POST"},
      {"save", 502, "", [] { return Last(TimevarsSave(0)); }, -1, "HTTP 502 Bad Gateway to a POST"},
      {"save", 503, "Ok.\n", [] { return Last(TimevarsSave(0)); }, -1, "HTTP 503 Service Unavailable"},
      {"create", 404, page, [] { return VKEdbCreate(L"Uppsala2030"); }, -1, "HTTP 404 Not Found to a POST"},
      {"list", 404, page, VKDatabasesLoad, -1, "HTTP 404 Not Found to a GET"},
      {"list", 302, "", VKEdbNamesLoad, 0, "HTTP 302 Found to a GET"},
      {"list", 299, "REF\n", VKDatabasesLoad, 1, ""},
  };
  for (const auto& c : cases) {
    server_.QueueReply(RawReply::Http(c.status, c.body));
    ClearErrorText();
    EXPECT_EQ(c.call(), c.failure) << c.what << " answered " << c.status << ": " << GetErrorText();
    EXPECT_NE(std::string(GetErrorText()).find(c.error), std::string::npos) << GetErrorText();
    if (c.failure == 1) {
      EXPECT_STREQ(GetErrorText(), "");
    }
  }
  wchar_t value[1024];
  VKEdbNameGet(value);
  EXPECT_STREQ(value, L"Stockholm2023") << "a failed creation selects nothing";
  wchar_t name[1024];
  ASSERT_EQ(VKDatabasesList(1, name), 1);
  EXPECT_STREQ(name, L"REF");
  EXPECT_EQ(VKDatabasesList(0, name), 0) << "no page text among the databases";
}

TEST_F(TransferExportsTest, RequestBetweenTheCallsOfATransferFailsIt) {
  // A Load: ten of fourteen searchkeys are in when the macro lists the databases.
  server_.QueueReply(RawReply::Http(200, FallingSearchkeys()));
  EXPECT_EQ(Once(SubLoad(3), 1), (Step{1, L"10"}));
  server_.QueueReply(RawReply::Http(200, "REF\n"));
  EXPECT_EQ(VKDatabasesLoad(), 1);
  EXPECT_EQ(Once(SubLoad(3), 0), (Step{-1, L"10"}));
  EXPECT_NE(std::string(GetErrorText()).find("VKSubLoad: another request to Kalvoro interrupted this transfer"),
            std::string::npos)
      << GetErrorText();
  EXPECT_EQ(SubLists[3].Count(), 10);
  EXPECT_TRUE(SubLists[3].IsSorted());
  EXPECT_EQ(Once(SubLoad(3), 0).result, -1) << "the transfer is over";

  // A Save: nine of twelve time variations are collected when an EDB is created.
  for (int i = 1; i <= 12; ++i) PutTimevar(L"Source timevar", i, L"T" + std::to_wstring(i), i);
  ClearErrorText();
  EXPECT_EQ(Once(TimevarsSave(0), 1), (Step{1, L"10"}));
  size_t before = server_.RequestCount();
  server_.QueueReply(RawReply::Http(200, "OK\n"));
  EXPECT_EQ(VKEdbCreate(L"Uppsala2030"), 1) << GetErrorText();
  EXPECT_EQ(Once(TimevarsSave(0), 0).result, -1);
  EXPECT_NE(std::string(GetErrorText()).find("VKTimevarsSave: another request to Kalvoro interrupted this "
                                             "transfer between its calls; nothing was saved."),
            std::string::npos)
      << GetErrorText();
  ASSERT_EQ(server_.RequestCount(), before + 1) << "only the creation went out";
  EXPECT_EQ(BodyLines(before)[1], "createempty");
}

TEST_F(TransferExportsTest, SaveStartModesWriteTheFlagLines) {
  PutTimevar(L"Source timevar", 1, L"Day", 1);
  // mode: the seventh and eighth body lines (TransferFlags bits 1 and 0).
  const struct {
    int32_t mode;
    const char* flag7;
    const char* flag8;
  } cases[] = {{1, "0", "0"}, {3, "0", "1"}, {7, "0", "1"}, {5, "0", "0"}};
  size_t request = 1;
  for (const auto& c : cases) {
    server_.QueueReply(RawReply::Http(200, "Ok.\n"));
    EXPECT_EQ(Once(TimevarsSave(0), c.mode), (Step{0, L"2"})) << "mode " << c.mode << ": " << GetErrorText();
    std::vector<std::string> lines = BodyLines(request++);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[4], "timevarp");
    EXPECT_EQ(lines[6], c.flag7) << "mode " << c.mode;
    EXPECT_EQ(lines[7], c.flag8) << "mode " << c.mode;
    EXPECT_EQ(lines[8], "NAME \"Day\"");
  }
}

TEST_F(TransferExportsTest, SearchkeySaveTheServerDoesNotConfirmFails) {
  host.Book().SetCell(L"Searchkey", 1, 2, Cell::Str(L"Harbour"));
  server_.QueueReply(RawReply::Http(200, ""));
  EXPECT_EQ(Last(SubSave(2)), -1);
  EXPECT_NE(std::string(GetErrorText()).find("did not confirm"), std::string::npos) << GetErrorText();
  std::vector<std::string> lines = BodyLines(1);
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[4], "sub");
  EXPECT_EQ(lines[5], "2");
  EXPECT_EQ(lines[8], "1 \"Harbour\"");
  EXPECT_EQ(lines[9], "2 \"\"");  // every row of the list goes, named or not
}

TEST_F(TransferExportsTest, UnknownListsAndIdleTransfersFailCleanly) {
  wchar_t count[16] = L"untouched";
  EXPECT_EQ(VKSubLoad(1, 6, count), -1);
  EXPECT_STREQ(GetErrorText(), "Unknown substance list: 6");
  EXPECT_EQ(VKSubSave(1, -1, count), -1);
  EXPECT_STREQ(count, L"untouched");
  EXPECT_EQ(server_.RequestCount(), 1u);

  // (A load continued idle: tests/e2e Transfers.ModeValuesAndMasks.)
  ClearErrorText();
  EXPECT_EQ(VKEmfacsSave(0, count), -1);
  EXPECT_NE(std::string(GetErrorText()).find("no transfer in progress"), std::string::npos);
  EXPECT_EQ(Once(TimevarsSave(1), 0).result, -1);
  EXPECT_EQ(Once(SubSave(4), 0).result, -1);
  // Aborting what is not running is harmless.
  EXPECT_EQ(Once(TimevarsLoad(1), -1).result, 0);
  EXPECT_EQ(server_.RequestCount(), 1u);
}

}  // namespace
