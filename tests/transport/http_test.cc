// The HTTP transport against a scripted loopback server: the wire, the line
// reader, broken-off replies, error statuses, save replies and one command at
// a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/frame.h"
#include "support/raw_http_server.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"

namespace {

using test_support::HttpHead;
using test_support::RawHttpServer;
using test_support::RawReply;

class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(HTTPInit());
    ASSERT_TRUE(HTTPConnection("anna", nullptr, ("http://127.0.0.1:" + std::to_string(server_.port())).c_str()));
    ClearErrorText();
  }
  void TearDown() override {
    HTTPAbortCommand();
    server_.Stop();
  }

  // Every line of the reply to a GET, read with a caller buffer of `size` bytes.
  std::vector<std::string> Lines(RawReply reply, int32_t size = 16192) {
    server_.QueueReply(std::move(reply));
    EXPECT_EQ(HTTPGet("cmd"), 1) << GetErrorText();
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<size_t>(size));
    int32_t r;
    while ((r = HTTPGetLine(buffer.data(), size)) == 1) lines.push_back(buffer.data());
    EXPECT_EQ(r, 0);
    EXPECT_EQ(HTTPGetLine(buffer.data(), size), 0) << "the end of a reply stays the end";
    return lines;
  }

  RawHttpServer server_;
};

using Strings = std::vector<std::string>;

TEST_F(HttpTest, LineEndsOfEveryKind) {
  EXPECT_EQ(Lines(RawReply::Http(200, "a\r\nb")), (Strings{"a", "b"}));
  EXPECT_EQ(Lines(RawReply::Http(200, "a\n\nb\n")), (Strings{"a", "", "b"}));
  EXPECT_EQ(Lines(RawReply::Http(200, "a\rb\r")), (Strings{"a", "b"}));
  EXPECT_EQ(Lines(RawReply::Http(200, "a\n\rb")), (Strings{"a", "", "b"}));
  EXPECT_EQ(Lines(RawReply::Http(200, "\n")), (Strings{""}));
  EXPECT_EQ(Lines(RawReply::Http(200, "")), Strings{});
  EXPECT_EQ(Lines(RawReply::Http(200, "", false)), Strings{});
  EXPECT_EQ(Lines(RawReply::Http(204, "")), Strings{});
}

// (A long reply read exactly across its chunks: the 150,000 cells of tests/e2e GridRoundTrip.)
TEST_F(HttpTest, CrLfAcrossChunksEndsOneLine) {
  // Without Content-Length the reply is read 5120 bytes at a time.
  std::string first(DefaultRecvChunk - 1, 'x');
  RawReply reply;
  // The head itself arrives in two pieces.
  reply.Send("HTTP/1.0 200 OK\r\nConne").Send("ction: close\r\n\r\n" + first + "\r", 30);
  reply.Send("\nsecond\r", 50).Send("\nthird", 50);
  EXPECT_EQ(Lines(reply), (Strings{first, "second", "third"}));
}

TEST_F(HttpTest, LongLinesComeInPiecesOfSizeMinusOne) {
  EXPECT_EQ(Lines(RawReply::Http(200, "abcdefghij\nk"), 4), (Strings{"abc", "def", "ghi", "j", "k"}));
  // A line of exactly size - 1 bytes consumes its line end.
  EXPECT_EQ(Lines(RawReply::Http(200, "abc\r\ndef"), 4), (Strings{"abc", "def"}));
}

TEST_F(HttpTest, UrlLengthLimit) {
  std::string longest(MaxGetUrlLength, 'u');
  server_.SetDefaultReply(RawReply::Http(200, ""));
  EXPECT_EQ(HTTPGet(longest.c_str()), 1) << GetErrorText();
  HTTPAbortCommand();
  ASSERT_TRUE(server_.WaitForRequests(1, 5000));
  EXPECT_EQ(server_.Requests()[0].requestLine, "GET /cgi-bin/ikalvoro/" + longest + " HTTP/1.0");
  ClearErrorText();
  EXPECT_EQ(HTTPGet((longest + "u").c_str()), -1);
  EXPECT_STREQ(GetErrorText(), "Too long URL.");
  EXPECT_EQ(server_.RequestCount(), 1u);
}

