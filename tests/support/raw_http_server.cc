// The scripted raw HTTP test server (see raw_http_server.h).
#include "support/raw_http_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace test_support {

namespace {

constexpr int kTickMs = 20;
constexpr int kRequestDeadlineMs = 10000;
constexpr int kLingerDeadlineMs = 10000;
constexpr size_t kMaxHeaderBytes = 1 << 20;

std::string Trimmed(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = text.find_last_not_of(" \t\r\n");
  return text.substr(b, e - b + 1);
}

using Clock = std::chrono::steady_clock;
using Socket = RawHttpServer::Socket;

// The few socket calls that differ between POSIX and Winsock.
#ifdef _WIN32
bool SocketsReady() {
  static const bool ready = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}
void CloseSocket(Socket fd) { closesocket(fd); }
int Poll(pollfd* p, int ms) { return WSAPoll(p, 1, ms); }
void SetNonBlocking(Socket fd) {
  u_long on = 1;
  ioctlsocket(fd, FIONBIO, &on);
}
// The last call would have blocked or was interrupted: try again.
bool TryAgain() {
  int e = WSAGetLastError();
  return e == WSAEWOULDBLOCK || e == WSAEINTR;
}
constexpr int kSendFlags = 0;
constexpr int kShutWrite = SD_SEND;
#else
bool SocketsReady() { return true; }
void CloseSocket(Socket fd) { close(fd); }
int Poll(pollfd* p, int ms) { return poll(p, 1, ms); }
void SetNonBlocking(Socket fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }
bool TryAgain() { return errno == EAGAIN || errno == EINTR; }
constexpr int kSendFlags = MSG_NOSIGNAL;
constexpr int kShutWrite = SHUT_WR;
#endif

template <class T>
int SetOption(Socket fd, int level, int name, const T& value) {
  return setsockopt(fd, level, name, reinterpret_cast<const char*>(&value), sizeof value);
}

int MsSince(Clock::time_point start) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

// The first header named name (case-insensitive), or null.
const std::string* FindHeader(const std::vector<std::string>& headers, const std::string& name) {
  for (const std::string& h : headers) {
    if (h.size() > name.size() && h[name.size()] == ':' && strncasecmp(h.c_str(), name.c_str(), name.size()) == 0) {
      return &h;
    }
  }
  return nullptr;
}

bool RecordedRequest::HasHeader(const std::string& name) const { return FindHeader(headers, name) != nullptr; }

std::string RecordedRequest::Header(const std::string& name) const {
  const std::string* h = FindHeader(headers, name);
  return h ? Trimmed(h->substr(name.size() + 1)) : "";
}

RawReply& RawReply::Send(std::string bytes, int pauseBeforeMs) {
  pieces.push_back(Piece{std::move(bytes), 1, pauseBeforeMs});
  return *this;
}

RawReply& RawReply::SendRepeated(std::string block, size_t times) {
  pieces.push_back(Piece{std::move(block), times, 0});
  return *this;
}

RawReply RawReply::Http(int status, const std::string& body, bool withContentLength) {
  std::string length = withContentLength ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "";
  return RawReply().Send(HttpHead(status, length) + body);
}

RawReply RawReply::Silent() {
  RawReply reply;
  reply.silent = true;
  return reply;
}

std::string HttpHead(int status, const std::string& extraHeaders) {
  // The library words its errors with its own reason phrases; this one is never read.
  return "HTTP/1.0 " + std::to_string(status) + (status == 200 ? " OK\r\n" : " Refused\r\n") + extraHeaders + "\r\n";
}

RawHttpServer::RawHttpServer() : defaultReply_(RawReply::Http(200, "OK")) {}

RawHttpServer::~RawHttpServer() { Stop(); }

bool RawHttpServer::Start() {
  if (!SocketsReady()) return false;
  listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listenFd_ == kNoSocket) return false;
  int one = 1;
  SetOption(listenFd_, SOL_SOCKET, SO_REUSEADDR, one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd_, 16) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(listenFd_);
    listenFd_ = kNoSocket;
    return false;
  }
  port_ = ntohs(address.sin_port);
  SetNonBlocking(listenFd_);
  stopping_ = false;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void RawHttpServer::Stop() {
  stopping_ = true;
  if (acceptThread_.joinable()) acceptThread_.join();
  if (listenFd_ != kNoSocket) {
    CloseSocket(listenFd_);
    listenFd_ = kNoSocket;
  }
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    workers.swap(workers_);
  }
  for (std::thread& t : workers) t.join();
}

