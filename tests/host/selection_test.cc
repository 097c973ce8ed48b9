// The selection exports and the list replies beneath them, against a
// scripted server: what goes on the wire, how replies end, and failures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/frame.h"
#include "scripted_workbook.h"
#include "transport/connection.h"
#include "vorkabcom.h"

namespace {

using test_support::HttpHead;
using test_support::RawHttpServer;
using test_support::RawReply;

class SelectionTest : public ScriptedWorkbookTest {
 protected:
  SelectionTest() : ScriptedWorkbookTest({}, L"", L"") {}
};

using Names = std::vector<std::wstring>;

TEST_F(SelectionTest, ListsAreSortedFromTheirRequests) {
  const struct {
    const wchar_t* edbUser;
    const char* reply;
    int32_t (*load)();
    int32_t (*list)(int32_t, wchar_t*);
    Names names;
    const char* query;
  } cases[] = {
      // Databases end at an empty line.
      {L"", "TEST\nREF\n\nOTHER\n", VKDatabasesLoad, VKDatabasesList, {L"REF", L"TEST"}, "x&listdb&x&x"},
      {L"", "", VKDatabasesLoad, VKDatabasesList, {}, "x&listdb&x&x"},
      // EDB users are the first token of each line.
      {L"", "global;Shared data\nanna;Anna's inventory\n;;bertil;x\nplain\n", VKEdbUsersLoad, VKEdbUsersList,
       {L"anna", L"bertil", L"global", L"plain"}, "REF&listedbusers&x&x"},
      {L"anna", "Stockholm2023\nG\xf6teborg\n", VKEdbNamesLoad, VKEdbNamesList, {L"G\xf6teborg", L"Stockholm2023"},
       "REF&listedbnames&anna&x"},
  };
  size_t request = 1;
  for (const auto& c : cases) {
    VKEdbUserSet(c.edbUser);
    server_.QueueReply(RawReply::Http(200, c.reply));
    EXPECT_EQ(c.load(), 1);
    EXPECT_EQ(All(c.list), c.names);
    EXPECT_EQ(Query(request++), std::string("/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&") + c.query);
  }
}

TEST_F(SelectionTest, BrokenReplyKeepsTheNamesReadSoFarInReplyOrder) {
  RawReply reply;
  reply.Send(HttpHead(200, "Content-Length: 5000\r\n") + "ZETA\nALPHA\nMID");
  server_.QueueReply(reply);
  EXPECT_EQ(VKDatabasesLoad(), -1);
  EXPECT_NE(std::string(GetErrorText()).find("Error reading response."), std::string::npos) << GetErrorText();
  wchar_t name[1024];
  ASSERT_EQ(VKDatabasesList(1, name), 1);
  EXPECT_STREQ(name, L"ZETA");
  ASSERT_EQ(VKDatabasesList(0, name), 1);
  EXPECT_STREQ(name, L"ALPHA");
}

TEST_F(SelectionTest, ListWhoseRequestFailsIsAFailureNotAnEmptyList) {
  // The reply breaks off before its first byte, then no server at all.  The
  // EDB user and name loads report failure as 0.
  RawReply reply;
  reply.Send(HttpHead(200, "Content-Length: 500\r\n"));
  server_.QueueReply(reply);
  EXPECT_EQ(VKEdbUsersLoad(), 0);
  EXPECT_NE(std::string(GetErrorText()).find("Error reading response."), std::string::npos) << GetErrorText();
  server_.Stop();
  ClearErrorText();
  EXPECT_EQ(VKDatabasesLoad(), -1);
  wchar_t name[1024];
  EXPECT_EQ(VKDatabasesList(1, name), 0);
  std::string error = GetErrorText();
  EXPECT_NE(error.find("Request 'do.cgi?"), std::string::npos) << error;
  EXPECT_NE(error.find("&iedbvk2.cgi&x&listdb&x&x' failed"), std::string::npos) << error;
  EXPECT_EQ(VKEdbNamesLoad(), 0);
}

TEST_F(SelectionTest, NamesThatCannotTravelAreRefusedBeforeAnyRequest) {
  const struct {
    const wchar_t* database;
    const wchar_t* edbUser;
    std::function<int32_t()> call;
    int32_t failure;
    const char* error;
  } cases[] = {
      {L"REF", L"anna", [] { return VKEdbCreate(L""); }, -1, "The new EDB name is empty: give a name."},
      {L"REF", L"anna", [] { return VKEdbCreate(nullptr); }, -1, "The new EDB name is empty: give a name."},
      {L"REF", L"anna", [] { return VKEdbCreate(L"New\nEOF"); }, -1,
       "The new EDB name \"New?EOF\" cannot be sent to Kalvoro: it holds a line break."},
      {L"REF", L"anna", [] { return VKEdbCreate(L"A&B"); }, -1,
       "The new EDB name \"A&B\" cannot be sent to Kalvoro: it holds '&', which separates the fields of a request."},
      {L"REF", L"anna", [] { return VKEdbCreate(L"\u0141\u00f3d\u017a"); }, -1,
       "The new EDB name \"?\xf3" "d?\" cannot be sent to Kalvoro: it holds characters outside ISO 8859-1."},
      {L"REF", L"anna", [] { return VKEdbCreate(std::wstring(1024, L'n').c_str()); }, -1,
       "The new EDB name is too long (1024 characters; at most 1023)."},
      {L"REF", L"anna\r", [] { return VKEdbCreate(L"New"); }, -1,
       "The EDB user \"anna?\" cannot be sent to Kalvoro: it holds a line break."},
      {L"RE&F", L"anna", VKEdbUsersLoad, 0,
       "The database \"RE&F\" cannot be sent to Kalvoro: it holds '&', which separates the fields of a request."},
      {L"", L"anna", VKEdbUsersLoad, 0, "The database is empty: give a name."},
      {L"REF", L"an&na", VKEdbNamesLoad, 0,
       "The EDB user \"an&na\" cannot be sent to Kalvoro: it holds '&', which separates the fields of a request."},
      {L"REF", L"anna\t", VKEdbNamesLoad, 0,
       "The EDB user \"anna?\" cannot be sent to Kalvoro: it holds a control character."},
  };
  for (const auto& c : cases) {
    VKDatabaseSet(c.database);
    VKEdbUserSet(c.edbUser);
    VKEdbNameSet(L"Before");
    ClearErrorText();
    EXPECT_EQ(c.call(), c.failure) << c.error;
    EXPECT_STREQ(GetErrorText(), c.error);
    wchar_t value[1024];
    VKEdbNameGet(value);
    EXPECT_STREQ(value, L"Before") << "a refused creation selects nothing";
  }
  EXPECT_EQ(server_.RequestCount(), 1u) << "only the login went out";
}

TEST_F(SelectionTest, NamesAreEncodedInUrlsAndExactInTheCreationBody) {
  VKDatabaseSet(L"R E%F#?+");
  VKEdbUserSet(L"G\xf6ran/1");
  server_.QueueReply(RawReply::Http(200, "x\n"));
  EXPECT_EQ(VKEdbNamesLoad(), 1) << GetErrorText();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&R%20E%25F%23%3F%2B&listedbnames&G%F6ran%2F1&x");
  server_.QueueReply(RawReply::Http(200, "OK\n"));
  EXPECT_EQ(VKEdbCreate(L"50% \xf6?"), 1) << GetErrorText();
  EXPECT_EQ(Query(2), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvksave2.cgi&x");
  EXPECT_EQ(server_.Requests()[2].body, "R E%F#?+\ncreateempty\nG\xf6ran/1\n50% \xf6?\n");
  wchar_t value[1024];
  VKEdbUserGet(value);
  EXPECT_STREQ(value, L"anna");  // the login user owns the new EDB
  VKEdbNameGet(value);
  EXPECT_STREQ(value, L"50% \xf6?");
}

TEST_F(SelectionTest, CurrentChoiceAndItsBuffers) {
  // (An empty name shows as "x": the Wine program's Dll.DatabasesUsersAndEdbsAreListedAndSelected.)
  wchar_t value[1100];
  VKEdbNameSet(L"Malmo2024");
  VKEdbUserSet(L"global");
  VKEdbNameGet(value);
  EXPECT_STREQ(value, L"");
  EXPECT_STREQ(CurrentConnPar().edbName, L"Malmo2024");  // kept for another EDB user
  VKEdbUserGet(value);
  EXPECT_STREQ(value, L"global");

  std::wstring huge(3000, L'd');
  VKDatabaseSet(huge.c_str());
  std::fill(std::begin(value), std::end(value), L'#');
  VKDatabaseGet(value);
  EXPECT_EQ(std::wstring(value), std::wstring(1023, L'd'));
  EXPECT_EQ(value[1024], L'#') << "written past 1024 characters";
}

}  // namespace