// (Bodies past the 64 KiB buffer steps, one after another: tests/e2e GridRoundTrip.)
TEST_F(HttpTest, PostBodyAndReply) {
  server_.QueueReply(RawReply::Http(200, "Ok.\nOk."));
  ASSERT_EQ(HTTPPost("do.cgi?auth&iedbvksave2.cgi&x"), 1);
  for (const char* text : {"REF", "", "G\xf6teborg"}) ASSERT_EQ(HTTPWriteLine(text), 1);
  ASSERT_EQ(HTTPEndWrite(), 1) << GetErrorText();
  char line[100];
  ASSERT_EQ(HTTPGetLine(line, sizeof line), 1);
  EXPECT_STREQ(line, "Ok.");
  auto request = server_.Requests()[0];
  EXPECT_EQ(request.requestLine, "POST /cgi-bin/ikalvoro/do.cgi?auth&iedbvksave2.cgi&x HTTP/1.0");
  EXPECT_EQ(request.body, "REF\n\nG\xf6teborg\n");
  EXPECT_EQ(request.Header("Content-Length"), "14");
  EXPECT_FALSE(request.HasHeader("Expect") || request.HasHeader("Content-Type")) << "an HTTP/1.0 server wants neither";
}

// Every line of a record save's reply must begin with the acknowledgement;
// the first that does not fails the save and becomes the error text.
TEST_F(HttpTest, SaveRepliesAreCheckedLineByLine) {
  const struct {
    const char* reply;
    int32_t result;
    const char* error;
  } cases[] = {
      {"Ok.\nOk.\n", 1, ""},
      {"Ok.\nOk", -1, "Ok"},
      {"Ok.\nOkay\n", -1, "Okay"},
  };
  for (const auto& c : cases) {
    server_.QueueReply(RawReply::Http(200, c.reply));
    ASSERT_EQ(HTTPPost("save"), 1);
    ASSERT_EQ(HTTPWriteLine("EOF"), 1);
    ASSERT_EQ(HTTPEndWrite(), 1) << GetErrorText();
    ClearErrorText();
    EXPECT_EQ(VerifyDbWrite(L"Ok."), c.result) << c.reply;
    EXPECT_STREQ(GetErrorText(), c.error) << c.reply;
    HTTPAbortCommand();
  }
}

// A grid save's reply must carry the four progress lines in order.
TEST_F(HttpTest, GridSaveRepliesMustCarryTheProgressLinesInOrder) {
  ASSERT_TRUE(IOLInit());
  ASSERT_TRUE(IOLSetConnPar(L"anna", L"pw", (L"k:http://127.0.0.1:" + std::to_wstring(server_.port())).c_str()));
  IOLEdbUserSet(L"anna");
  IOLEdbNameSet(L"Lund");
  const struct {
    const char* reply;
    const char* error;
  } cases[] = {
      {"Examining data...\nWrite index 1\nWrite data 2\nOK!\n", ""},
      {"Examining data\nWrite index\nOK!\n", "Error writing grid: OK! (Expected Write data)"},
      {"Examining data\nWrite index\n", "Unexpected end. i = 2"},
      {"", "Unexpected end. i = 0"},
  };
  for (const auto& c : cases) {
    server_.QueueReply(RawReply::Http(200, c.reply));
    ClearErrorText();
    EXPECT_EQ(IOLGridPutInit(L"NOx2025"), 1);
    EXPECT_EQ(IOLGridPutAsc(L"NOx2025"), 1);
    EXPECT_EQ(IOLSendLine(L"NCOLS %d", 2), 1);
    EXPECT_EQ(IOLGridPutData(L"NOx2025"), 1);
    EXPECT_EQ(IOLSendLine(L"1 2"), 1);
    EXPECT_EQ(IOLGridPutDone(L"NOx2025"), *c.error ? -1 : 1) << c.reply;
    EXPECT_STREQ(GetErrorText(), c.error) << c.reply;
  }
  EXPECT_EQ(server_.Requests()[0].body,
            "REF\nsavegrid\nanna\nLund\nNOx2025\n#GRIDASC\nNCOLS 2\n#GRIDDATA\n1 2\n#EOF\n");
}

