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

TEST_F(Handles, NullHandlesAreRefused) {
  char buffer[16];
  DWORD length = sizeof buffer;
  DWORD value = 1000;
  EXPECT_EQ(InternetConnectA(nullptr, "h", 0, "", "", INTERNET_SERVICE_HTTP, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(HttpOpenRequestA(nullptr, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(HttpSendRequestA(nullptr, nullptr, 0, nullptr, 0));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(HttpQueryInfoA(nullptr, HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(InternetReadFile(nullptr, buffer, sizeof buffer, &length));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &value, 4));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(InternetCloseHandle(nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(InternetErrorDlg(nullptr, nullptr, ERROR_INTERNET_INCORRECT_PASSWORD, 7, nullptr),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
  int notAHandle = 0;
  EXPECT_FALSE(InternetCloseHandle(&notAHandle));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Handles, WrongKindsAreRefused) {
  char buffer[16];
  DWORD length = sizeof buffer;
  DWORD flags = 0;
  EXPECT_EQ(InternetConnectA(connection, "h", 0, "", "", INTERNET_SERVICE_HTTP, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
  EXPECT_EQ(HttpOpenRequestA(session, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
  EXPECT_FALSE(HttpSendRequestA(connection, nullptr, 0, nullptr, 0));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
  EXPECT_FALSE(InternetReadFile(session, buffer, sizeof buffer, &length));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
  EXPECT_FALSE(HttpQueryInfoA(connection, HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
  length = sizeof flags;
  EXPECT_FALSE(InternetQueryOptionA(connection, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
  EXPECT_FALSE(InternetSetOptionA(session, INTERNET_OPTION_SECURITY_FLAGS, &flags, 4));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
}

TEST_F(Handles, ARequestMustBeSentBeforeItIsRead) {
  char buffer[16];
  DWORD read = 7;
  EXPECT_FALSE(InternetReadFile(request, buffer, sizeof buffer, &read));
  EXPECT_EQ(read, 0u);
  EXPECT_NE(Error(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(Handles, ClosingTheSessionClosesEverythingBelowIt) {
  EXPECT_EQ(port::linux_testing::LiveHandleCount(), baseline + 3);
  ASSERT_TRUE(InternetCloseHandle(session));
  session = nullptr;
  EXPECT_EQ(port::linux_testing::LiveHandleCount(), baseline);
  // The children are gone with it and are refused, not touched.
  EXPECT_FALSE(InternetCloseHandle(request));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Handles, ClosingARequestLeavesItsConnectionUsable) {
  ASSERT_TRUE(InternetCloseHandle(request));
  EXPECT_FALSE(InternetCloseHandle(request));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HINTERNET again = HttpOpenRequestA(connection, "POST", "/", "HTTP/1.0", nullptr, nullptr, 0, 0);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(port::linux_testing::LiveHandleCount(), baseline + 3);
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
  EXPECT_EQ(InternetConnectA(session, nullptr, 80, "", "", INTERNET_SERVICE_HTTP, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(HttpOpenRequestA(connection, "GET /x HTTP/1.1\r\nX:", "/", "HTTP/1.0", nullptr,
                             nullptr, 0, 0),
            nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(HttpSendRequestA(request, nullptr, 0, nullptr, 10));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  char buffer[4];
  EXPECT_FALSE(InternetReadFile(request, buffer, sizeof buffer, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
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
