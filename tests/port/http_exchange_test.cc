// Requests and replies through the Linux WinINet layer against the scripted
// loopback server: what goes on the wire, what comes back, and how header
// queries and reads behave.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "port/port.h"
#include "port/port_client.h"
#include "support/raw_http_server.h"

using port_test::Client;
using port_test::QueryText;
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

TEST_F(HttpExchange, GetSendsHttp10AndDeliversTheBody) {
  server.QueueReply(RawReply::Http(200, "first line\r\nsecond line\n"));
  // Unsafe bytes of the path go out percent-encoded; the query keeps its own.
  Client client(server.port(), "GET", "/a b\xE9\"<>\\^`{|}\x01\x7F#?a=1&b=%41&c=%&y=a b");
  ASSERT_NE(client.request, nullptr);
  ASSERT_TRUE(HttpSendRequestA(client.request, "X-One: 1\r\nX-Two: two\r\n", static_cast<DWORD>(-1), nullptr, 0));
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_STATUS_CODE), "200");
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 5120, &error), "first line\r\nsecond line\n");
  EXPECT_EQ(error, 0u);

  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine,
            "GET /a%20b%E9%22%3C%3E%5C%5E%60%7B%7C%7D%01%7F%23?a=1&b=%41&c=%&y=a%20b HTTP/1.0");
  EXPECT_EQ(requests[0].Header("User-Agent"), "port test");
  EXPECT_EQ(requests[0].Header("X-One") + requests[0].Header("X-Two"), "1two");
  EXPECT_TRUE(requests[0].body.empty());
}

TEST_F(HttpExchange, PostSendsExactlyTheBodyBytes) {
  const std::string body("line 1\nline\t2 \xE9\xFF\r\n\0end\n", 24);
  Client client(server.port(), "POST", "/cgi-bin/ikalvoro/do.cgi?save");
  std::string copy = body;
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, &copy[0],
                               static_cast<DWORD>(copy.size())));
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "POST /cgi-bin/ikalvoro/do.cgi?save HTTP/1.0");
  EXPECT_EQ(requests[0].body, body);
  EXPECT_EQ(requests[0].Header("Content-Length"), std::to_string(body.size()));
  EXPECT_FALSE(requests[0].HasHeader("Expect"));
  EXPECT_FALSE(requests[0].HasHeader("Content-Type"));
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 100, &error), "OK");
}

// (Error statuses deliver their bodies: the transport's tests read them.)

TEST_F(HttpExchange, QueryInfoFollowsTheBufferSizeRules) {
  server.QueueReply(RawReply::Http(200, std::string(12345, 'x')));
  Client client(server.port(), "GET", "/x");
  char buffer[32];
  DWORD length = sizeof buffer;
  // Nothing to ask before the request went out.
  EXPECT_FALSE(HttpQueryInfoA(client.request, HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr));
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));

  length = 5;  // "12345" needs six bytes with its terminator
  EXPECT_FALSE(HttpQueryInfoA(client.request, HTTP_QUERY_CONTENT_LENGTH, buffer, &length, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(length, 6u);
  EXPECT_FALSE(
      HttpQueryInfoA(client.request, HTTP_QUERY_CONTENT_LENGTH, nullptr, &length, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  length = 6;
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(HttpQueryInfoA(client.request, HTTP_QUERY_CONTENT_LENGTH, buffer, &length, nullptr));
  EXPECT_EQ(length, 5u);
  EXPECT_STREQ(buffer, "12345");

  length = sizeof buffer;
  EXPECT_FALSE(HttpQueryInfoA(client.request, HTTP_QUERY_PROXY_AUTHENTICATE, buffer, &length,
                              nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HTTP_HEADER_NOT_FOUND));
  EXPECT_FALSE(HttpQueryInfoA(client.request, HTTP_QUERY_STATUS_CODE, buffer, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(HttpExchange, MissingContentLengthAndProxyChallenge) {
  RawReply reply;
  reply.Send(HttpHead(407, "Proxy-Authenticate: Basic realm=\"gate\"\r\n") + "denied");
  server.QueueReply(reply);
  Client client(server.port(), "GET", "/x");
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_STATUS_CODE), "407");
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_PROXY_AUTHENTICATE), "Basic realm=\"gate\"");
  DWORD error = 0;
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_CONTENT_LENGTH, &error), "");
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_HTTP_HEADER_NOT_FOUND));
  EXPECT_EQ(ReadBody(client.request, 3, &error), "denied");
  EXPECT_EQ(InternetErrorDlg(GetDesktopWindow(), client.request, ERROR_INTERNET_INCORRECT_PASSWORD,
                             7, nullptr),
            static_cast<DWORD>(ERROR_CANCELLED));
}

