// A scripted platform layer for the fuzz targets: the WinINet subset of
// port/port.h without a network.  Every request that is sent takes the next
// queued reply (or the default one) and hands its body out in the chunk sizes
// the reply names, so that a target decides status, headers, body bytes and
// how the reads cut them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz_port {

struct Reply {
  int status = 200;
  bool hasContentLength = true;  // Content-Length: the body's size
  std::string body;
  // Bytes handed out per InternetReadFile, taken in turn and repeated; a 0
  // entry or an empty list hands out as much as was asked for.
  std::vector<uint32_t> chunks;
  // The read that reaches this offset fails (no failure when beyond the body).
  size_t failAt = SIZE_MAX;
};

// The next request sent gets `reply`; queued replies go first in, first out.
void Queue(Reply reply);
// What a request gets when nothing is queued.
void SetDefault(Reply reply);
// Drops the queued replies.
void ClearQueue();
// Drops the queued replies; the next request gets `body` with status 200.
void Answer(const std::string& body);

// The last request's body.
const std::string& LastBody();

// Request handles alive.
size_t LiveRequests();

}  // namespace fuzz_port
