// Proxy settings come from the environment as for every curl program, and
// port 0 means the scheme's default port.  The "proxy" is the scripted
// loopback server, so nothing leaves the machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "port/port.h"
#include "support/raw_http_server.h"

using test_support::RawHttpServer;
using test_support::RawReply;

namespace {

// Sets the proxy variables for one test and restores them afterwards.
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