TEST_F(HttpExchange, ReadsEndWithZeroAndStayAtTheEnd) {
  server.QueueReply(RawReply::Http(200, "abcdefghijklmnopq"));
  Client client(server.port(), "GET", "/x");
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  std::string body;
  char buffer[3];
  DWORD read = 0;
  do {
    ASSERT_TRUE(InternetReadFile(client.request, buffer, sizeof buffer, &read));
    ASSERT_LE(read, sizeof buffer);
    body.append(buffer, read);
  } while (read > 0);
  EXPECT_EQ(body, "abcdefghijklmnopq");
  read = 99;
  EXPECT_TRUE(InternetReadFile(client.request, buffer, sizeof buffer, &read));
  EXPECT_EQ(read, 0u);

  server.QueueReply(RawReply::Http(200, ""));
  Client empty(server.port(), "GET", "/x");
  ASSERT_TRUE(HttpSendRequestA(empty.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(QueryText(empty.request, HTTP_QUERY_CONTENT_LENGTH), "0");
  DWORD error = 0;
  EXPECT_EQ(ReadBody(empty.request, 64, &error), "");
  EXPECT_EQ(error, 0u);
}

std::string Pattern(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return text;
}

TEST_F(HttpExchange, BodiesOfManyChunksArriveExactly) {
  const std::string body = Pattern(300000);
  server.QueueReply(RawReply::Http(200, body));
  server.QueueReply(RawReply::Http(200, body, false));  // ended by the close
  for (int round = 0; round < 2; ++round) {
    Client client(server.port(), "GET", "/big");
    ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
    DWORD error = 0;
    std::string got = ReadBody(client.request, round == 0 ? 5120 : 70000, &error);
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(got == body) << "round " << round << ": " << got.size() << " bytes";
  }
}

TEST_F(HttpExchange, DribbledReplyIsCollected) {
  RawReply reply;
  reply.Send("HTTP/1.0 200 OK\r\nContent-Le", 0)
      .Send("ngth: 11\r\n\r\nhel", 30)
      .Send("lo ", 30)
      .Send("world", 30);
  server.QueueReply(reply);
  Client client(server.port(), "GET", "/x");
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 5120, &error), "hello world");
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
  // A reply that never comes, with the request's time-out overriding the
  // connection's; a body that stops coming.
  server.QueueReply(RawReply::Silent());
  RawReply reply;
  reply.Send(HttpHead(200, "Content-Length: 100\r\n") + "partial");
  reply.silent = true;
  server.QueueReply(reply);
  Client silent(server.port(), "GET", "/x", port_test::kRequestFlags, 600000);
  DWORD shortTimeout = 200;
  ASSERT_TRUE(InternetSetOptionA(silent.request, INTERNET_OPTION_RECEIVE_TIMEOUT, &shortTimeout, sizeof shortTimeout));
  EXPECT_FALSE(HttpSendRequestA(silent.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
  Client client(server.port(), "GET", "/x", port_test::kRequestFlags, 300);
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 64, &error), "partial");  // what came is handed out before the failure
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
}

TEST_F(HttpExchange, ARequestCanBeSentAgain) {
  server.QueueReply(RawReply::Http(401, "first reply, long enough to stay unread"));
  server.QueueReply(RawReply::Http(200, "second"));
  Client client(server.port(), "POST", "/save");
  char body[] = "data\n";
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, body, 5));
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_STATUS_CODE), "401");
  char buffer[4];
  DWORD read = 0;
  ASSERT_TRUE(InternetReadFile(client.request, buffer, sizeof buffer, &read));
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, body, 5));
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_STATUS_CODE), "200");
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 64, &error), "second");
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].body, "data\n");
}

TEST(HttpFailures, NobodyListeningCannotConnect) {
  uint16_t port = 0;
  {
    RawHttpServer probe;
    ASSERT_TRUE(probe.Start());
    port = probe.port();
  }  // stopped: the port is free again
  Client client(port, "GET", "/x");
  EXPECT_FALSE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
  char buffer[4];
  DWORD read = 0;
  EXPECT_FALSE(InternetReadFile(client.request, buffer, sizeof buffer, &read));
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
