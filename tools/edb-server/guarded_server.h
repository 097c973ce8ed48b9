// The cpp-httplib server with a connection loop of its own, so that a hostile
// client cannot hold the workers: every request must arrive whole within a
// deadline (headers, then the body at a minimum pace) that a trickle of bytes
// cannot extend; a client address may keep only so many connections open; a
// connection whose body was refused unread is closed after the reply.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace edb {

// The largest POST body the server takes by default (saves of at least 256 MiB).
constexpr uint64_t kMaxBodyBytes = uint64_t(512) << 20;

struct ServerLimits {
  int32_t headerTimeoutSeconds = 20;  // request line and headers, whatever the pace
  int32_t bodyTimeoutSeconds = 60;    // a body: this, plus a second per minBodyKiBPerSecond KiB
  int32_t minBodyKiBPerSecond = 64;
  uint64_t maxRequestBytes = kMaxBodyBytes;
  int32_t maxConnectionsPerAddress = 8;
  int32_t threads = 32;  // connections served at the same time
};

// A server (HTTPS when certFile is not empty) whose connections follow limits.
// REQUIRES: certFile and keyFile both empty or both given.
std::unique_ptr<httplib::Server> MakeGuardedServer(const ServerLimits& limits, const std::string& certFile,
                                                   const std::string& keyFile);

// For request handlers, about the connection of the request they handle (on
// the handler's thread; no effect elsewhere).
// The headers are in: from now on the body of `length` bytes has its own deadline.
void StartRequestBody(uint64_t length);
// Close the connection after this reply (its body, if any, was not read).
void CloseAfterReply();

}  // namespace edb
