// Server address parsing, field limits, request URLs and the names they carry,
// in the transport and command layers (nothing here touches the network).
#include <gtest/gtest.h>

#include <string>

#include "host/frame.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "transport/request_name.h"

namespace {

struct Address {
  std::string host;
  int port;
  bool secure;
};

Address Parse(const char* address) {
  EXPECT_TRUE(HTTPConnection("anna", nullptr, address));
  HTTPServerAddress a = HTTPGetServerAddress();
  return {a.host, a.port, a.secure};
}

TEST(ServerAddress, SchemesPortsAndHosts) {
  struct Case {
    const char* address;
    const char* host;
    int port;
    bool secure;
  };
  const Case cases[] = {
      {"https://host:8443", "host", 8443, true},
      {"http://host", "host", 0, false},  // plain again after a secure one
      {"HTTPS://host", "host", 0, false},          // the scheme test is case-sensitive
      {"host:8080", "host", 8080, false},
      {"host/path", "host/path", 0, false},
      {"host:80x1", "host", 80, false},            // digits up to the first other character
      {"https://host:8443;;", "host", 8443, true},  // empty options
  };
  for (const Case& c : cases) {
    Address a = Parse(c.address);
    EXPECT_EQ(a.host + ":" + std::to_string(a.port) + (a.secure ? "s" : ""),
              std::string(c.host) + ":" + std::to_string(c.port) + (c.secure ? "s" : ""))
        << c.address;
  }
  // A null address keeps the server and stores the user.
  ASSERT_TRUE(HTTPConnection("bertil", nullptr, nullptr));
  EXPECT_STREQ(HTTPGetServerAddress().host, "host");
  EXPECT_STREQ(HTTPGetCurrUser(), "bertil");
}

TEST(ServerAddress, LongUserAndHostAreRefusedNotCut) {
  std::string user63(63, 'u'), user64(64, 'u');
  std::string host63(63, 'h'), host64(64, 'h');
  ClearErrorText();
  EXPECT_TRUE(HTTPConnection(user63.c_str(), nullptr, ("http://" + host63 + ":80").c_str()));
  EXPECT_EQ(HTTPGetCurrUser(), user63);
  EXPECT_EQ(std::string(HTTPGetServerAddress().host), host63);

  EXPECT_FALSE(HTTPConnection(user64.c_str(), nullptr, "http://x"));
  EXPECT_NE(std::string(GetErrorText()).find("User name is too long"), std::string::npos);

  EXPECT_FALSE(HTTPConnection("anna", nullptr, ("https://" + host64 + ":443").c_str()));
  EXPECT_NE(std::string(GetErrorText()).find("host name is too long"), std::string::npos);
}

TEST(ServerAddress, PinOptionReadInEitherSpelling) {
  const std::string hex = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
  std::string colons;
  for (size_t i = 0; i < hex.size(); i += 2) colons += (i ? ":" : "") + hex.substr(i, 2);
  for (std::string pin : {hex, colons}) {
    for (char& c : pin) c = static_cast<char>(toupper(c));
    ASSERT_TRUE(HTTPConnection("anna", nullptr, ("https://srv:8443;pin=sha256:" + pin).c_str())) << GetErrorText();
    EXPECT_TRUE(HTTPCurrentLogin().pinned);
    EXPECT_EQ(FingerprintText(HTTPCurrentLogin().pin), "sha256:" + hex);
    EXPECT_EQ(HTTPGetServerAddress().port, 8443);
  }
  // A later address without a pin drops it.
  ASSERT_TRUE(HTTPConnection("anna", nullptr, "https://srv:8443"));
  EXPECT_FALSE(HTTPCurrentLogin().pinned);
}

TEST(ServerAddress, RefusedAddressesChangeNothing) {
  const char* refused[] = {
      "host:70000",                            // past the largest port
      "https://h:1;pin=sha256:0011",           // a short pin
      "https://h:1;pin=md5:00112233445566778899aabbccddeeff",
      "http://h:1;pin=sha256:00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff",
      "https://h:1;cafile=/etc/x",             // no such option
  };
  ASSERT_TRUE(HTTPConnection("anna", nullptr, "https://kept:8443"));
  for (const char* address : refused) {
    ClearErrorText();
    EXPECT_FALSE(HTTPConnection("bertil", nullptr, address)) << address;
    EXPECT_STRNE(GetErrorText(), "") << address;
    EXPECT_STREQ(HTTPGetServerAddress().host, "kept") << address;
    EXPECT_EQ(HTTPGetServerAddress().port, 8443) << address;
    EXPECT_STREQ(HTTPGetCurrUser(), "anna") << address;
  }
}

TEST(ConnectionState, ServerLabelDroppedAndLoginInLatin1) {
  // (A label before the scheme: every end-to-end login's "Kalvoro:http(s)://...".)
  ASSERT_TRUE(IOLSetConnPar(L"anna", L"pw", L"plainhost"));
  EXPECT_STREQ(HTTPGetServerAddress().host, "plainhost");
  // A login outside ISO 8859-1 is refused.
  EXPECT_FALSE(IOLSetConnPar(L"anna", L"p\x20AC", L"x:http://h"));
  EXPECT_NE(std::string(GetErrorText()).find("ISO 8859-1"), std::string::npos);
}

TEST(RequestUrls, OnlyTheFirstQuestionMarkSeparatesTheScript) {
  ASSERT_TRUE(IOLSetConnPar(L"anna", L"pw", L"k:http://127.0.0.1:1"));
  std::wstring auth = CurrentConnPar().authenticator;
  ASSERT_FALSE(auth.empty());
  wchar_t url[UrlBufferSize];
  // (The commands' URLs as they go out: the host tests' RequestQuery.)
  ASSERT_TRUE(MakeUrlBuf(url, L"a?b?c"));
  EXPECT_EQ(std::wstring(url), L"do.cgi?" + auth + L"&a&b?c");
  // A URL that does not fit is refused, not cut.
  std::wstring huge(UrlBufferSize, L'x');
  EXPECT_FALSE(MakeUrlBuf(url, L"iedbvk2.cgi?%ls", huge.c_str()));
  EXPECT_STREQ(GetErrorText(), "Too long URL.");
}

TEST(Latin1, ConvertsCharacterByCharacter) {
  EXPECT_EQ(Narrow(L"G\xf6teborg \x20AC"), std::string("G\xf6teborg ?"));
  EXPECT_EQ(Widen("Malm\xf6"), std::wstring(L"Malm\xf6"));
  char small[4];
  EXPECT_EQ(WideToLatin1(L"abcdef", small, sizeof small), 3u);
  EXPECT_STREQ(small, "abc");
}

// (Refusals with their messages and the encoded URL: the host tests' SelectionTest.)
TEST(RequestName, ControlCharactersRefusedAndAllButUnreservedCharactersEncoded) {
  for (const wchar_t* name : {L"a\x1f", L"a\x7f"}) EXPECT_FALSE(RequestNameFits("name", name));
  EXPECT_TRUE(RequestNameFits("name", L""));
  EXPECT_FALSE(RequestNameFits("name", L"", false));
  EXPECT_EQ(UrlField(L"az-AZ.09_~"), L"az-AZ.09_~");
  EXPECT_EQ(UrlField(L"G\xf6ran 1&2/3%#?+"), L"G%F6ran%201%262%2F3%25%23%3F%2B");
}

}  // namespace
