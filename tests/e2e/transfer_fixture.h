// What the transfer tests against the substitute server share: a freshly
// seeded server of their own, a login through the exports with EDB
// Gothenburg2025 chosen, and the transfer exports with their arguments bound;
// the workbooks and transfers themselves are those of
// support/workbook_transfers.h.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/frame.h"
#include "support/edb_server_process.h"
#include "support/workbook_transfers.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace e2e {

// One call of a transfer with the mode.
inline Step Once(const Transfer& call, int32_t mode) { return Calls(call, mode, 1).front(); }

// VKInit with the user text, the password and "Kalvoro:" + url; the user
// text as VKInit left it (cut at a diagnostic suffix) into *left when given.
inline int32_t LoginTo(const std::string& url, std::wstring user, const std::wstring& password,
                       std::wstring* left = nullptr) {
  std::wstring address = L"Kalvoro:" + Widen(url.c_str());
  int32_t r = VKInit(&user[0], password.c_str(), L"", address.c_str(), L"", L"", 0);
  if (left) *left = user.c_str();
  return r;
}

// The issues VKListError lists, one a line.
inline std::string ListedErrors() {
  std::string text;
  wchar_t line[1024];
  for (int32_t first = 1; VKListError(first, line, 1024) == 1; first = 0) text += Narrow(line) + "\n";
  return text;
}

inline std::vector<std::wstring> SubNames(int32_t list) {
  return Names([list](int32_t first, wchar_t* name) { return VKSubList(first, list, name); });
}

// The names of a kind of time variation, through a buffer of the 20 characters a name may take.
inline std::vector<std::wstring> TimevarNames(int32_t kind) {
  std::vector<std::wstring> names;
  wchar_t name[20];
  for (int32_t first = 1; VKTimevarsList(kind, first, name) == 1; first = 0) names.push_back(name);
  return names;
}

// The part of the server's dump that belongs to one EDB ("REF/demo/Gothenburg2025").
inline std::string EdbPart(const std::string& dump, const std::string& edb) {
  std::string head = "== EDB " + edb + "\n";
  size_t start = dump.find(head);
  if (start == std::string::npos) return std::string();
  size_t end = dump.find("\n== EDB ", start + head.size());
  return dump.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}
inline std::string GothenburgRecords(const std::string& dump) { return EdbPart(dump, "REF/demo/Gothenburg2025"); }

class TransferTest : public ::testing::Test {
 protected:
  // Logs in as demo and chooses REF / demo / Gothenburg2025.
  void SetUp() override {
    server_.reset(new EdbServerProcess());
    ASSERT_TRUE(server_->ok());
    int32_t r = LoginTo(server_->url(), L"demo", L"demo");
    ASSERT_TRUE(r == 0 || r == 1) << TakeError();
    VKDatabaseSet(L"REF");
    VKEdbUserSet(L"demo");
    VKEdbNameSet(L"Gothenburg2025");
    ClearErrorText();
  }
  void TearDown() override { server_.reset(); }

  // The server's records are the dump taken before (Gothenburg2025's part
  // first, for a readable difference).
  void ExpectStoredAsBefore(const std::string& before) {
    std::string after = server_->dumpRecords();
    EXPECT_EQ(GothenburgRecords(before), GothenburgRecords(after));
    EXPECT_TRUE(before == after) << "another EDB changed";
  }

  std::unique_ptr<EdbServerProcess> server_;
};

}  // namespace e2e
