// Requests and replies through the Linux WinINet layer against the scripted
// loopback server: what goes on the wire, how broken, silent and misaddressed
// exchanges fail, the memory a long reply holds, and proxies from the
// environment.  The transport's own tests read replies of every shape
// through this layer.
#include <gtest/gtest.h>
#include <curl/curl.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "port/port.h"
#include "port/port_client.h"
#include "port/port_linux_testing.h"
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

// The layer keeps at most about one curl chunk beyond what was asked for,
// however much the server pushes.
TEST_F(HttpExchange, SixtyFourMebibytesThroughOneKibibyteReads) {
  constexpr size_t kBlock = 4096;
  constexpr size_t kBlocks = 16384;  // 64 MiB
  std::string block(kBlock, '\0');
  for (size_t i = 0; i < kBlock; ++i) block[i] = static_cast<char>(i * 31 + 7);
  RawReply reply;
  reply.Send(HttpHead(200, "Content-Length: " + std::to_string(kBlock * kBlocks) + "\r\n"));
  reply.SendRepeated(block, kBlocks);
  server.QueueReply(reply);

  Client client(server.port(), "GET", "/big");
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  char buffer[1024];
  size_t total = 0;
  size_t mismatches = 0;
  for (;;) {
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(client.request, buffer, sizeof buffer, &read)) << GetLastError();
    if (read == 0) break;
    for (DWORD i = 0; i < read; ++i) {
      if (buffer[i] != block[(total + i) % kBlock]) ++mismatches;
    }
    total += read;
  }
  EXPECT_EQ(total, kBlock * kBlocks);
  EXPECT_EQ(mismatches, 0u);
  size_t held = port::linux_testing::MaxHeldReplyBytes(client.request);
  EXPECT_GT(held, 0u);
  EXPECT_LE(held, static_cast<size_t>(CURL_MAX_WRITE_SIZE));
}

// Proxy settings come from the environment as for every curl program, and
// port 0 means the scheme's default port.  The "proxy" is the scripted
// loopback server, so nothing leaves the machine.  The fixture sets the proxy
// variables for one test and restores them afterwards.
class ProxyEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(proxy.Start());
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved.push_back(value ? std::make_pair(true, std::string(value))
                            : std::make_pair(false, std::string()));
    }
    std::string address = "http://127.0.0.1:" + std::to_string(proxy.port());
    setenv("http_proxy", address.c_str(), 1);
    setenv("https_proxy", address.c_str(), 1);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  }
  void TearDown() override {
    for (size_t i = 0; i < saved.size(); ++i) {
      if (saved[i].first) {
        setenv(kNames[i], saved[i].second.c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }

  // Sends a GET to kalvoro.invalid with the given port and flags; returns
  // the request line the proxy saw.
  std::string SendThroughProxy(INTERNET_PORT port, DWORD flags, BOOL* sent) {
    HINTERNET session = InternetOpenA("t", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection =
        InternetConnectA(session, "kalvoro.invalid", port, "", "", INTERNET_SERVICE_HTTP, 0, 0);
    DWORD timeout = 5000;
    InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    HINTERNET request =
        HttpOpenRequestA(connection, "GET", "/cgi-bin/x?y", "HTTP/1.0", nullptr, nullptr, flags, 0);
    *sent = HttpSendRequestA(request, nullptr, 0, nullptr, 0);
    InternetCloseHandle(session);
    auto requests = proxy.Requests();
    return requests.empty() ? "" : requests.back().requestLine;
  }

  static constexpr const char* kNames[] = {"http_proxy", "https_proxy", "no_proxy", "NO_PROXY"};
  RawHttpServer proxy;
  std::vector<std::pair<bool, std::string>> saved;
};

TEST_F(ProxyEnvironment, RequestsGoToTheProxyWithTheSchemesDefaultPort) {
  // curl leaves the default port out of the absolute URL; secure requests
  // tunnel, which this proxy refuses.
  proxy.QueueReply(RawReply::Http(200, "via proxy"));
  proxy.QueueReply(RawReply::Http(403, "no tunnels here"));
  BOOL sent = FALSE;
  EXPECT_EQ(SendThroughProxy(0, 0, &sent), "GET http://kalvoro.invalid/cgi-bin/x?y HTTP/1.0");
  EXPECT_TRUE(sent) << GetLastError();
  std::string line = SendThroughProxy(0, INTERNET_FLAG_SECURE, &sent);
  EXPECT_FALSE(sent);
  EXPECT_EQ(line.rfind("CONNECT kalvoro.invalid:443 ", 0), 0u) << line;
  EXPECT_EQ(SendThroughProxy(8443, 0, &sent), "GET http://kalvoro.invalid:8443/cgi-bin/x?y HTTP/1.0");
  EXPECT_TRUE(sent);
}

}  // namespace
