// The login every scripted-server test starts from: "anna" against a
// scripted loopback server, a database and an EDB chosen, no error text.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/frame.h"
#include "support/raw_http_server.h"
#include "vorkabcom.h"

// The path and query of request n (0 is the login), the authenticator
// replaced by AUTH: "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&...".
inline std::string RequestQuery(test_support::RawHttpServer& server, size_t n) {
  EXPECT_TRUE(server.WaitForRequests(n + 1, 5000));
  std::vector<test_support::RecordedRequest> requests = server.Requests();
  if (n >= requests.size()) return std::string();
  std::string line = requests[n].requestLine;
  std::string path = line.substr(line.find(' ') + 1);
  path = path.substr(0, path.rfind(' '));
  return path.substr(0, path.find('?') + 1) + "AUTH" + path.substr(path.find('&'));
}

// REQUIRES: server is started and has no reply queued yet.
inline void ScriptedLogin(test_support::RawHttpServer& server, const wchar_t* edbUser, const wchar_t* edbName) {
  server.QueueReply(test_support::RawReply::Http(200, "OK\n"));
  wchar_t user[] = L"anna";
  std::wstring address = L"k:http://127.0.0.1:" + std::to_wstring(server.port());
  int32_t r = VKInit(user, L"pw", L"", address.c_str(), L"", L"", 0);
  ASSERT_TRUE(r == 0 || r == 1) << GetErrorText();  // 0: already logged in
  VKDatabaseSet(L"REF");
  VKEdbUserSet(edbUser);
  VKEdbNameSet(edbName);
  ClearErrorText();
}
