// Test helpers for the substitute server (see server_client.h).
#include "server/server_client.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "transport/auth_codec.h"

namespace servertest {

namespace {

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int* year, int* month, int* day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2));
}

// Local calendar time plus 100 << 32 units of 100 ns, as "YYMMDDhhmm".
std::string ShiftedStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  int64_t ms = ((DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 24 + local.tm_hour) * 60 +
                local.tm_min) *
                   60000 +
               local.tm_sec * 1000;
  ms += (int64_t(100) << 32) / 10000;
  int64_t minutes = ms / 60000;
  int64_t days = minutes / 1440;
  int year, month, day;
  CivilFromDays(days, &year, &month, &day);
  char text[64];
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d", year - 2000, month, day,
                static_cast<int>(minutes % 1440 / 60), static_cast<int>(minutes % 60));
  return text;
}

HttpReply FromResult(const httplib::Result& result) {
  HttpReply reply;
  if (result) {
    reply.status = result->status;
    reply.body = result->body;
  }
  return reply;
}

}  // namespace

std::string MakeAuthenticator(const std::string& user, const std::string& password, int level, std::time_t when) {
  if (when == 0) when = std::time(nullptr);
  std::string stamp = ShiftedStamp(when);
  uint8_t block[auth::BlockSize];
  const uint8_t random[4] = {0x5A, 0xC3, 0x11, 0x7E};
  size_t size = auth::BuildBlock(block, user.c_str(), random, stamp.c_str(), password.c_str());
  if (size == 0) return std::string();
  auth::Scramble(block, size);
  std::vector<char> text(auth::EncodedLength(size) + 1);
  auth::Encode(block, size, text.data());
  return std::string(text.data()) + std::to_string(level);
}

KalvoroClient::KalvoroClient(const EdbServerProcess& server, const std::string& user, const std::string& password)
    : authenticator(MakeAuthenticator(user, password)), url_(server.url()), certFile_(server.certFile()) {}

static std::unique_ptr<httplib::Client> MakeClient(const std::string& url, const std::string& certFile) {
  auto client = std::make_unique<httplib::Client>(url);
  client->set_url_encode(false);
  client->set_connection_timeout(10);
  client->set_read_timeout(60);
  client->set_write_timeout(60);
  if (!certFile.empty()) {
    client->set_ca_cert_path(certFile);
    client->enable_server_certificate_verification(true);
  }
  return client;
}

HttpReply KalvoroClient::Get(const std::string& rest) const {
  return RawGet("/cgi-bin/ikalvoro/do.cgi?" + authenticator + "&" + rest);
}

HttpReply KalvoroClient::Save(const std::string& body) const {
  return RawPost("/cgi-bin/ikalvoro/do.cgi?" + authenticator + "&iedbvksave2.cgi&x", body);
}

HttpReply KalvoroClient::RawGet(const std::string& target) const {
  return FromResult(MakeClient(url_, certFile_)->Get(target));
}

HttpReply KalvoroClient::RawPost(const std::string& target, const std::string& body) const {
  return FromResult(MakeClient(url_, certFile_)->Post(target, body, "application/x-www-form-urlencoded"));
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

ProgramResult RunEdbServer(const std::vector<std::string>& args, const std::string& input) {
  ProgramResult result;
  std::vector<std::string> all = {EDB_SERVER_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) return result;
  pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  if (!input.empty()) {
    ssize_t ignored = write(in[1], input.data(), input.size());
    (void)ignored;
  }
  close(in[1]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0 && std::chrono::steady_clock::now() < deadline) {
    if (poll(fds, 2, 100) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (auto& f : fds) {
    if (f.fd >= 0) close(f.fd);
  }
  int status = 0;
  bool exited = false;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      exited = true;
      break;
    }
    poll(nullptr, 0, 5);
  }
  if (!exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return result;
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace servertest
