// The fixture of the export tests against a scripted server: a substitute
// host with the named sheets, "anna" logged in, and no host value leaked.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "host/frame.h"
#include "host/scripted_login.h"
#include "sheethost/host.h"
#include "support/raw_http_server.h"
#include "vorkabcom.h"
#include "workbook/sheet_fixture.h"

class ScriptedWorkbookTest : public ::testing::Test {
 protected:
  explicit ScriptedWorkbookTest(std::initializer_list<const wchar_t*> sheets) : sheets_(sheets) {}

  void SetUp() override {
    for (const wchar_t* name : sheets_) ASSERT_NE(host_.Book().AddSheet(name), nullptr);
    SetExcel12EntryPt(sheethost::Host::EntryPoint());
    ASSERT_TRUE(server_.Start());
    ScriptedLogin(server_, L"anna", L"Stockholm2023");
  }
  void TearDown() override {
    server_.Stop();
    EXPECT_EQ(host_.Outstanding(), 0u) << "host values left unfreed";
    EXPECT_EQ(host_.BadFrees(), 0u) << "values freed that the host did not hand out";
    SetExcel12EntryPt(nullptr);
  }

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

  sheethost::Cell At(const wchar_t* sheet, int row, int column) { return host_.Book().GetCell(sheet, row, column); }
  void Put(const wchar_t* sheet, int row, int column, const wchar_t* text) {
    host_.Book().SetCell(sheet, row, column, sheethost::Cell::Str(text));
  }
  // Texts into a row from a column on; an empty text leaves its cell alone.
  void Put(const wchar_t* sheet, int row, int column, std::initializer_list<const wchar_t*> texts) {
    for (const wchar_t* text : texts) {
      if (*text) Put(sheet, row, column, text);
      ++column;
    }
  }
  // Rows first.. of a sheet, each as its first `columns` cells "a|b|"; a cell
  // that holds no text shows as "#".
  std::vector<std::wstring> Rows(const wchar_t* sheet, int first, int count, int columns) {
    std::vector<std::wstring> rows;
    for (int row = first; row < first + count; ++row) {
      std::wstring text;
      for (int column = 0; column < columns; ++column) {
        sheethost::Cell cell = At(sheet, row, column);
        text += (column ? L"|" : L"") + (cell.IsEmpty() || cell.kind == sheethost::CellKind::Text ? cell.text : L"#");
      }
      rows.push_back(text);
    }
    return rows;
  }

  std::vector<const wchar_t*> sheets_;
  sheethost::Host host_;
  test_support::RawHttpServer server_;
};
