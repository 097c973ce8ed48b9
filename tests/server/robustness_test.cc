// The server never crashes and keeps answering, whatever arrives: random
// bytes in fields and bodies, huge fields, truncated bodies.
#include <gtest/gtest.h>

#include <httplib.h>

#include <random>

#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::KalvoroClient;
using servertest::Lines;

namespace {

std::string RandomBytes(std::mt19937& random, size_t n, bool urlSafe) {
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(random());
    if (urlSafe && (c <= ' ' || c >= 0x7F || c == '#' || c == '?')) c = 'a' + c % 26;
    s.push_back(static_cast<char>(c));
  }
  return s;
}

using ServerRobustness = servertest::SeededServerTest;

// Every reply below comes with status 200 (the fixture checks it).
TEST_F(ServerRobustness, RandomRequestsGetErrorLinesOrReplies) {
  KalvoroClient client(server_);
  std::mt19937 random(12345);
  const std::vector<std::string> commands = {"listdb", "listedbusers", "listedbnames", "loadedbrsrc",
                                             "loadxxxdb", "loadsubs", "listgrids", "x"};
  for (int i = 0; i < 150; ++i) {
    std::string rest = "iedbvk2.cgi";
    int fields = static_cast<int>(random() % 8);
    for (int f = 0; f < fields; ++f) {
      rest += "&";
      if (f == 1) {
        rest += commands[random() % commands.size()];
      } else if (random() % 3 == 0) {
        rest += RandomBytes(random, random() % 40, true);
      } else {
        rest += f == 0 ? "REF" : (f == 2 ? "global" : "0");
      }
    }
    Get(rest);
  }
  const std::vector<std::string> saveCommands = {"createempty", "saveedbrsrc", "savexxxdb", "savegrid", "zz"};
  for (int i = 0; i < 150; ++i) {
    std::string body;
    int lines = static_cast<int>(random() % 12);
    for (int l = 0; l < lines; ++l) {
      if (l == 0) body += random() % 4 ? "TEST" : RandomBytes(random, 5, false);
      else if (l == 1) body += saveCommands[random() % saveCommands.size()];
      else if (l == 2) body += "demo";
      else if (l == 3) body += "Fuzz" + std::to_string(random() % 4);
      else body += RandomBytes(random, random() % 60, false);
      if (random() % 8) body += "\n";
    }
    Save(body);
  }
  // Totally random raw bodies and queries.
  for (int i = 0; i < 50; ++i) {
    client.Save(RandomBytes(random, random() % 2000, false));
    client.RawGet("/cgi-bin/ikalvoro/do.cgi?" + RandomBytes(random, random() % 300, true));
  }
  EXPECT_EQ("OK\n", Get("checkauth.cgi&x"));
  EXPECT_EQ("REF\nTEST\nARCHIVE\n", Get("iedbvk2.cgi&x&listdb&x&x"));
}

TEST_F(ServerRobustness, HugeFieldsAndLines) {
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
  // Too long an EDB name is refused.
  EXPECT_EQ(0u, Save(Lines({"REF", "createempty", "demo", std::string(300, 'e')})).find("Error: "));
  EXPECT_EQ("OK\n", Get("checkauth.cgi&x"));
}

TEST_F(ServerRobustness, MultipartBodiesAreRefused) {
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
