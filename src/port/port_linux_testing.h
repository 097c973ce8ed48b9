// Test-only insight into the Linux platform layer (port_linux.cc): how much
// reply data it held and how many handles are alive.  Not part of the
// platform contract; the library itself never calls these.
#pragma once

#include <cstddef>

#include "port/port.h"

namespace port {
namespace linux_testing {

// The largest number of reply bytes the layer ever held for `request` beyond
// what the caller's reads had asked for, over all sends of the request.
// 0 for anything that is not a live request handle.
size_t MaxHeldReplyBytes(HINTERNET request);

// Number of live handles of all kinds (sessions, connections, requests).
size_t LiveHandleCount();

}  // namespace linux_testing
}  // namespace port
