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

#include "support/edb_server_process.h"
#include "support/workbook_transfers.h"
#include "vorkabcom.h"

namespace e2e {

// One call of a transfer with the mode.
inline Step Once(const Transfer& call, int32_t mode) { return Calls(call, mode, 1).front(); }

// VKInit with the user text, the password and "Kalvoro:" + url; the user
// text as VKInit left it (cut at a diagnostic suffix) into *left when given.
int32_t LoginTo(const std::string& url, std::wstring user, const std::wstring& password,
                std::wstring* left = nullptr);

// The issues VKListError lists, one a line.
std::string ListedErrors();

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Logs in as demo and chooses REF / demo / Gothenburg2025.
  void Login();

  // The server's records are the dump taken before (Gothenburg2025's part
  // first, for a readable difference).
  void ExpectStoredAsBefore(const std::string& before);

  std::unique_ptr<EdbServerProcess> server_;
};

std::vector<std::wstring> SubNames(int32_t list);
std::vector<std::wstring> TimevarNames(int32_t kind);

// The part of the server's dump that belongs to one EDB ("REF/demo/Gothenburg2025").
std::string EdbPart(const std::string& dump, const std::string& edb);
inline std::string GothenburgRecords(const std::string& dump) { return EdbPart(dump, "REF/demo/Gothenburg2025"); }

}  // namespace e2e