TEST_F(HttpTest, CredentialsRequestWithoutDialogFailsWithTheStatus) {
  RawReply proxy;  // the platform's credentials step answers "cancelled" here
  proxy.Send(HttpHead(407, "Proxy-Authenticate: Basic realm=\"gate\"\r\n") + "proxy says no");
  server_.QueueReply(proxy);
  EXPECT_EQ(HTTPGet("cmd"), -1);
  EXPECT_STREQ(GetErrorText(), "Kalvoro answered HTTP 407 Proxy Authentication Required to a GET request.");
  char line[10];
  EXPECT_EQ(HTTPGetLine(line, sizeof line), -1) << "the reply of a failed command is no empty reply";
  ClearErrorText();
  server_.QueueReply(RawReply::Http(401, "no"));
  ASSERT_EQ(HTTPPost("save"), 1);
  EXPECT_EQ(HTTPEndWrite(), -1);
  EXPECT_STREQ(GetErrorText(), "Kalvoro answered HTTP 401 Unauthorized to a POST request.");
  HTTPAbortCommand();
  EXPECT_EQ(HTTPGetLine(line, sizeof line), 0);
}

// (A GET or a POST counted: the host's TransferExportsTest.RequestBetweenTheCallsOfATransferFailsIt.)
TEST_F(HttpTest, ANewCommandClosesTheOpenOneAndCountsIt) {
  server_.SetDefaultReply(RawReply::Http(200, "one\ntwo\n"));
  ASSERT_EQ(HTTPGet("first"), 1);
  ASSERT_EQ(HTTPPost("save"), 1);  // closes the reply of "first"
  ASSERT_EQ(HTTPWriteLine("body"), 1);
  uint32_t collecting = HTTPCommandNumber();
  HTTPAbortCommand();
  EXPECT_NE(HTTPCommandNumber(), collecting);
  EXPECT_EQ(HTTPWriteLine("late"), -1) << "a body line without an open save";
  EXPECT_EQ(HTTPEndWrite(), -1);
  uint32_t idle = HTTPCommandNumber();
  HTTPAbortCommand();
  EXPECT_EQ(HTTPCommandNumber(), idle) << "closing nothing changes nothing";
  ASSERT_TRUE(server_.WaitForRequests(1, 5000));
  EXPECT_EQ(server_.RequestCount(), 1u);
}

TEST_F(HttpTest, ConnectionRefusedNamesThePath) {
  server_.Stop();
  EXPECT_EQ(HTTPGet("cmd"), -1);
  EXPECT_STREQ(GetErrorText(), "HttpSendRequest(GET /cgi-bin/ikalvoro/cmd) returned error 12029.");
  char line[10];
  EXPECT_EQ(HTTPGetLine(line, sizeof line), -1);
}

// The canonical form keeps a URL's structure and encodes only unsafe bytes; a
// form longer than its 255 bytes of room is an error naming the code.
TEST(HttpUrlEncode, CanonicalFormOrTheErrorCode) {
  ClearErrorText();
  const char* url = HTTPUrlEncode("http://h/a b/\xE9?x=1&y=%41#top|");
  ASSERT_NE(url, nullptr);
  EXPECT_STREQ(url, "http://h/a%20b/%E9?x=1&y=%41#top%7C");
  const std::string longest = "http://h/" + std::string(254 - 9, 'a');
  url = HTTPUrlEncode(longest.c_str());
  ASSERT_NE(url, nullptr);
  EXPECT_EQ(url, longest);
  EXPECT_EQ(HTTPUrlEncode((longest + "a").c_str()), nullptr);
  EXPECT_EQ(std::string(GetErrorText()), "InternetCanonicalizeUrl() returned error 122.");
}

}  // namespace
