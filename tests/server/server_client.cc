// Test helpers for the substitute server (see server_client.h).
#include "server/server_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>

#include <chrono>

#include "transport/authenticator.h"

namespace servertest {

std::string MakeAuthenticator(const std::string& user, const std::string& password, int level, std::time_t when) {
  if (when == 0) when = std::time(nullptr);
  std::tm local{};
  localtime_r(&when, &local);
  const SYSTEMTIME time = {WORD(local.tm_year + 1900), WORD(local.tm_mon + 1), 0, WORD(local.tm_mday),
                           WORD(local.tm_hour), WORD(local.tm_min), WORD(local.tm_sec), 0};
  const uint8_t random[4] = {0x5A, 0xC3, 0x11, 0x7E};
  char out[AuthenticatorBufferSize];
  return CreateAuthenticatorAt(user.c_str(), password.c_str(), level, time, random, out) ? out : "";
}

KalvoroClient::KalvoroClient(const EdbServerProcess& server, const std::string& user, const std::string& password)
    : authenticator(MakeAuthenticator(user, password)), url_(server.url()), certFile_(server.certFile()) {}

HttpReply KalvoroClient::Get(const std::string& rest) const {
  return Send("/cgi-bin/ikalvoro/do.cgi?" + authenticator + "&" + rest, nullptr);
}

HttpReply KalvoroClient::Save(const std::string& body) const {
  return RawPost("/cgi-bin/ikalvoro/do.cgi?" + authenticator + "&iedbvksave2.cgi&x", body);
}

HttpReply KalvoroClient::Send(const std::string& target, const std::string* body) const {
  httplib::Client client(url_);
  client.set_url_encode(false);
  client.set_connection_timeout(10);
  client.set_read_timeout(60);
  client.set_write_timeout(60);
  if (!certFile_.empty()) {
    client.set_ca_cert_path(certFile_);
    client.enable_server_certificate_verification(true);
  }
  httplib::Result result = body ? client.Post(target, *body, "application/x-www-form-urlencoded") : client.Get(target);
  return result ? HttpReply{result->status, result->body} : HttpReply{};
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

std::string SaveBody(const std::string& kind, const std::string& count, const std::string& records,
                     const std::string& edbUser, const std::string& edbName) {
  return Lines({"REF", "savexxxdb", edbUser, edbName, kind, count, "0", "0"}) + records + "EOF\n";
}

std::string Load(const std::string& edb, const std::string& kind, bool namesOnly) {
  return "iedbvk2.cgi&REF&loadxxxdb&" + edb + "&" + kind + (namesOnly ? "&1" : "&0");
}

ProgramResult RunEdbServer(const std::vector<std::string>& args, const std::string& input) {
  std::vector<std::string> all = {EDB_SERVER_PATH};
  all.insert(all.end(), args.begin(), args.end());
  ProgramResult result;
  int status = RunProgram(all, input, &result.out, &result.err);
  if (status >= 0 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

int Connect(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string Exchange(int port, const std::string& request, bool halfClose) {
  int fd = Connect(port);
  if (fd < 0) return std::string();
  for (size_t sent = 0; sent < request.size();) {
    ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  if (halfClose) shutdown(fd, SHUT_WR);
  std::string reply;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[65536];
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    reply.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return reply;
}

}  // namespace servertest
