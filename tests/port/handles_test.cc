// Handle kinds, stale and null handles, closing a tree of handles, options
// and the per-thread last error of the Linux WinINet layer.
#include <gtest/gtest.h>

#include <thread>

#include "port/port.h"
#include "port/port_linux_testing.h"

namespace {

DWORD Error() { return GetLastError(); }

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

TEST_F(Handles, NullAndWrongKindsOfHandlesAreRefused) {
  char b[16];
  DWORD n = sizeof b;
  DWORD v = 0;
  int notAHandle = 0;
  const DWORD invalid = ERROR_INVALID_HANDLE, kind = ERROR_INTERNET_INCORRECT_HANDLE_TYPE;
  Refused(InternetConnectA(nullptr, "h", 0, "", "", INTERNET_SERVICE_HTTP, 0, 0), invalid, __LINE__);
  Refused(HttpOpenRequestA(nullptr, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0), invalid, __LINE__);
  Refused(HttpSendRequestA(nullptr, nullptr, 0, nullptr, 0), invalid, __LINE__);
  Refused(HttpQueryInfoA(nullptr, HTTP_QUERY_STATUS_CODE, b, &n, nullptr), invalid, __LINE__);
  Refused(InternetReadFile(nullptr, b, sizeof b, &n), invalid, __LINE__);
  Refused(InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &v, 4), invalid, __LINE__);
  Refused(InternetCloseHandle(nullptr), invalid, __LINE__);
  Refused(InternetCloseHandle(&notAHandle), invalid, __LINE__);
  EXPECT_EQ(InternetErrorDlg(nullptr, nullptr, ERROR_INTERNET_INCORRECT_PASSWORD, 7, nullptr), invalid);
  Refused(InternetConnectA(connection, "h", 0, "", "", INTERNET_SERVICE_HTTP, 0, 0), kind, __LINE__);
  Refused(HttpOpenRequestA(session, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0), kind, __LINE__);
  Refused(HttpSendRequestA(connection, nullptr, 0, nullptr, 0), kind, __LINE__);
  Refused(InternetReadFile(session, b, sizeof b, &n), kind, __LINE__);
  Refused(HttpQueryInfoA(connection, HTTP_QUERY_STATUS_CODE, b, &n, nullptr), kind, __LINE__);
  n = sizeof v;
  Refused(InternetQueryOptionA(connection, INTERNET_OPTION_SECURITY_FLAGS, &v, &n), kind, __LINE__);
  Refused(InternetSetOptionA(session, INTERNET_OPTION_SECURITY_FLAGS, &v, 4), kind, __LINE__);
}

TEST_F(Handles, ARequestMustBeSentBeforeItIsRead) {
  char buffer[16];
  DWORD read = 7;
  EXPECT_FALSE(InternetReadFile(request, buffer, sizeof buffer, &read));
  EXPECT_EQ(read, 0u);
  EXPECT_NE(Error(), static_cast<DWORD>(ERROR_SUCCESS));
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

TEST_F(Handles, SecurityFlagsAndTimeouts) {
  HINTERNET secure = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.0", nullptr, nullptr,
                                      INTERNET_FLAG_SECURE, 0);
  ASSERT_NE(secure, nullptr);
  DWORD flags = 0;
  DWORD length = sizeof flags;
  ASSERT_TRUE(InternetQueryOptionA(secure, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length));
  EXPECT_EQ(length, 4u);
  EXPECT_TRUE(flags & SECURITY_FLAG_SECURE);
  flags |= 0x3180;
  ASSERT_TRUE(InternetSetOptionA(secure, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags));
  DWORD back = 0;
  length = sizeof back;
  ASSERT_TRUE(InternetQueryOptionA(secure, INTERNET_OPTION_SECURITY_FLAGS, &back, &length));
  EXPECT_EQ(back, flags);

  length = 2;
  EXPECT_FALSE(InternetQueryOptionA(secure, INTERNET_OPTION_SECURITY_FLAGS, &back, &length));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(length, 4u);

  // A time-out set on the connection is inherited by requests opened later.
  DWORD timeout = 4321;
  ASSERT_TRUE(InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, 4));
  HINTERNET later = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0);
  DWORD got = 0;
  length = sizeof got;
  ASSERT_TRUE(InternetQueryOptionA(later, INTERNET_OPTION_RECEIVE_TIMEOUT, &got, &length));
  EXPECT_EQ(got, 4321u);

  EXPECT_FALSE(InternetSetOptionA(connection, 9999, &timeout, 4));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INVALID_OPTION));
  EXPECT_FALSE(InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, nullptr, 4));
}

TEST_F(Handles, BadArgumentsAreRefused) {
  const DWORD invalid = ERROR_INVALID_PARAMETER;
  char b[4];
  Refused(InternetConnectA(session, nullptr, 80, "", "", INTERNET_SERVICE_HTTP, 0, 0), invalid, __LINE__);
  Refused(HttpOpenRequestA(connection, "GET /x HTTP/1.1\r\nX:", "/", "HTTP/1.0", nullptr, nullptr, 0, 0), invalid,
          __LINE__);
  Refused(HttpSendRequestA(request, nullptr, 0, nullptr, 10), invalid, __LINE__);
  Refused(InternetReadFile(request, b, sizeof b, nullptr), invalid, __LINE__);
}

TEST(LastError, IsKeptPerThread) {
  SetLastError(4711);
  DWORD seenElsewhere = 1;
  std::thread other([&] {
    seenElsewhere = GetLastError();
    SetLastError(99);
  });
  other.join();
  EXPECT_EQ(seenElsewhere, 0u);
  EXPECT_EQ(GetLastError(), 4711u);
}

}  // namespace
