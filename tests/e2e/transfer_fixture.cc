// The transfer tests' shared fixture (see transfer_fixture.h).
#include "e2e/transfer_fixture.h"

#include "host/frame.h"
#include "transport/latin1.h"

namespace e2e {

std::string ListedErrors() {
  std::string text;
  wchar_t line[1024];
  for (int32_t first = 1; VKListError(first, line, 1024) == 1; first = 0) text += Narrow(line) + "\n";
  return text;
}

void TransferTest::SetUp() {
  server_.reset(new EdbServerProcess());
  ASSERT_TRUE(server_->ok());
  Login();
}

void TransferTest::TearDown() { server_.reset(); }

int32_t LoginTo(const std::string& url, std::wstring user, const std::wstring& password, std::wstring* left) {
  std::wstring address = L"Kalvoro:" + Widen(url.c_str());
  int32_t r = VKInit(&user[0], password.c_str(), L"", address.c_str(), L"", L"", 0);
  if (left) *left = user.c_str();
  return r;
}

void TransferTest::Login() {
  int32_t r = LoginTo(server_->url(), L"demo", L"demo");
  ASSERT_TRUE(r == 0 || r == 1) << TakeError();
  VKDatabaseSet(L"REF");
  VKEdbUserSet(L"demo");
  VKEdbNameSet(L"Gothenburg2025");
  ClearErrorText();
}

void TransferTest::ExpectStoredAsBefore(const std::string& before) {
  std::string after = server_->dumpRecords();
  EXPECT_EQ(GothenburgRecords(before), GothenburgRecords(after));
  EXPECT_TRUE(before == after) << "another EDB changed";
}

std::vector<std::wstring> SubNames(int32_t list) {
  return Names([list](int32_t first, wchar_t* name) { return VKSubList(first, list, name); });
}

std::vector<std::wstring> TimevarNames(int32_t kind) {
  std::vector<std::wstring> names;
  wchar_t name[20];
  for (int32_t first = 1; VKTimevarsList(kind, first, name) == 1; first = 0) names.push_back(name);
  return names;
}

std::string EdbPart(const std::string& dump, const std::string& edb) {
  std::string head = "== EDB " + edb + "\n";
  size_t start = dump.find(head);
  if (start == std::string::npos) return std::string();
  size_t end = dump.find("\n== EDB ", start + head.size());
  return dump.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

}  // namespace e2e
