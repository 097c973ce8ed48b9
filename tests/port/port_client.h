// Test helpers for the port tests: a session, connection and request opened
// against a loopback server, closed together, and whole-body reads.
#pragma once

#include <cstdint>
#include <string>

#include "port/port.h"

namespace port_test {

constexpr DWORD kRequestFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;

// Session, connection (127.0.0.1:port, receive time-out) and one request.
// Closing the session on destruction closes the other two.
class Client {
 public:
  Client(uint16_t port, const char* verb, const char* path, DWORD flags = kRequestFlags,
         DWORD timeoutMs = 5000);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
};

// Reads until the end of the body in pieces of `piece` bytes.  On a failing
// read, *error gets the last error and the bytes read so far are returned;
// otherwise *error is 0.
std::string ReadBody(HINTERNET request, DWORD piece, DWORD* error);

}  // namespace port_test
