// A long reply read in small pieces: the layer keeps at most about one curl
// chunk beyond what was asked for, however much the server pushes.
#include <gtest/gtest.h>
#include <curl/curl.h>

#include <string>

#include "port/port.h"
#include "port/port_client.h"
#include "port/port_linux_testing.h"
#include "support/raw_http_server.h"

namespace {

TEST(ReplyMemory, SixtyFourMebibytesThroughOneKibibyteReads) {
  constexpr size_t kBlock = 4096;
  constexpr size_t kBlocks = 16384;  // 64 MiB
  std::string block(kBlock, '\0');
  for (size_t i = 0; i < kBlock; ++i) block[i] = static_cast<char>(i * 31 + 7);

  test_support::RawHttpServer server;
  ASSERT_TRUE(server.Start());
  test_support::RawReply reply;
  reply.Send(test_support::HttpHead(
      200, "Content-Length: " + std::to_string(kBlock * kBlocks) + "\r\n"));
  reply.SendRepeated(block, kBlocks);
  server.QueueReply(reply);

  port_test::Client client(server.port(), "GET", "/big");
  ASSERT_TRUE(HttpSendRequestA(client.request, nullptr, 0, nullptr, 0));
  char buffer[1024];
  size_t total = 0;
  size_t mismatches = 0;
  for (;;) {
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(client.request, buffer, sizeof buffer, &read)) << GetLastError();
    if (read == 0) break;
    for (DWORD i = 0; i < read; ++i) {
      if (buffer[i] != block[(total + i) % kBlock]) ++mismatches;
    }
    total += read;
  }
  EXPECT_EQ(total, kBlock * kBlocks);
  EXPECT_EQ(mismatches, 0u);
  size_t held = port::linux_testing::MaxHeldReplyBytes(client.request);
  EXPECT_GT(held, 0u);
  EXPECT_LE(held, static_cast<size_t>(CURL_MAX_WRITE_SIZE));
}

}  // namespace
