// The library speaks HTTP/1.0 (GET and POST without a content type) and reads
// large replies by their Content-Length: raw-socket requests check that.
#include <gtest/gtest.h>

#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "support/road_text.h"

using servertest::Exchange;
using servertest::Lines;

namespace {

struct Parsed {
  std::string statusLine, headers, body;
};

Parsed Parse(const std::string& reply) {
  size_t end = reply.find("\r\n\r\n"), firstEnd = reply.find("\r\n");
  if (end == std::string::npos) return Parsed();
  return Parsed{reply.substr(0, firstEnd), reply.substr(firstEnd + 2, end - firstEnd - 2), reply.substr(end + 4)};
}

using ServerHttp = servertest::SeededServerTest;

TEST_F(ServerHttp, Http10GetAndPostWithoutContentType) {
  const std::string target = "/cgi-bin/ikalvoro/do.cgi?" + servertest::KalvoroClient(server_).authenticator + "&";
  std::string records;
  for (int i = 0; i < 300; ++i) records += test_support::RoadText("F" + std::to_string(i)) + "\n";
  ASSERT_EQ(0u, Save(servertest::SaveBody("road", "-1", records)).find("Ok.\n"));
  Parsed reply = Parse(Exchange(server_.port(), "GET " + target + servertest::Load("demo&Malmo2024", "road") +
                                                    " HTTP/1.0\r\nUser-Agent: Microsoft Internet Explorer\r\n"
                                                    "Host: 127.0.0.1\r\n\r\n"));
  EXPECT_EQ("HTTP/1.1 200 OK", reply.statusLine);
  EXPECT_NE(std::string::npos, reply.headers.find("Content-Length: " + std::to_string(records.size())));
  EXPECT_NE(std::string::npos, reply.headers.find("Content-Type: text/plain; charset=ISO-8859-1"));
  EXPECT_EQ(std::string::npos, reply.headers.find("chunked"));
  EXPECT_TRUE(reply.body == records);

  auto post = [&](const std::string& body, size_t announced) {
    return "POST " + target + "iedbvksave2.cgi&x HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-Length: " +
           std::to_string(announced) + "\r\n\r\n" + body;
  };
  std::string body = Lines({"REF", "createempty", "demo", "Raw"});
  reply = Parse(Exchange(server_.port(), post(body, body.size())));
  EXPECT_EQ("HTTP/1.1 200 OK", reply.statusLine);
  EXPECT_EQ("OK\n", reply.body);
  // A body shorter than announced never reaches the store.
  std::string before = server_.dumpRecords();
  std::string partial = Lines({"REF", "saveedbrsrc", "demo", "Raw", "speed 1: 5"});
  Exchange(server_.port(), post(partial, partial.size() + 100), true);
  EXPECT_EQ(before, server_.dumpRecords());
}

}  // namespace
