// An HTTPS test server on 127.0.0.1 with a self-signed certificate for
// "localhost", made with the openssl command in a temporary folder.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace port_test {

class SelfSignedServer {
 public:
  SelfSignedServer() = default;
  ~SelfSignedServer();
  SelfSignedServer(const SelfSignedServer&) = delete;
  SelfSignedServer& operator=(const SelfSignedServer&) = delete;

  // Makes the certificate (an expired one for 127.0.0.1 and "localhost"
  // when asked, with Debian's python3-cryptography), registers the routes
  // through `setup` and starts listening; false (with a reason) when
  // something is missing.
  bool Start(void (*setup)(httplib::Server&), std::string* why, bool expired = false);
  uint16_t port() const { return port_; }
  std::string certFile() const { return folder_ + "/cert.pem"; }

 private:
  std::string folder_;
  std::unique_ptr<httplib::SSLServer> server_;
  std::thread thread_;
  uint16_t port_ = 0;
};

}  // namespace port_test
