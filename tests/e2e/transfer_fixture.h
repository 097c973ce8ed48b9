// What the transfer tests against the substitute server share: a freshly
// seeded server of their own, a login through the exports with EDB
// Gothenburg2025 chosen, substitute workbooks with the reference and resource
// sheets, transfers run call by call, and the check that every workbook ends
// with nothing unfreed.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sheethost/host.h"
#include "support/edb_server_process.h"
#include "vorkabcom.h"

namespace e2e {

// The sheets the reference kinds and the resources use.
extern const wchar_t* const kTransferSheets[9];

// One call of a transfer: its result and the count it wrote.
struct Step {
  int32_t result;
  std::wstring count;
  bool operator==(const Step& other) const { return result == other.result && count == other.count; }
};
std::ostream& operator<<(std::ostream& out, const Step& step);
using Steps = std::vector<Step>;

// A transfer export with its other arguments bound: (mode, count) -> result.
using Transfer = std::function<int32_t(int32_t, wchar_t*)>;
Transfer SubLoad(int32_t list);
Transfer SubSave(int32_t list);
Transfer TimevarsLoad(int32_t kind);
Transfer TimevarsSave(int32_t kind);

// The calls of a transfer from its start (mode 1, or `startMode`) to a
// result other than 1 (at most `limit` calls).
Steps Calls(const Transfer& call, int32_t startMode = 1, int limit = 10000);
// One call of a transfer with the mode.
inline Step Once(const Transfer& call, int32_t mode) { return Calls(call, mode, 1).front(); }

// Expects the text to hold each part.
void ExpectHas(const std::string& text, const std::vector<std::string>& parts);

// The issues VKListError lists, one a line.
std::string ListedErrors();

// The text VKError hands out (which the library then forgets).
std::string TakeError();

// A workbook behind the library's entry point with the reference and
// resource sheets; checks at its end that the library gave back every value.
class Workbook {
 public:
  Workbook();
  ~Workbook();
  sheethost::Workbook& Book() { return m_host->Book(); }
  sheethost::Host& Host() { return *m_host; }
  // The cell's text ("" when empty or not text).
  std::wstring Text(const wchar_t* sheet, int row, int column);
  bool Set(const wchar_t* sheet, int row, int column, const std::wstring& text);

  // A cell's text as a user types it, or as a fresh Load must show it.
  struct Edit {
    const wchar_t* sheet;
    int row, column;
    std::wstring text;
  };
  void SetAll(const std::vector<Edit>& edits);
  void ExpectAll(const std::vector<Edit>& edits);

 private:
  std::unique_ptr<sheethost::Host> m_host;
};

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Logs in as demo and chooses REF / demo / Gothenburg2025.
  void Login();

  // Loads the resources and then every reference kind into the current
  // workbook, in the order their names depend on each other.
  void LoadAll();
  // Saves the resources, the searchkey lists and every other reference kind.
  void SaveAll();
  // The server's records are the dump taken before (Gothenburg2025's part
  // first, for a readable difference).
  void ExpectStoredAsBefore(const std::string& before);

  std::unique_ptr<EdbServerProcess> server_;
};

// The names of a catalogue list export, in its order.
std::vector<std::wstring> Names(const std::function<int32_t(int32_t, wchar_t*)>& list);
std::vector<std::wstring> SubNames(int32_t list);
std::vector<std::wstring> TimevarNames(int32_t kind);

// The part of the server's dump that belongs to one EDB ("REF/demo/Gothenburg2025").
std::string EdbPart(const std::string& dump, const std::string& edb);
inline std::string GothenburgRecords(const std::string& dump) { return EdbPart(dump, "REF/demo/Gothenburg2025"); }

}  // namespace e2e
