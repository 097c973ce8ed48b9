// HTTPS test server with a self-signed certificate (see self_signed_server.h).
#include "port/self_signed_server.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace port_test {

namespace {

constexpr const char* kExpiredCertificate = R"(
import datetime, ipaddress, sys
from cryptography import x509
from cryptography.x509.oid import NameOID
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "localhost")])
now = datetime.datetime.utcnow()
names = [x509.DNSName("localhost"), x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]
cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name).public_key(key.public_key())
        .serial_number(x509.random_serial_number())
        .not_valid_before(now - datetime.timedelta(days=10)).not_valid_after(now - datetime.timedelta(days=9))
        .add_extension(x509.SubjectAlternativeName(names), critical=False).sign(key, hashes.SHA256()))
open(sys.argv[1], "wb").write(cert.public_bytes(serialization.Encoding.PEM))
open(sys.argv[2], "wb").write(key.private_bytes(serialization.Encoding.PEM,
    serialization.PrivateFormat.TraditionalOpenSSL, serialization.NoEncryption()))
)";

}  // namespace

bool SelfSignedServer::Start(void (*setup)(httplib::Server&), std::string* why, bool expired) {
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
  if (expired) {
    std::string script = folder_ + "/make.py";
    FILE* f = fopen(script.c_str(), "w");
    if (!f) {
      *why = "cannot write the certificate script";
      return false;
    }
    fputs(kExpiredCertificate, f);
    fclose(f);
    command = "/usr/bin/python3 " + script + " " + cert + " " + key + " >/dev/null 2>&1";
  }
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
    unlink((folder_ + "/make.py").c_str());
    rmdir(folder_.c_str());
  }
}

}  // namespace port_test
