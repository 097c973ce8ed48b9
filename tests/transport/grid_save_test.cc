// The grid save exchange of the command layer against a scripted server: the
// body's markers and the four progress lines the reply must carry in order.
#include <gtest/gtest.h>

#include <string>

#include "host/frame.h"
#include "support/raw_http_server.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"

namespace {

using test_support::RawHttpServer;
using test_support::RawReply;

class GridSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(IOLInit());
    ASSERT_TRUE(IOLSetConnPar(L"anna", L"pw", (L"k:http://127.0.0.1:" + std::to_wstring(server_.port())).c_str()));
    IOLEdbUserSet(L"anna");
    IOLEdbNameSet(L"Lund");
    ClearErrorText();
  }
  void TearDown() override {
    HTTPAbortCommand();
    server_.Stop();
  }
  int32_t Save(const std::string& reply) {
    server_.QueueReply(RawReply::Http(200, reply));
    EXPECT_EQ(IOLGridPutInit(L"NOx2025"), 1);
    EXPECT_EQ(IOLGridPutAsc(L"NOx2025"), 1);
    EXPECT_EQ(IOLSendLine(L"NCOLS %d", 2), 1);
    EXPECT_EQ(IOLGridPutData(L"NOx2025"), 1);
    EXPECT_EQ(IOLSendLine(L"1 2"), 1);
    return IOLGridPutDone(L"NOx2025");
  }
  RawHttpServer server_;
};

TEST_F(GridSaveTest, TheReplyMustCarryTheProgressLinesInOrder) {
  const struct {
    const char* reply;
    int32_t result;
    const char* error;
  } cases[] = {
      {"Examining data...\nWrite index 1\nWrite data 2\nOK!\n", 1, ""},
      // Out of order: the line and the text expected there.
      {"Examining data\nWrite index\nOK!\n", -1, "Error writing grid: OK! (Expected Write data)"},
      // Short: the lines matched.
      {"Examining data\nWrite index\n", -1, "Unexpected end. i = 2"},
      {"", -1, "Unexpected end. i = 0"},
  };
  for (const auto& c : cases) {
    ClearErrorText();
    EXPECT_EQ(Save(c.reply), c.result) << c.reply;
    EXPECT_STREQ(GetErrorText(), c.error) << c.reply;
  }
  EXPECT_EQ(server_.Requests()[0].body,
            "REF\nsavegrid\nanna\nLund\nNOx2025\n#GRIDASC\nNCOLS 2\n#GRIDDATA\n1 2\n#EOF\n");
}

}  // namespace
