// The substitute server's request handling fed arbitrary requests: the input
// is "METHOD TARGET", a line feed and the body.  A first query field "AUTH"
// becomes a valid authenticator of the demo user, so that the read and save
// commands behind the login get the mutations; any other text goes to the
// authenticator check as it is.  Every reply is whole lines, and a streamed
// reply produces exactly the length it announced.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "auth_check.h"
#include "fuzz_support.h"
#include "seed.h"
#include "service.h"
#include "store.h"
#include "transport/auth_codec.h"

namespace {

std::string DemoAuthenticator() {
  const uint8_t random[4] = {1, 2, 3, 4};
  uint8_t block[auth::BlockSize];
  size_t size = auth::BuildBlock(block, "demo", random, "2612061200", "demo");
  auth::Scramble(block, size);
  std::string text(auth::EncodedLength(size) + 1, '\0');
  auth::Encode(block, size, &text[0]);
  text.resize(text.size() - 1);
  return text + "0";
}

// The store's file, removed (with SQLite's companions) when the process ends.
std::string g_file;

void RemoveStore() {
  for (const char* suffix : {"", "-wal", "-shm"}) unlink((g_file + suffix).c_str());
}

edb::Service& TheService() {
  static std::unique_ptr<edb::Store> store;
  static std::unique_ptr<edb::Service> service;
  if (!service) {
    g_file = "/tmp/vorkab-server-fuzz-" + std::to_string(getpid()) + ".sqlite";
    const std::string& file = g_file;
    RemoveStore();
    atexit(RemoveStore);
    store.reset(new edb::Store(file));
    edb::SeedDemo(*store);
    edb::AuthSettings settings;
    settings.windowMinutes = 200 * 366 * 24 * 60;  // any time stamp: the fuzzer's clock is fixed
    settings.throttle.firstDelaySeconds = 0;       // failed logins are the fuzzer's daily bread
    service.reset(new edb::Service(*store, settings));
  }
  return *service;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const std::string auth = DemoAuthenticator();
  std::string input(reinterpret_cast<const char*>(bytes), size);
  size_t lineEnd = input.find('\n');
  std::string head = input.substr(0, lineEnd);
  std::string body = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);
  size_t blank = head.find(' ');
  std::string method = head.substr(0, blank);
  std::string target = blank == std::string::npos ? std::string() : head.substr(blank + 1);
  size_t query = target.find('?');
  if (query != std::string::npos && target.compare(query + 1, 4, "AUTH") == 0 &&
      (query + 5 == target.size() || target[query + 5] == '&')) {
    target.replace(query + 1, 4, auth);
  }

  edb::Reply reply = TheService().Handle(method, target, body, "127.0.0.1");
  if (reply.body) {
    uint64_t announced = reply.body->Length();
    uint64_t produced = 0;
    std::string chunk;
    for (size_t calls = 0; reply.body->Fill(&chunk); ++calls) {
      FUZZ_CHECK(calls < 100000000, "a streamed reply does not end");
      produced += chunk.size();
      chunk.clear();
    }
    FUZZ_CHECK(produced == announced, "streamed " + std::to_string(produced) + " bytes, announced " +
                                          std::to_string(announced));
  } else if (!reply.text.empty()) {  // empty: a resource file saved
    FUZZ_CHECK(reply.text.back() == '\n', "a reply not ended by a line end: " + reply.text.substr(0, 200));
  }
  return 0;
}
