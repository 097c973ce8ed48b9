// HTTPS through the Linux WinINet layer: an untrusted certificate fails the
// send with WinINet's code, the ignore flags set on the request let the same
// request through on the next send; the certificate seen is handed out, and a
// required certificate is held before the request goes out.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "port/port.h"
#include "port/port_client.h"
#include "port/self_signed_server.h"
#include "transport/sha256.h"

using port_test::Client;
using port_test::QueryText;
using port_test::ReadBody;

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
  server.Post("/cgi-bin/save", [](const httplib::Request& request, httplib::Response& response) {
    response.set_content("got " + std::to_string(request.body.size()) + " bytes", "text/plain");
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

DWORD SecurityFlags(HINTERNET request) {
  DWORD flags = 0;
  DWORD length = sizeof flags;
  EXPECT_TRUE(InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length));
  return flags;
}

TEST_F(Https, UntrustedCertificateThenRetryWithIgnoreFlags) {
  Client client(server.port(), "GET", "/cgi-bin/secure",
                port_test::kRequestFlags | INTERNET_FLAG_SECURE);
  ASSERT_NE(client.request, nullptr);
  EXPECT_FALSE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_INVALID_CA));

  DWORD flags = SecurityFlags(client.request);
  EXPECT_TRUE(flags & SECURITY_FLAG_SECURE);
  flags += kIgnoreAll;
  ASSERT_TRUE(InternetSetOptionA(client.request, INTERNET_OPTION_SECURITY_FLAGS, &flags,
                                 sizeof flags));
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0)) << GetLastError();
  EXPECT_EQ(QueryText(client.request, HTTP_QUERY_STATUS_CODE), "200");
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 5120, &error), "secret line\n");
  EXPECT_EQ(error, 0u);
}

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

TEST_F(Https, PostWithIgnoreFlags) {
  Client client(server.port(), "POST", "/cgi-bin/save",
                port_test::kRequestFlags | INTERNET_FLAG_SECURE);
  DWORD flags = kIgnoreAll;
  ASSERT_TRUE(InternetSetOptionA(client.request, INTERNET_OPTION_SECURITY_FLAGS, &flags,
                                 sizeof flags));
  std::string body(100000, 'b');
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, &body[0],
                               static_cast<DWORD>(body.size())));
  DWORD error = 0;
  EXPECT_EQ(ReadBody(client.request, 64, &error), "got 100000 bytes");
  EXPECT_EQ(error, 0u);
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

TEST_F(Https, CertificateOfARefusedSendIsHandedOut) {
  Client client(server.port(), "GET", "/cgi-bin/secure",
                port_test::kRequestFlags | INTERNET_FLAG_SECURE);
  port::Certificate none;
  EXPECT_FALSE(port::ServerCertificate(client.request, &none));
  EXPECT_FALSE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_INVALID_CA));
  port::Certificate c;
  ASSERT_TRUE(port::ServerCertificate(client.request, &c));
  EXPECT_EQ(FingerprintText(Sha256(c.der.data(), c.der.size())), OpensslFingerprint(server.certFile()));
  EXPECT_EQ(c.subject, "CN=localhost");
  EXPECT_EQ(c.notBefore.size(), 23u) << c.notBefore;  // "YYYY-MM-DD hh:mm:ss UTC"
  EXPECT_LT(c.notBefore, c.notAfter);
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
