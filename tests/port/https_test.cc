// HTTPS through the Linux WinINet layer: the host name and the dates are
// checked whatever else is overlooked, and a required certificate is held
// before the request goes out.  Refusing an untrusted certificate, showing it
// and pinning it are checked through the library end to end (tests/e2e).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "port/port.h"
#include "port/port_client.h"
#include "port/self_signed_server.h"
#include "transport/sha256.h"

using port_test::Client;

namespace {

constexpr DWORD kIgnoreAll = SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_UNKNOWN_CA |
                             SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                             SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;

std::atomic<int> g_hits{0};

void Routes(httplib::Server& server) {
  server.Get("/cgi-bin/secure", [](const httplib::Request&, httplib::Response& response) {
    ++g_hits;
    response.set_content("secret line\n", "text/plain");
  });
}

class Https : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!server.Start(&Routes, &why)) GTEST_SKIP() << why;
  }
  port_test::SelfSignedServer server;
};

TEST_F(Https, TrustingTheIssuerStillChecksTheName) {
  // The certificate names "localhost", the request goes to 127.0.0.1.
  Client client(server.port(), "GET", "/cgi-bin/secure",
                port_test::kRequestFlags | INTERNET_FLAG_SECURE);
  DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
  ASSERT_TRUE(InternetSetOptionA(client.request, INTERNET_OPTION_SECURITY_FLAGS, &flags,
                                 sizeof flags));
  EXPECT_FALSE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_SEC_CERT_CN_INVALID));
}

std::string OpensslFingerprint(const std::string& certFile) {
  std::string command = "openssl x509 -noout -fingerprint -sha256 -in '" + certFile + "'";
  FILE* pipe = popen(command.c_str(), "r");
  char line[256] = {};
  std::string text = pipe && fgets(line, sizeof line, pipe) ? line : "";
  if (pipe) pclose(pipe);
  std::string hex;
  for (size_t i = text.find('=') + 1; i > 0 && i < text.size(); ++i) {
    if (isxdigit(static_cast<unsigned char>(text[i]))) hex += static_cast<char>(tolower(text[i]));
  }
  return "sha256:" + hex;
}

TEST_F(Https, RequiredCertificateIsHeldBeforeTheRequestGoesOut) {
  Sha256Digest right;
  ASSERT_TRUE(ParseFingerprint(OpensslFingerprint(server.certFile()).c_str(), &right));
  Sha256Digest wrong = right;
  wrong[0] ^= 1;
  for (const Sha256Digest& digest : {wrong, right}) {
    g_hits = 0;
    Client client(server.port(), "GET", "/cgi-bin/secure",
                  port_test::kRequestFlags | INTERNET_FLAG_SECURE);
    ASSERT_TRUE(port::RequireCertificate(client.request, digest.data()));
    DWORD flags = kIgnoreAll;
    ASSERT_TRUE(InternetSetOptionA(client.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags));
    bool sent = HttpSendRequestA(client.request, nullptr, 0, nullptr, 0);
    EXPECT_EQ(sent, digest == right);
    if (!sent) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_INVALID_CA));
    }
    EXPECT_EQ(g_hits, digest == right ? 1 : 0);  // nothing reached the server
  }
}

TEST(HttpsExpired, PinnedAndIssuerOverlookedTheDatesStillCount) {
  port_test::SelfSignedServer server;
  std::string why;
  if (!server.Start(&Routes, &why, true)) GTEST_SKIP() << why;
  Sha256Digest digest;
  ASSERT_TRUE(ParseFingerprint(OpensslFingerprint(server.certFile()).c_str(), &digest));
  Client client(server.port(), "GET", "/cgi-bin/secure", port_test::kRequestFlags | INTERNET_FLAG_SECURE);
  ASSERT_TRUE(port::RequireCertificate(client.request, digest.data()));
  DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
  ASSERT_TRUE(InternetSetOptionA(client.request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags));
  g_hits = 0;
  EXPECT_FALSE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_SEC_CERT_DATE_INVALID));
  EXPECT_EQ(g_hits, 0);
  port::Certificate c;
  ASSERT_TRUE(port::ServerCertificate(client.request, &c));
  EXPECT_EQ(c.notAfter.size(), 23u) << c.notAfter;  // shown for the message
}

}  // namespace
