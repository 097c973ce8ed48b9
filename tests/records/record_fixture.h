// A login against a scripted loopback server for the record tests, and reply/save helpers.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/frame.h"
#include "host/scripted_login.h"
#include "records/record_io.h"
#include "support/raw_http_server.h"
#include "transport/commands.h"
#include "transport/http.h"
#include "vorkabcom.h"

namespace records_test {

using test_support::RawHttpServer;
using test_support::RawReply;

// The header lines of a record save, for kind and count.
inline std::string SaveHeader(const std::string& kind, int count, const char* flag1, const char* flag0) {
  return "REF\nsavexxxdb\nanna\nedb1\n" + kind + "\n" + std::to_string(count) + "\n" + flag1 + "\n" + flag0 + "\n";
}

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ScriptedLogin(server_, L"anna", L"edb1");
  }
  void TearDown() override {
    HTTPAbortCommand();
    server_.Stop();
  }

  // Opens a read whose reply is body, for driving the scanners directly.
  void Serve(const std::string& body) {
    server_.QueueReply(RawReply::Http(200, body));
    IORStartRead();
    ASSERT_EQ(IOLSubgrpsGetAll(0), 1) << GetErrorText();
  }

  // Queues the reply of the next request (a read or a save).
  void Reply(const std::string& body) { server_.QueueReply(RawReply::Http(200, body)); }

  // Serves reply and expects read to refuse it (-1, never the end of the records) with an error text that is message,
  // or holds it when part.
  void ExpectRefused(const std::string& reply, const std::function<int32_t()>& read, const std::string& message,
                     bool part = false) {
    Reply(reply);
    ClearErrorText();
    EXPECT_EQ(read(), -1) << message;
    if (part) {
      EXPECT_NE(Error().find(message), std::string::npos) << Error();
    } else {
      EXPECT_EQ(Error(), message);
    }
  }

  // Runs a save through put (start, one write, finish; the server replying accepted) and gives the body posted.
  std::string Posted(std::function<int32_t(int32_t)> put, int32_t start = RecordStart, const char* accepted = "Ok.\n") {
    Reply(accepted);
    EXPECT_EQ(put(start), 1) << Error();
    EXPECT_EQ(put(RecordWrite), 1) << Error();
    EXPECT_EQ(put(RecordFinish), 1) << Error();
    return Body(Requests() - 1);
  }

  // Request n (0 is the login): its body, and its path and query with the authenticator replaced by AUTH.
  std::string Body(size_t n) {
    EXPECT_TRUE(server_.WaitForRequests(n + 1, 5000));
    std::vector<test_support::RecordedRequest> requests = server_.Requests();
    return n < requests.size() ? requests[n].body : std::string();
  }
  std::string Query(size_t n) { return RequestQuery(server_, n); }
  size_t Requests() const { return server_.RequestCount(); }

  std::string Error() const { return GetErrorText(); }

  RawHttpServer server_;
};

}  // namespace records_test
