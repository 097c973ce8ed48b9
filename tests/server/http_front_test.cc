// The server's HTTP front against raw and hostile clients: the library's
// HTTP/1.0 requests, and the limits that keep a worker, the memory and the
// store safe (random requests: tests/fuzz/server_request_fuzz.cc).  Every
// wait here is bounded.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::Connect;
using servertest::Exchange;
using servertest::KalvoroClient;
using servertest::Lines;

namespace {

using Clock = std::chrono::steady_clock;

// A seeded server with these command-line limits.
EdbServerProcess::Options Limits(std::vector<std::string> args) { return {true, false, std::move(args)}; }

// Sends one header byte every 100 ms until the server closes the
// connection; true when it did within 30 seconds.
bool TrickleIsCutOff(int port) {
  const std::string head = "GET /cgi-bin/ikalvoro/do.cgi?" + std::string(400, 'a');
  int fd = Connect(port);
  bool cut = false;
  for (size_t i = 0; fd >= 0 && !cut && i < 300; ++i) {
    pollfd p{fd, POLLIN, 0};
    char byte;
    cut = send(fd, &head[i], 1, MSG_NOSIGNAL) != 1 || (poll(&p, 1, 100) > 0 && recv(fd, &byte, 1, MSG_DONTWAIT) <= 0);
  }
  close(fd);
  return cut;
}

TEST(ServerLimits, TricklingClientsCannotHoldTheWorkers) {
  EdbServerProcess server(Limits({"--threads", "2", "--header-timeout", "2", "--max-connections-per-address", "20"}));
  ASSERT_TRUE(server.ok());
  KalvoroClient client(server);
  ASSERT_EQ("OK\n", client.Get("checkauth.cgi&x").body);  // the login is remembered
  // Four trickles for two workers: each is cut off at its deadline, and a
  // real request is answered in between.
  std::vector<std::future<bool>> trickles;
  for (int i = 0; i < 4; ++i) trickles.push_back(std::async(std::launch::async, TrickleIsCutOff, server.port()));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto start = Clock::now();
  EXPECT_EQ("OK\n", client.Get("checkauth.cgi&x").body);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
  for (auto& cut : trickles) EXPECT_TRUE(cut.get());
}

TEST(ServerLimits, OneAddressKeepsOnlySoManyConnections) {
  EdbServerProcess server(Limits({"--max-connections-per-address", "2", "--header-timeout", "3"}));
  ASSERT_TRUE(server.ok());
  KalvoroClient client(server);
  int held[2] = {Connect(server.port()), Connect(server.port())};
  for (int fd : held) send(fd, "GET /", 5, MSG_NOSIGNAL);  // requests begun, not finished
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::string third = Exchange(server.port(), "GET /cgi-bin/ikalvoro/do.cgi?x HTTP/1.1\r\n\r\n");
  EXPECT_EQ(0u, third.find("HTTP/1.1 503 ")) << third;
  EXPECT_NE(std::string::npos, third.find("Error: too many connections from this address"));
  for (int fd : held) close(fd);
  // Once they are closed, the address is served again.
  bool served = false;
  for (int i = 0; i < 50 && !served; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    served = client.Get("checkauth.cgi&x").body == "OK\n";
  }
  EXPECT_TRUE(served);
}

TEST(ServerLimits, BodiesAreJudgedByTheirLengthBeforeTheyAreRead) {
  EdbServerProcess server(Limits({"--max-request-mb", "1"}));
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

struct Parsed {
  std::string head, body;  // head: the status line and the headers, each ending in CR LF
};

Parsed Parse(const std::string& reply) {
  size_t end = reply.find("\r\n\r\n");
  return end == std::string::npos ? Parsed() : Parsed{reply.substr(0, end + 2), reply.substr(end + 4)};
}

using ServerHttp = servertest::SeededServerTest;

TEST_F(ServerHttp, Http10GetAndPostWithoutContentType) {
  const std::string target = "/cgi-bin/ikalvoro/do.cgi?" + servertest::KalvoroClient(server_).authenticator + "&";
  Parsed reply = Parse(Exchange(server_.port(), "GET " + target + servertest::Load("demo&Gothenburg2025", "road") +
                                                    " HTTP/1.0\r\nUser-Agent: Microsoft Internet Explorer\r\n"
                                                    "Host: 127.0.0.1\r\n\r\n"));
  EXPECT_EQ(0u, reply.head.find("HTTP/1.1 200 OK\r\n")) << reply.head;
  EXPECT_GT(reply.body.size(), 100000u);  // the seeded roads
  EXPECT_NE(std::string::npos, reply.head.find("\r\nContent-Length: " + std::to_string(reply.body.size()) + "\r\n"));
  EXPECT_NE(std::string::npos, reply.head.find("\r\nContent-Type: text/plain; charset=ISO-8859-1\r\n"));
  EXPECT_EQ(std::string::npos, reply.head.find("chunked"));

  auto post = [&](const std::string& body, size_t announced) {
    return "POST " + target + "iedbvksave2.cgi&x HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-Length: " +
           std::to_string(announced) + "\r\n\r\n" + body;
  };
  std::string body = Lines({"REF", "createempty", "demo", "Raw"});
  reply = Parse(Exchange(server_.port(), post(body, body.size())));
  EXPECT_EQ(0u, reply.head.find("HTTP/1.1 200 OK\r\n")) << reply.head;
  EXPECT_EQ("OK\n", reply.body);
  // A body shorter than announced never reaches the store.
  std::string before = server_.dumpRecords();
  std::string partial = Lines({"REF", "saveedbrsrc", "demo", "Raw", "speed 1: 5"});
  Exchange(server_.port(), post(partial, partial.size() + 100), true);
  EXPECT_EQ(before, server_.dumpRecords());
}

TEST_F(ServerHttp, HugeFieldsAndLines) {
  // A long field still fits the request line.
  EXPECT_EQ("Error: unknown EDB user " + std::string(80, 'n') + "... in database REF\n",
            Get("iedbvk2.cgi&REF&listedbnames&" + std::string(7000, 'n') + "&x"));
  // A request line beyond the HTTP layer's limit is refused without a crash.
  KalvoroClient client(server_);
  EXPECT_NE(200, client.Get("iedbvk2.cgi&REF&listedbnames&" + std::string(20000, 'n') + "&x").status);
  // A one-megabyte line in a resource file is kept as it is.
  std::string line = "NOTE 0: " + std::string(1 << 20, 'z');
  EXPECT_EQ("", Save(Lines({"REF", "saveedbrsrc", "demo", "Malmo2024", line})));
  EXPECT_EQ(line + "\n", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Malmo2024"));
  EXPECT_EQ(0u, Save(Lines({"REF", "createempty", "demo", std::string(300, 'e')})).find("Error: "));
}

TEST_F(ServerHttp, MultipartBodiesAreRefused) {
  httplib::Client http(server_.url());
  http.set_url_encode(false);
  httplib::MultipartFormDataItems items = {{"file", "REF\ncreateempty\ndemo\nX\n", "a.txt", "text/plain"}};
  std::string target = "/cgi-bin/ikalvoro/do.cgi?" + KalvoroClient(server_).authenticator + "&iedbvksave2.cgi&x";
  auto result = http.Post(target.c_str(), items);
  ASSERT_TRUE(result);
  EXPECT_EQ("Error: multipart bodies are not accepted\n", result->body);
  EXPECT_EQ("OK\n", Get("checkauth.cgi&x"));
}

}  // namespace
