// Stale and null handles, closing a tree of handles and the time-out the
// transport sets, in the Linux WinINet layer.
#include <gtest/gtest.h>

#include "port/port.h"
#include "port/port_linux_testing.h"

namespace {

class Handles : public ::testing::Test {
 protected:
  void SetUp() override {
    baseline = port::linux_testing::LiveHandleCount();
    session = InternetOpenA("t", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    connection = InternetConnectA(session, "127.0.0.1", 9, "", "", INTERNET_SERVICE_HTTP, 0, 0);
    ASSERT_NE(connection, nullptr);
    request = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0);
    ASSERT_NE(request, nullptr);
  }
  void TearDown() override {
    if (session) InternetCloseHandle(session);
    EXPECT_EQ(port::linux_testing::LiveHandleCount(), baseline);
  }
  size_t baseline = 0;
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
};

// A call that must have failed with error; the line names it in a failure.
void Refused(bool succeeded, DWORD error, int line) {
  DWORD got = GetLastError();
  EXPECT_FALSE(succeeded) << "line " << line;
  EXPECT_EQ(got, error) << "line " << line;
}

// A transport that was never started or already freed hands on null
// handles: every call refuses them instead of touching them.
TEST_F(Handles, NullHandlesAreRefused) {
  char b[16];
  DWORD n = sizeof b;
  DWORD v = 0;
  int notAHandle = 0;
  const DWORD invalid = ERROR_INVALID_HANDLE;
  Refused(InternetConnectA(nullptr, "h", 0, "", "", INTERNET_SERVICE_HTTP, 0, 0), invalid, __LINE__);
  Refused(HttpOpenRequestA(nullptr, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0), invalid, __LINE__);
  Refused(HttpSendRequestA(nullptr, nullptr, 0, nullptr, 0), invalid, __LINE__);
  Refused(HttpQueryInfoA(nullptr, HTTP_QUERY_STATUS_CODE, b, &n, nullptr), invalid, __LINE__);
  Refused(InternetReadFile(nullptr, b, sizeof b, &n), invalid, __LINE__);
  Refused(InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &v, 4), invalid, __LINE__);
  Refused(InternetQueryOptionA(nullptr, INTERNET_OPTION_SECURITY_FLAGS, &v, &n), invalid, __LINE__);
  Refused(InternetCloseHandle(nullptr), invalid, __LINE__);
  Refused(InternetCloseHandle(&notAHandle), invalid, __LINE__);
  EXPECT_EQ(InternetErrorDlg(nullptr, nullptr, ERROR_INTERNET_INCORRECT_PASSWORD, 7, nullptr), invalid);
}

TEST_F(Handles, ClosingAHandleClosesEverythingBelowIt) {
  // A request closed leaves its connection usable.
  ASSERT_TRUE(InternetCloseHandle(request));
  Refused(InternetCloseHandle(request), ERROR_INVALID_HANDLE, __LINE__);
  request = HttpOpenRequestA(connection, "POST", "/", "HTTP/1.0", nullptr, nullptr, 0, 0);
  EXPECT_NE(request, nullptr);
  EXPECT_EQ(port::linux_testing::LiveHandleCount(), baseline + 3);
  // The session takes its children with it; they are refused, not touched.
  ASSERT_TRUE(InternetCloseHandle(session));
  session = nullptr;
  EXPECT_EQ(port::linux_testing::LiveHandleCount(), baseline);
  Refused(InternetCloseHandle(request), ERROR_INVALID_HANDLE, __LINE__);
  Refused(HttpSendRequestA(request, nullptr, 0, nullptr, 0), ERROR_INVALID_HANDLE, __LINE__);
}

// (Security flags queried and set again: tests/e2e Login.UntrustedCertificateRefusedShownThenPinned.)
TEST_F(Handles, ATimeoutSetOnTheConnectionIsInheritedByLaterRequests) {
  DWORD timeout = 4321;
  ASSERT_TRUE(InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, 4));
  HINTERNET later = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0);
  DWORD got = 0;
  DWORD length = sizeof got;
  ASSERT_TRUE(InternetQueryOptionA(later, INTERNET_OPTION_RECEIVE_TIMEOUT, &got, &length));
  EXPECT_EQ(got, 4321u);
}

}  // namespace
