// Test helpers for the substitute server: the library's authenticators and
// requests, raw-socket exchanges, and a runner for edb-server command lines.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "support/edb_server_process.h"

namespace servertest {

// The library's authenticator of user and password at the local time of
// `when` (default: now); level is the trailing debug level.
std::string MakeAuthenticator(const std::string& user, const std::string& password, int level = 0,
                              std::time_t when = 0);

struct HttpReply {
  int status = 0;  // 0 when the request failed
  std::string body;
};

class KalvoroClient {
 public:
  explicit KalvoroClient(const EdbServerProcess& server, const std::string& user = "demo",
                         const std::string& password = "demo");

  // GET of "do.cgi?" + authenticator + "&" + rest (rest sent as it is).
  HttpReply Get(const std::string& rest) const;
  // POST of body to the save script, with the content type curl uses by default.
  HttpReply Save(const std::string& body) const;
  // A POST of body to any request target (path and query) as it is.
  HttpReply RawPost(const std::string& target, const std::string& body) const { return Send(target, &body); }

  std::string authenticator;

 private:
  HttpReply Send(const std::string& target, const std::string* body) const;
  std::string url_;
  std::string certFile_;
};

// A save body: the given lines, each followed by "\n".
std::string Lines(const std::vector<std::string>& lines);

// A record save body for kind (lines 5 to 8 of the header, then the records and "EOF").
std::string SaveBody(const std::string& kind, const std::string& count, const std::string& records,
                     const std::string& edbUser = "demo", const std::string& edbName = "Malmo2024");

// The read of kind's records in the REF EDB named "user&name".
std::string Load(const std::string& edb, const std::string& kind, bool namesOnly = false);

// A test with its own seeded server and the demo user's requests to it; every
// reply is expected with status 200.
class SeededServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()); }
  std::string Save(const std::string& body) { return Body(KalvoroClient(server_).Save(body)); }
  std::string Get(const std::string& rest) { return Body(KalvoroClient(server_).Get(rest)); }
  static std::string Body(const HttpReply& reply) {
    EXPECT_EQ(200, reply.status);
    return reply.body;
  }
  EdbServerProcess server_;
};

struct ProgramResult {
  int exitCode = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs build/edb-server with args and input on stdin (bounded wait).
ProgramResult RunEdbServer(const std::vector<std::string>& args, const std::string& input = std::string());

// A TCP connection to 127.0.0.1:port, or -1.
int Connect(int port);
// Sends request on a new connection and returns what arrives until the server
// closes it (at most 30 seconds); halfClose ends the sending side at once, as
// a client that broke off does.
std::string Exchange(int port, const std::string& request, bool halfClose = false);

}  // namespace servertest
