// The server holds up against hostile clients: a trickle of header bytes
// cannot hold a worker, a body is refused by its announced length before it
// is read (and before the login), and one address keeps only so many
// connections.  Every wait here is bounded.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::Connect;
using servertest::Exchange;
using servertest::KalvoroClient;

namespace {

using Clock = std::chrono::steady_clock;

// Sends one header byte every 100 ms until the server closes the
// connection; true when it did within `limit`.
bool TrickleIsCutOff(int port, std::chrono::seconds limit) {
  int fd = Connect(port);
  if (fd < 0) return false;
  const std::string head = "GET /cgi-bin/ikalvoro/do.cgi?" + std::string(4000, 'a');
  bool cut = false;
  auto until = Clock::now() + limit;
  for (size_t i = 0; Clock::now() < until && !cut; ++i) {
    if (send(fd, &head[i % head.size()], 1, MSG_NOSIGNAL) != 1) cut = true;
    pollfd p{fd, POLLIN, 0};
    char byte;
    if (poll(&p, 1, 100) > 0 && recv(fd, &byte, 1, MSG_DONTWAIT) <= 0) cut = true;
  }
  close(fd);
  return cut;
}

TEST(ServerLimits, TricklingClientsCannotHoldTheWorkers) {
  EdbServerProcess server(EdbServerProcess::Options{
      true, false, {"--threads", "2", "--header-timeout", "2", "--max-connections-per-address", "20"}});
  ASSERT_TRUE(server.ok());
  KalvoroClient client(server);
  ASSERT_EQ("OK\n", client.Get("checkauth.cgi&x").body);  // the login is remembered
  // Four trickles for two workers: each is cut off at its deadline, and a
  // real request is answered in between.
  std::atomic<int> cut{0};
  std::vector<std::thread> tricklers;
  for (int i = 0; i < 4; ++i) {
    tricklers.emplace_back([&] { cut += TrickleIsCutOff(server.port(), std::chrono::seconds(30)) ? 1 : 0; });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto start = Clock::now();
  EXPECT_EQ("OK\n", client.Get("checkauth.cgi&x").body);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
  for (auto& t : tricklers) t.join();
  EXPECT_EQ(4, cut.load());
}

TEST(ServerLimits, OneAddressKeepsOnlySoManyConnections) {
  EdbServerProcess server(
      EdbServerProcess::Options{true, false, {"--max-connections-per-address", "2", "--header-timeout", "3"}});
  ASSERT_TRUE(server.ok());
  int held[2] = {Connect(server.port()), Connect(server.port())};
  for (int fd : held) send(fd, "GET /", 5, MSG_NOSIGNAL);  // requests begun, not finished
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::string third = Exchange(server.port(), "GET /cgi-bin/ikalvoro/do.cgi?x HTTP/1.1\r\n\r\n");
  EXPECT_EQ(0u, third.find("HTTP/1.1 503 ")) << third;
  EXPECT_NE(std::string::npos, third.find("Error: too many connections from this address"));
  for (int fd : held) close(fd);
  // Once they are closed, the address is served again.
  std::string after;
  for (int i = 0; i < 50 && after.find(" 200 ") == std::string::npos; ++i) {
    if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    after = Exchange(server.port(), "GET /cgi-bin/ikalvoro/do.cgi?" + KalvoroClient(server).authenticator +
                                        "&checkauth.cgi HTTP/1.0\r\n\r\n");
  }
  EXPECT_NE(std::string::npos, after.find("\r\n\r\nOK\n")) << after;
}

TEST(ServerLimits, BodiesAreJudgedByTheirLengthBeforeTheyAreRead) {
  EdbServerProcess server(EdbServerProcess::Options{true, false, {"--max-request-mb", "1"}});
  ASSERT_TRUE(server.ok());
  KalvoroClient client(server);
  std::string before = server.dumpRecords();
  auto post = [&](const std::string& auth, const std::string& lengthLines) {
    return Exchange(server.port(), "POST /cgi-bin/ikalvoro/do.cgi?" + auth +
                                       "&iedbvksave2.cgi&x HTTP/1.1\r\nHost: 127.0.0.1\r\n" + lengthLines + "\r\n");
  };
  struct {
    const char* lengthLines;
    const char* status;
    const char* error;
  } const cases[] = {
      {"Content-Length: 314572800\r\n", "413", "the request body is larger than 1 MiB"},
      {"Content-Length: -1\r\n", "400", "malformed Content-Length -1"},
      {"Content-Length: 12x\r\n", "400", "malformed Content-Length 12x"},
      {"Content-Length: 99999999999999999999999\r\n", "400", "malformed Content-Length"},
      {"Content-Length: 10\r\nContent-Length: 10\r\n", "400", "more than one Content-Length"},
      {"Transfer-Encoding: chunked\r\n", "411", "a request body needs a Content-Length"},
  };
  for (const auto& c : cases) {
    std::string reply = post(servertest::MakeAuthenticator("demo", "wrong"), c.lengthLines);
    EXPECT_EQ(0u, reply.find(std::string("HTTP/1.1 ") + c.status + " ")) << c.lengthLines << reply;
    EXPECT_NE(std::string::npos, reply.find(std::string("\r\n\r\nError: ") + c.error)) << reply;
  }
  // Within the cap, a refused login is answered before any of the body.
  std::string refused = post(servertest::MakeAuthenticator("demo", "wrong"), "Content-Length: 1000000\r\n");
  EXPECT_NE(std::string::npos, refused.find("\r\n\r\nError: unknown user or wrong password\n")) << refused;

  // A client that sends its 300 MB body anyway is cut off long before the end.
  int fd = Connect(server.port());
  ASSERT_GE(fd, 0);
  std::string head = "POST /cgi-bin/ikalvoro/do.cgi?" + client.authenticator +
                     "&iedbvksave2.cgi&x HTTP/1.1\r\nContent-Length: 314572800\r\n\r\n";
  send(fd, head.data(), head.size(), MSG_NOSIGNAL);
  std::string zeros(1 << 16, '\0');
  size_t sent = 0;
  auto until = Clock::now() + std::chrono::seconds(20);
  while (sent < 314572800 && Clock::now() < until) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    ssize_t n = send(fd, zeros.data(), zeros.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno != EAGAIN) break;
    if (n > 0) sent += static_cast<size_t>(n);
  }
  close(fd);
  EXPECT_LT(sent, size_t(64) << 20);
  EXPECT_EQ(before, server.dumpRecords());
  EXPECT_EQ("OK\n", client.Get("checkauth.cgi&x").body);
}

}  // namespace
