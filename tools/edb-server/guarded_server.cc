// The guarded connection loop (see guarded_server.h).
#include "guarded_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>

namespace edb {

namespace {

using Clock = std::chrono::steady_clock;

// Request line and headers together may not be longer.
constexpr size_t kMaxHeadBytes = 64 * 1024;
// After a refused body: how long and how much the server keeps reading, so
// that the client sees the reply before the connection closes.
constexpr int kLingerMillis = 1000;
constexpr size_t kLingerBytes = 1 << 20;
// Idle waits look this often whether the server is stopping.
constexpr int kIdleSliceMillis = 100;

// The numeric address and port of a socket's peer (or its own end).
std::string AddressOf(int fd, bool peer, int* port) {
  sockaddr_storage address{};
  socklen_t size = sizeof address;
  char text[INET6_ADDRSTRLEN] = "";
  *port = 0;
  auto* any = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? getpeername(fd, any, &size) : getsockname(fd, any, &size)) != 0) return std::string();
  if (address.ss_family == AF_INET) {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    *port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    *port = ntohs(v6->sin6_port);
  }
  return text;
}

// Counts the open connections of each client address.
class ConnectionGate {
 public:
  explicit ConnectionGate(int32_t cap) : cap_(cap) {}
  bool Enter(const std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    int32_t& open = open_[address];
    if (open >= cap_) return false;
    ++open;
    return true;
  }
  void Leave(const std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = open_.find(address);
    if (it != open_.end() && --it->second <= 0) open_.erase(it);
  }

 private:
  int32_t cap_;
  std::mutex mutex_;
  std::map<std::string, int32_t> open_;
};

// One client connection: the socket, its TLS session (or none) and the
// deadline of the request being read.
struct Connection {
  int fd = -1;
  SSL* ssl = nullptr;
  ServerLimits limits;
  int readWaitMillis = 0;   // the longest wait for one read
  int writeWaitMillis = 0;  // the longest wait for one write
  Clock::time_point deadline;
  size_t headBudget = kMaxHeadBytes;  // while the head is read, else 0 = unlimited
  bool readingHead = true;
  bool closeAfter = false;

  void StartRequest() {
    deadline = Clock::now() + std::chrono::seconds(limits.headerTimeoutSeconds);
    headBudget = kMaxHeadBytes;
    readingHead = true;
    closeAfter = false;
  }
};

thread_local Connection* tCurrent = nullptr;

// Waits until fd is ready for events, at most millis; false on time-out.
bool WaitFor(int fd, short events, int millis) {
  if (millis <= 0) return false;
  pollfd p{fd, events, 0};
  int r;
  do {
    r = poll(&p, 1, millis);
  } while (r < 0 && errno == EINTR);
  return r > 0;
}

int MillisLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<int64_t>(left, 1 << 30));
}

// A stream over the connection's socket (non-blocking) whose reads end at the
// request's deadline.
class GuardedStream : public httplib::Stream {
 public:
  explicit GuardedStream(Connection& c) : c_(c) {}

  bool HasBuffered() const { return pos_ < len_ || (c_.ssl && SSL_pending(c_.ssl) > 0); }

  bool is_readable() const override {
    return HasBuffered() || WaitFor(c_.fd, POLLIN, std::min(c_.readWaitMillis, MillisLeft(c_.deadline)));
  }
  bool is_writable() const override { return WaitFor(c_.fd, POLLOUT, c_.writeWaitMillis); }

