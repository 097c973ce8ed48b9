// The library speaks HTTP/1.0 (GET and POST without a content type) and reads
// large replies by their Content-Length: raw-socket requests check that.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "support/road_text.h"

using servertest::KalvoroClient;
using servertest::Lines;

namespace {

// Sends request and reads until the server closes the connection (bounded);
// halfClose ends the sending side at once, as a client that broke off does.
std::string Exchange(int port, const std::string& request, bool halfClose = false) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return std::string();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    size_t sent = 0;
    while (sent < request.size()) {
      ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    if (halfClose) shutdown(fd, SHUT_WR);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 200) <= 0) continue;
      char buffer[65536];
      ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      reply.append(buffer, static_cast<size_t>(n));
    }
  }
  close(fd);
  return reply;
}

struct Parsed {
  std::string statusLine;
  std::string headers;
  std::string body;
};

Parsed Parse(const std::string& reply) {
  Parsed p;
  size_t end = reply.find("\r\n\r\n");
  if (end == std::string::npos) return p;
  size_t firstEnd = reply.find("\r\n");
  p.statusLine = reply.substr(0, firstEnd);
  p.headers = reply.substr(firstEnd + 2, end - firstEnd - 2);
  p.body = reply.substr(end + 4);
  return p;
}

TEST(ServerHttp, Http10GetHasContentLengthAndLatin1Type) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  KalvoroClient client(server);
  std::string records;
  for (int i = 0; i < 300; ++i) records += test_support::RoadText("F" + std::to_string(i)) + "\n";
  ASSERT_EQ(0u, client.Save(Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "-1", "0", "0"}) + records +
                            "EOF\n")
                    .body.find("Ok.\n"));
  Parsed reply = Parse(Exchange(server.port(), "GET /cgi-bin/ikalvoro/do.cgi?" + client.authenticator +
                                                   "&iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&road&0 HTTP/1.0\r\n"
                                                   "User-Agent: Microsoft Internet Explorer\r\nHost: 127.0.0.1\r\n\r\n"));
  EXPECT_EQ("HTTP/1.1 200 OK", reply.statusLine);
  EXPECT_NE(std::string::npos, reply.headers.find("Content-Length: " + std::to_string(records.size())));
  EXPECT_NE(std::string::npos, reply.headers.find("Content-Type: text/plain; charset=ISO-8859-1"));
  EXPECT_EQ(std::string::npos, reply.headers.find("chunked"));
  EXPECT_TRUE(reply.body == records);
}

TEST(ServerHttp, Http10PostWithoutContentType) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  KalvoroClient client(server);
  std::string body = Lines({"REF", "createempty", "demo", "Raw"});
  Parsed reply = Parse(Exchange(server.port(), "POST /cgi-bin/ikalvoro/do.cgi?" + client.authenticator +
                                                   "&iedbvksave2.cgi&x HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                                                   "Content-Length: " +
                                                   std::to_string(body.size()) + "\r\n\r\n" + body));
  EXPECT_EQ("HTTP/1.1 200 OK", reply.statusLine);
  EXPECT_EQ("OK\n", reply.body);
  // A body shorter than announced never reaches the store.
  std::string before = server.dumpRecords();
  std::string partial = Lines({"REF", "saveedbrsrc", "demo", "Raw", "speed 1: 5"});
  Exchange(server.port(), "POST /cgi-bin/ikalvoro/do.cgi?" + client.authenticator +
                              "&iedbvksave2.cgi&x HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-Length: " +
                              std::to_string(partial.size() + 100) + "\r\n\r\n" + partial,
           true);
  EXPECT_EQ(before, server.dumpRecords());
}

}  // namespace
