// A scripted HTTP server for tests: plain TCP on 127.0.0.1 at a free port.
// For every connection it reads one request (header block and a body of the
// announced Content-Length), records it, and answers with exactly the bytes
// the test scripted: complete replies, replies without Content-Length, a
// Content-Length larger than what follows and then a close or a reset, a
// reply dribbled in pieces, or no answer at all.  Builds on POSIX sockets
// and on Winsock (the Windows tests under Wine).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

struct RecordedRequest {
  std::string requestLine;           // e.g. "GET /a%20b HTTP/1.0"
  std::vector<std::string> headers;  // "Name: value", as received
  std::string body;

  bool HasHeader(const std::string& name) const;
  // The first header of that name (case-insensitive), value trimmed; "" if none.
  std::string Header(const std::string& name) const;
};

// What the server does on a connection once it has read the request.
struct RawReply {
  struct Piece {
    std::string bytes;
    size_t repeat = 1;     // the bytes are written this many times
    int pauseBeforeMs = 0;  // wait before writing them
  };
  std::vector<Piece> pieces;
  bool silent = false;  // after the pieces (if any) keep the connection open, neither
                        // closing nor writing, until the peer or Stop() ends it
  bool reset = false;   // end with a reset instead of an orderly close

  RawReply& Send(std::string bytes, int pauseBeforeMs = 0);
  RawReply& SendRepeated(std::string block, size_t times);

  // "HTTP/1.0 <status> <reason>", a Content-Length unless left out, the body.
  static RawReply Http(int status, const std::string& body, bool withContentLength = true);
  // No answer at all: the connection stays open and quiet.
  static RawReply Silent();
};

// Status line and headers of a reply (ending in the blank line), for scripts
// that send the body separately.
std::string HttpHead(int status, const std::string& extraHeaders = "");

class RawHttpServer {
 public:
  RawHttpServer();
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  // Listens on 127.0.0.1 at a free port. False when that fails.
  bool Start();
  // Ends every connection and joins all threads; safe to call twice.
  void Stop();
  uint16_t port() const { return port_; }

#ifdef _WIN32
  using Socket = uintptr_t;  // the platform's SOCKET
#else
  using Socket = int;
#endif
  static constexpr Socket kNoSocket = static_cast<Socket>(-1);

  // Replies are used one per connection in the order queued; when none is
  // queued the default reply answers (initially 200 with the body "OK").
  void QueueReply(RawReply reply);
  void SetDefaultReply(RawReply reply);

  std::vector<RecordedRequest> Requests() const;
  size_t RequestCount() const;
  // Waits at most timeoutMs until `count` requests have been recorded.
  bool WaitForRequests(size_t count, int timeoutMs) const;

 private:
  void AcceptLoop();
  void Serve(Socket fd);
  bool ReadRequest(Socket fd, RecordedRequest* request);
  bool WriteAll(Socket fd, const char* data, size_t size);
  bool PauseFor(int ms);

  Socket listenFd_ = kNoSocket;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable recorded_;
  std::deque<RawReply> queue_;
  RawReply defaultReply_;
  std::vector<RecordedRequest> requests_;
  std::vector<std::thread> workers_;
};

}  // namespace test_support