  ssize_t read(char* ptr, size_t size) override {
    if (size == 0) return 0;
    if (pos_ == len_) {
      ssize_t n = Receive(buffer_, sizeof buffer_);
      if (n <= 0) return n;
      pos_ = 0;
      len_ = static_cast<size_t>(n);
    }
    size_t n = std::min(size, len_ - pos_);
    if (c_.readingHead) {
      if (n > c_.headBudget) return -1;  // headers without end
      c_.headBudget -= n;
    }
    std::memcpy(ptr, buffer_ + pos_, n);
    pos_ += n;
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char* ptr, size_t size) override {
    for (;;) {
      if (c_.ssl) {
        int r = SSL_write(c_.ssl, ptr, static_cast<int>(std::min<size_t>(size, 1 << 30)));
        if (r > 0) return r;
        int error = SSL_get_error(c_.ssl, r);
        short events = error == SSL_ERROR_WANT_WRITE ? POLLOUT : error == SSL_ERROR_WANT_READ ? POLLIN : 0;
        if (!events || !WaitFor(c_.fd, events, c_.writeWaitMillis)) return -1;
      } else {
        ssize_t n = send(c_.fd, ptr, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return n;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        if (!WaitFor(c_.fd, POLLOUT, c_.writeWaitMillis)) return -1;
      }
    }
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { ip = AddressOf(c_.fd, true, &port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { ip = AddressOf(c_.fd, false, &port); }
  socket_t socket() const override { return c_.fd; }

 private:
  // One receive into buf, waiting no longer than the deadline allows.
  ssize_t Receive(char* buf, size_t size) {
    for (;;) {
      int wait = std::min(c_.readWaitMillis, MillisLeft(c_.deadline));
      if (c_.ssl) {
        int r = SSL_read(c_.ssl, buf, static_cast<int>(size));
        if (r > 0) return r;
        int error = SSL_get_error(c_.ssl, r);
        if (error == SSL_ERROR_ZERO_RETURN) return 0;
        short events = error == SSL_ERROR_WANT_READ ? POLLIN : error == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
        if (!events || !WaitFor(c_.fd, events, wait)) return -1;
      } else {
        ssize_t n = recv(c_.fd, buf, size, MSG_DONTWAIT);
        if (n >= 0) return n;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        if (!WaitFor(c_.fd, POLLIN, wait)) return -1;
      }
    }
  }

  Connection& c_;
  char buffer_[16384];
  size_t pos_ = 0;
  size_t len_ = 0;
};

using RequestFn = std::function<bool(httplib::Stream&, bool closeConnection, bool& connectionClosed)>;

struct LoopSettings {
  ServerLimits limits;
  ConnectionGate* gate;
  const std::atomic<socket_t>* listening;
  size_t keepAliveMaxCount;
  time_t keepAliveSeconds;
  time_t readTimeoutSeconds;
  time_t writeTimeoutSeconds;
};

// Reads and drops what the client still sends, briefly, then closes.
void LingeringClose(int fd) {
  shutdown(fd, SHUT_WR);
  auto until = Clock::now() + std::chrono::milliseconds(kLingerMillis);
  size_t dropped = 0;
  char sink[16384];
  while (dropped < kLingerBytes && WaitFor(fd, POLLIN, MillisLeft(until))) {
    ssize_t n = recv(fd, sink, sizeof sink, MSG_DONTWAIT);
    if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) break;
    if (n > 0) dropped += static_cast<size_t>(n);
  }
}

bool Handshake(Connection& c) {
  for (;;) {
    int r = SSL_accept(c.ssl);
    if (r == 1) return true;
    int error = SSL_get_error(c.ssl, r);
    short events = error == SSL_ERROR_WANT_READ ? POLLIN : error == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
    if (!events || !WaitFor(c.fd, events, std::min(c.readWaitMillis, MillisLeft(c.deadline)))) return false;
  }
}

// Waits (in slices, so that a stop is noticed) for the next request.
bool NextRequestArrives(Connection& c, GuardedStream& stream, const LoopSettings& s) {
  if (stream.HasBuffered()) return true;
  auto until = Clock::now() + std::chrono::seconds(s.keepAliveSeconds);
  while (s.listening->load() != INVALID_SOCKET) {
    int left = MillisLeft(until);
    if (left <= 0) return false;
    if (WaitFor(c.fd, POLLIN, std::min(left, kIdleSliceMillis))) return true;
  }
  return false;
}

bool Serve(int fd, SSL_CTX* tls, const LoopSettings& s, const RequestFn& process) {
  int port = 0;
  std::string address = AddressOf(fd, true, &port);
  if (!s.gate->Enter(address)) {
    if (!tls) {
      static const char kBusy[] =
          "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\nContent-Length: 47\r\n"
          "Connection: close\r\n\r\nError: too many connections from this address\n";
      ssize_t ignored = send(fd, kBusy, sizeof kBusy - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
      (void)ignored;
    }
    shutdown(fd, SHUT_WR);
    close(fd);
    return false;
  }
  // Whatever happens below, the address's count goes down again.
  struct Admitted {
    ConnectionGate* gate;
    const std::string& address;
    ~Admitted() {
      tCurrent = nullptr;
      gate->Leave(address);
    }
  } admittedGuard{s.gate, address};
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  Connection c;
  c.fd = fd;
  c.limits = s.limits;
  c.readWaitMillis = static_cast<int>(std::max<time_t>(1, s.readTimeoutSeconds) * 1000);
  c.writeWaitMillis = static_cast<int>(std::max<time_t>(1, s.writeTimeoutSeconds) * 1000);
  c.StartRequest();
  bool ok = true;
  if (tls) {
    c.ssl = SSL_new(tls);
    ok = c.ssl && SSL_set_fd(c.ssl, fd) == 1 && Handshake(c);
  }
  bool linger = false;
  if (ok) {
    GuardedStream stream(c);
    tCurrent = &c;
    for (size_t count = s.keepAliveMaxCount; count > 0; --count) {
      if (s.listening->load() == INVALID_SOCKET || !NextRequestArrives(c, stream, s)) break;
      c.StartRequest();
      bool closed = false;
      ok = process(stream, count == 1, closed);
      if (c.closeAfter) linger = true;
      if (!ok || closed || c.closeAfter) break;
    }
    tCurrent = nullptr;
  }
  if (c.ssl) {
    if (ok) SSL_shutdown(c.ssl);
    SSL_free(c.ssl);
  }
  if (linger) LingeringClose(fd);
  close(fd);
  return ok;
}

template <typename Base>
class Guarded : public Base {
 public:
  template <typename... Args>
  Guarded(const ServerLimits& limits, Args&&... args)
      : Base(std::forward<Args>(args)...), limits_(limits), gate_(limits.maxConnectionsPerAddress) {
    int threads = limits.threads;
    this->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  }

 private:
  bool process_and_close_socket(socket_t sock) override {
    LoopSettings s{limits_,
                   &gate_,
                   &this->svr_sock_,
                   this->keep_alive_max_count_,
                   this->keep_alive_timeout_sec_,
                   this->read_timeout_sec_,
                   this->write_timeout_sec_};
    return Serve(sock, Tls(), s, [this](httplib::Stream& stream, bool closeConnection, bool& connectionClosed) {
      return this->process_request(stream, closeConnection, connectionClosed, nullptr);
    });
  }
  SSL_CTX* Tls();

  ServerLimits limits_;
  ConnectionGate gate_;
};

template <>
SSL_CTX* Guarded<httplib::Server>::Tls() {
  return nullptr;
}
template <>
SSL_CTX* Guarded<httplib::SSLServer>::Tls() {
  return ssl_context();
}

}  // namespace

std::unique_ptr<httplib::Server> MakeGuardedServer(const ServerLimits& limits, const std::string& certFile,
                                                   const std::string& keyFile) {
  if (certFile.empty() && keyFile.empty()) return std::make_unique<Guarded<httplib::Server>>(limits);
  return std::make_unique<Guarded<httplib::SSLServer>>(limits, certFile.c_str(), keyFile.c_str());
}

void StartRequestBody(uint64_t length) {
  Connection* c = tCurrent;
  if (!c) return;
  c->readingHead = false;
  uint64_t rate = static_cast<uint64_t>(c->limits.minBodyKiBPerSecond) * 1024;
  uint64_t seconds = static_cast<uint64_t>(c->limits.bodyTimeoutSeconds) + length / rate;
  c->deadline = Clock::now() + std::chrono::seconds(std::min<uint64_t>(seconds, 7 * 86400));
}

void CloseAfterReply() {
  if (tCurrent) tCurrent->closeAfter = true;
}

}  // namespace edb