void RawHttpServer::QueueReply(RawReply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(std::move(reply));
}

void RawHttpServer::SetDefaultReply(RawReply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  defaultReply_ = std::move(reply);
}

std::vector<RecordedRequest> RawHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

size_t RawHttpServer::RequestCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

bool RawHttpServer::WaitForRequests(size_t count, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return recorded_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return requests_.size() >= count; });
}

void RawHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (Poll(&p, kTickMs) <= 0) continue;
    Socket fd = accept(listenFd_, nullptr, nullptr);
    if (fd == kNoSocket) continue;
    SetNonBlocking(fd);
    std::lock_guard<std::mutex> lock(mutex_);
    workers_.emplace_back([this, fd] { Serve(fd); });
  }
}

bool RawHttpServer::PauseFor(int ms) {
  auto start = Clock::now();
  while (!stopping_ && MsSince(start) < ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kTickMs, ms)));
  }
  return !stopping_;
}

bool RawHttpServer::ReadRequest(Socket fd, RecordedRequest* request) {
  std::string data;
  size_t headerEnd = std::string::npos;
  size_t bodyLength = 0;
  auto start = Clock::now();
  char buffer[65536];
  while (headerEnd == std::string::npos || data.size() < headerEnd + 4 + bodyLength) {
    if (stopping_ || MsSince(start) >= kRequestDeadlineMs || data.size() > kMaxHeaderBytes + bodyLength) return false;
    pollfd p{fd, POLLIN, 0};
    if (Poll(&p, kTickMs) <= 0) continue;
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n == 0 || (n < 0 && !TryAgain())) return false;
    if (n > 0) data.append(buffer, static_cast<size_t>(n));
    if (headerEnd != std::string::npos || (headerEnd = data.find("\r\n\r\n")) == std::string::npos) continue;
    size_t lineEnd = data.find("\r\n");
    request->requestLine = data.substr(0, lineEnd);
    for (size_t pos = lineEnd + 2, next; pos < headerEnd; pos = next + 2) {
      next = data.find("\r\n", pos);
      request->headers.push_back(data.substr(pos, next - pos));
    }
    std::string length = request->Header("Content-Length");
    if (!length.empty()) bodyLength = std::strtoull(length.c_str(), nullptr, 10);
  }
  request->body = data.substr(headerEnd + 4, bodyLength);
  return true;
}

bool RawHttpServer::WriteAll(Socket fd, const char* data, size_t size) {
  size_t sent = 0;
  while (sent < size) {
    if (stopping_) return false;
    ssize_t n = send(fd, data + sent, size - sent, kSendFlags);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && TryAgain()) {
      pollfd p{fd, POLLOUT, 0};
      Poll(&p, kTickMs);
      continue;
    }
    return false;
  }
  return true;
}

void RawHttpServer::Serve(Socket fd) {
  RecordedRequest request;
  if (!ReadRequest(fd, &request)) {
    CloseSocket(fd);
    return;
  }
  RawReply reply;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
    if (!queue_.empty()) {
      reply = std::move(queue_.front());
      queue_.pop_front();
    } else {
      reply = defaultReply_;
    }
  }
  recorded_.notify_all();

  bool ok = true;
  for (const RawReply::Piece& piece : reply.pieces) {
    if (!ok) break;
    if (piece.pauseBeforeMs > 0) ok = PauseFor(piece.pauseBeforeMs);
    for (size_t i = 0; ok && i < piece.repeat; ++i) {
      ok = WriteAll(fd, piece.bytes.data(), piece.bytes.size());
    }
  }

  if (reply.reset) {
    linger hard{1, 0};
    SetOption(fd, SOL_SOCKET, SO_LINGER, hard);
    CloseSocket(fd);
    return;
  }
  // Orderly end: our side is done (unless silent); wait for the peer to close.
  // A silent connection just waits.
  if (!reply.silent) shutdown(fd, kShutWrite);
  auto start = Clock::now();
  char buffer[4096];
  while (!stopping_ && (reply.silent || MsSince(start) < kLingerDeadlineMs)) {
    pollfd p{fd, POLLIN, 0};
    if (Poll(&p, kTickMs) <= 0) continue;
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n == 0 || (n < 0 && !TryAgain())) break;
  }
  CloseSocket(fd);
}

}  // namespace test_support
