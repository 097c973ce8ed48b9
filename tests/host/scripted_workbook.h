// The fixture of the export tests against a scripted server: the clean
// workbook of the verification tests (with any further sheets a test names)
// and "anna" logged in to a scripted loopback server.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "host/scripted_login.h"
#include "host/verification_fixture.h"
#include "support/raw_http_server.h"

class ScriptedWorkbookTest : public VerificationTest {
 protected:
  explicit ScriptedWorkbookTest(std::initializer_list<const wchar_t*> sheets = {}, const wchar_t* edbUser = L"anna",
                                const wchar_t* edbName = L"Stockholm2023")
      : sheets_(sheets), edbUser_(edbUser), edbName_(edbName) {}

  void SetUp() override {
    VerificationTest::SetUp();
    for (const wchar_t* name : sheets_) Sheet(name);
    ASSERT_TRUE(server_.Start());
    ScriptedLogin(server_, edbUser_, edbName_);
  }
  void TearDown() override {
    server_.Stop();
    VerificationTest::TearDown();
  }

  std::string Query(size_t n) { return RequestQuery(server_, n); }
  // The body lines of request n (0 is the login).
  std::vector<std::string> BodyLines(size_t n) {
    EXPECT_TRUE(server_.WaitForRequests(n + 1, 5000));
    std::vector<std::string> lines;
    std::string body = server_.Requests().at(n).body;
    size_t start = 0;
    for (size_t end; (end = body.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(body.substr(start, end - start));
    }
    return lines;
  }

  // Every name a list export hands out, from a first call on.
  static std::vector<std::wstring> All(int32_t (*list)(int32_t, wchar_t*)) {
    std::vector<std::wstring> names;
    wchar_t name[1024];
    for (int32_t first = 1; list(first, name) == 1; first = 0) names.push_back(name);
    return names;
  }
  // Rows first.. of a sheet, each as its first `columns` cells "a|b|"; a cell
  // that holds no text shows as "#".
  std::vector<std::wstring> Rows(const wchar_t* sheet, int first, int count, int columns) {
    std::vector<std::wstring> rows;
    for (int row = first; row < first + count; ++row) {
      std::wstring text;
      for (int column = 0; column < columns; ++column) {
        sheethost::Cell cell = host.Book().GetCell(sheet, row, column);
        text += (column ? L"|" : L"") + (cell.IsEmpty() || cell.kind == sheethost::CellKind::Text ? cell.text : L"#");
      }
      rows.push_back(text);
    }
    return rows;
  }

  std::vector<const wchar_t*> sheets_;
  const wchar_t* edbUser_;
  const wchar_t* edbName_;
  test_support::RawHttpServer server_;
};
