// The HTTP(S) front of the server: binds the listening socket, routes GET and
// POST requests of "/cgi-bin/ikalvoro/do.cgi" to the Service and writes its
// replies (streamed ones with an exact Content-Length).
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "guarded_server.h"
#include "service.h"

namespace httplib {
class Server;
}

namespace edb {

struct ListenConfig {
  std::string bind = "127.0.0.1";
  int port = 8080;  // 0: any free port
  std::string certFile;  // HTTPS when both files are given
  std::string keyFile;
  bool quiet = false;  // no request log on stderr
  ServerLimits limits;
};

class HttpFront {
 public:
  HttpFront(Service& service, const ListenConfig& config);
  ~HttpFront();

  // Creates the server and binds the socket; false with a message on failure.
  bool Bind(std::string* error);
  int port() const { return port_; }
  // "http://HOST:PORT" or "https://HOST:PORT".
  std::string Url() const;

  // Serves until Stop; false when the server could not run.
  bool Run();
  void Stop();

 private:
  void Route();
  void Log(const std::string& line);

  Service& service_;
  ListenConfig config_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::mutex logMutex_;
};

}  // namespace edb
