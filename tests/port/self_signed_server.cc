// HTTPS test server with a self-signed certificate (see self_signed_server.h).
#include "port/self_signed_server.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace port_test {

bool SelfSignedServer::Start(void (*setup)(httplib::Server&), std::string* why) {
  char pattern[] = "/tmp/port_tls_XXXXXX";
  if (!mkdtemp(pattern)) {
    *why = "no temporary folder";
    return false;
  }
  folder_ = pattern;
  std::string cert = folder_ + "/cert.pem";
  std::string key = folder_ + "/key.pem";
  std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost"
                        " -keyout " + key + " -out " + cert + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    *why = "openssl could not make a certificate";
    return false;
  }
  server_ = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
  if (!server_->is_valid()) {
    *why = "the TLS server did not accept the certificate";
    return false;
  }
  setup(*server_);
  int port = server_->bind_to_any_port("127.0.0.1");
  if (port <= 0) {
    *why = "no free port";
    return false;
  }
  port_ = static_cast<uint16_t>(port);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 500 && !server_->is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return server_->is_running();
}

SelfSignedServer::~SelfSignedServer() {
  if (server_) server_->stop();
  if (thread_.joinable()) thread_.join();
  if (!folder_.empty()) {
    unlink((folder_ + "/cert.pem").c_str());
    unlink((folder_ + "/key.pem").c_str());
    rmdir(folder_.c_str());
  }
}

}  // namespace port_test
