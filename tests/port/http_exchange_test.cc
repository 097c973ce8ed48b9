// Requests and replies through the Linux WinINet layer against the scripted
// loopback server: what goes on the wire and how broken, silent and
// misaddressed exchanges fail.  The transport's own tests read replies of
// every shape through this layer.
#include <gtest/gtest.h>

#include <string>

#include "port/port.h"
#include "port/port_client.h"
#include "support/raw_http_server.h"

using port_test::Client;
using port_test::ReadBody;
using test_support::HttpHead;
using test_support::RawHttpServer;
using test_support::RawReply;

namespace {

class HttpExchange : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Start()); }
  RawHttpServer server;
};

TEST_F(HttpExchange, GetGoesOutAsHttp10WithItsPathEncoded) {
  server.QueueReply(RawReply::Http(200, "first line\r\nsecond line\n"));
  // Unsafe bytes of the path go out percent-encoded; the query keeps its own.
  Client client(server.port(), "GET", "/a b\xE9\"<>\\^`{|}\x01\x7F#?a=1&b=%41&c=%&y=a b");
  ASSERT_NE(client.request, nullptr);
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine,
            "GET /a%20b%E9%22%3C%3E%5C%5E%60%7B%7C%7D%01%7F%23?a=1&b=%41&c=%&y=a%20b HTTP/1.0");
  EXPECT_EQ(requests[0].Header("User-Agent"), "port test");
}

// A proxy may answer with an interim "100 Continue" first: the request waits
// for the final reply, and the status is that reply's.
TEST_F(HttpExchange, AnInterimReplyGivesWayToTheFinalOne) {
  RawReply reply;
  reply.Send("HTTP/1.1 100 Continue\r\n\r\n").Send(HttpHead(200, "Content-Length: 2\r\n") + "ok", 300);
  server.QueueReply(reply);
  Client client(server.port(), "POST", "/x");
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  char status[8];
  DWORD length = sizeof status;
  ASSERT_TRUE(HttpQueryInfoA(client.request, HTTP_QUERY_STATUS_CODE, status, &length, nullptr));
  EXPECT_STREQ(status, "200");
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 64, &error), "ok");
  EXPECT_EQ(error, 0u);
}

TEST_F(HttpExchange, ABrokenOffBodyFailsTheRead) {
  RawReply closed;
  closed.Send(HttpHead(200, "Content-Length: 1000\r\n") + std::string(100, 'a'));
  RawReply reset = closed;
  reset.reset = true;
  reset.pieces.back().pauseBeforeMs = 0;
  server.QueueReply(closed);
  server.QueueReply(reset);
  for (int round = 0; round < 2; ++round) {
    Client client(server.port(), "GET", "/x");
    ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0)) << round;
    DWORD error = 0;
    std::string got = ReadBody(client.request, 64, &error);
    EXPECT_TRUE(error == ERROR_INTERNET_CONNECTION_ABORTED ||
                error == ERROR_INTERNET_CONNECTION_RESET)
        << "round " << round << " error " << error;
    EXPECT_LE(got.size(), 100u);
    // The failure stays.
    char buffer[8];
    DWORD read = 0;
    EXPECT_FALSE(InternetReadFile(client.request, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 0u);
  }
}

TEST_F(HttpExchange, SilentServersTimeOut) {
  // A reply that never comes; a body that stops coming.
  server.QueueReply(RawReply::Silent());
  RawReply reply;
  reply.Send(HttpHead(200, "Content-Length: 100\r\n") + "partial");
  reply.silent = true;
  server.QueueReply(reply);
  Client silent(server.port(), "GET", "/x", port_test::kRequestFlags, 200);
  EXPECT_FALSE(HttpSendRequestA(silent.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
  Client client(server.port(), "GET", "/x", port_test::kRequestFlags, 300);
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 64, &error), "partial");  // what came is handed out before the failure
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
}

TEST(HttpFailures, AHostThatWouldBendTheUrlIsRefused) {
  HINTERNET session = InternetOpenA("t", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET connection =
      InternetConnectA(session, "127.0.0.1/evil?", 1, "", "", INTERNET_SERVICE_HTTP, 0, 0);
  ASSERT_NE(connection, nullptr);  // like WinINet: nothing checked before the send
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/x", "HTTP/1.0", nullptr, nullptr, 0, 0);
  EXPECT_FALSE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_NAME_NOT_RESOLVED));
  InternetCloseHandle(session);
}

}  // namespace
