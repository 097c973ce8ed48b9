// Child-process control of the substitute server for tests (see edb_server_process.h).
#include "support/edb_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#ifndef EDB_SERVER_PATH
#error "EDB_SERVER_PATH must name the edb-server binary"
#endif

namespace {

constexpr int kStartTimeoutMs = 30000;  // sanitizer builds start slowly
constexpr int kStopTimeoutMs = 10000;
constexpr int kChildTimeoutMs = 30000;

// Starts args[0] with in, out and err (those not -1) as its standard input,
// output and error; the child dies with the test.  Returns its pid, or -1.
pid_t Spawn(std::vector<std::string> args, int in, int out, int err) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int fds[3] = {in, out, err};
    for (int fd = 0; fd < 3; ++fd) {
      if (fds[fd] >= 0) dup2(fds[fd], fd);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Waits at most timeoutMs for the child to end, then kills it; returns its wait status.
int Reap(pid_t pid, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno != EINTR)) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return status;
}

// Reads what the child wrote into a temporary file.
void TakeOutput(FILE* file, std::string* text) {
  if (!file) return;
  if (text) {
    std::rewind(file);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
  }
  std::fclose(file);
}

// Reads the first line of the child's stdout, waiting at most timeoutMs.
bool ReadFirstLine(int fd, int timeoutMs, std::string* line) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  line->clear();
  for (char c = 0; line->size() <= 1000 && std::chrono::steady_clock::now() < deadline;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;  // nothing yet, or a signal: look again
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line->push_back(c);
  }
  return false;
}

std::string ColumnText(sqlite3_stmt* st, int column) {
  const void* data = sqlite3_column_blob(st, column);
  int size = sqlite3_column_bytes(st, column);
  if (!data || size <= 0) return std::string();
  return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
}

// Runs sql on the file through a connection that refuses writes, in one read
// transaction (one consistent state), calling row for each row; false with an
// error text on failure.
bool EachRow(const std::string& file, const std::string& sql, const std::function<void(sqlite3_stmt*)>& row,
             std::string* error) {
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, 10000);
    rc = sqlite3_exec(db, "PRAGMA query_only = ON; BEGIN", nullptr, nullptr, nullptr);
  }
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
  }
  if (rc != SQLITE_DONE) *error = db ? sqlite3_errmsg(db) : "cannot open";
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rc == SQLITE_DONE;
}

}  // namespace

int RunProgram(std::vector<std::string> args, const std::string& input, std::string* out, std::string* err) {
  int in[2];
  if (pipe2(in, O_CLOEXEC) != 0) return -1;
  FILE* files[2] = {std::tmpfile(), std::tmpfile()};
  pid_t pid = Spawn(std::move(args), in[0], files[0] ? fileno(files[0]) : -1, files[1] ? fileno(files[1]) : -1);
  close(in[0]);
  signal(SIGPIPE, SIG_IGN);
  size_t done = 0;
  while (pid > 0 && done < input.size()) {
    ssize_t n = write(in[1], input.data() + done, input.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(in[1]);
  int status = pid > 0 ? Reap(pid, kChildTimeoutMs) : -1;
  TakeOutput(files[0], out);
  TakeOutput(files[1], err);
  return status;
}

EdbServerProcess::EdbServerProcess(const Options& options) {
  if (dataDir_.empty()) {
    ADD_FAILURE() << "cannot create a temporary data folder";
    return;
  }
  databaseFile_ = dataDir_ + "/edb.sqlite";
  std::vector<std::string> args = {EDB_SERVER_PATH, "--data", dataDir_, "--bind", "127.0.0.1", "--port", "0",
                                   "--quiet"};
  if (options.seedDemo) args.insert(args.end(), {"--seed", "demo"});
  if (options.https) {
    certFile_ = dataDir_ + "/server-cert.pem";
    keyFile_ = dataDir_ + "/server-key.pem";
    int status = RunProgram({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                             keyFile_, "-out", certFile_, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                             "subjectAltName=IP:127.0.0.1,DNS:localhost"},
                            std::string());
    if (status != 0) {
      ADD_FAILURE() << "openssl could not make a self-signed certificate";
      return;
    }
    args.insert(args.end(), {"--cert", certFile_, "--key", keyFile_});
  }
  args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());

  int out[2];
  int devnull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  pid_t pid = pipe2(out, O_CLOEXEC) == 0 ? Spawn(args, devnull, out[1], -1) : -1;
  if (devnull >= 0) close(devnull);
  if (pid < 0) {
    ADD_FAILURE() << "cannot start edb-server";
    return;
  }
  close(out[1]);
  pid_ = pid;
  stdoutFd_ = out[0];

  std::string line;
  const std::string prefix = options.https ? "listening on https://127.0.0.1:" : "listening on http://127.0.0.1:";
  if (ReadFirstLine(stdoutFd_, kStartTimeoutMs, &line) && line.compare(0, prefix.size(), prefix) == 0) {
    port_ = atoi(line.c_str() + prefix.size());
  }
  if (port_ <= 0 || port_ > 65535) {
    ADD_FAILURE() << "edb-server did not print its listening line, but: " << line;
    return;
  }
  url_ = line.substr(std::strlen("listening on "));
  ok_ = true;
}

EdbServerProcess::~EdbServerProcess() {
  // A server that does not end cleanly on SIGTERM (a crash, a sanitizer
  // report, a hang) fails the test.
  bool wasRunning = ok_;
  int status = stop();
  if (wasRunning && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    ADD_FAILURE() << "edb-server did not end cleanly (wait status " << status << ")";
  }
}

int EdbServerProcess::stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = Reap(pid_, kStopTimeoutMs);
  pid_ = -1;
  ok_ = false;
  if (stdoutFd_ >= 0) {
    close(stdoutFd_);
    stdoutFd_ = -1;
  }
  return status;
}

bool EdbServerProcess::addUser(const std::string& name, const std::string& password) {
  if (dataDir_.empty()) return false;
  int status = RunProgram({EDB_SERVER_PATH, "--data", dataDir_, "--add-user", name, "--quiet"}, password + "\n");
  return status == 0;
}

std::string EdbServerProcess::query(const std::string& sql) {
  std::string out, error;
  bool first = true;
  bool ok = EachRow(databaseFile_, sql, [&out, &first](sqlite3_stmt* st) {
    if (!first) out.push_back('\n');
    first = false;
    for (int c = 0; c < sqlite3_column_count(st); ++c) out += (c ? "|" : "") + ColumnText(st, c);
  }, &error);
  if (!ok) ADD_FAILURE() << "query failed: " << error << " (" << sql << ")";
  return ok ? out : std::string();
}

std::string EdbServerProcess::dumpRecords() const {
  const char* sql =
      "SELECT 'EDB', d.name || '/' || u.name || '/' || e.name, NULL, NULL, "
      "       (SELECT content FROM resource_files r WHERE r.edb_id = e.id), d.name, u.name, e.name, '', -1, -1 "
      "FROM edbs e JOIN edb_users u ON u.id = e.edb_user_id JOIN databases d ON d.id = u.database_id "
      "UNION ALL "
      "SELECT 'REC', rec.kind, rec.list, rec.seq, rec.body, d.name, u.name, e.name, rec.kind, rec.list, rec.seq "
      "FROM records rec JOIN edbs e ON e.id = rec.edb_id JOIN edb_users u ON u.id = e.edb_user_id "
      "JOIN databases d ON d.id = u.database_id "
      "ORDER BY 6, 7, 8, 9, 10, 11";
  std::string text, error;
  bool ok = EachRow(databaseFile_, sql, [&text](sqlite3_stmt* st) {
    if (ColumnText(st, 0) == "EDB") {
      text += "== EDB " + ColumnText(st, 1) + "\n-- resource file\n" + ColumnText(st, 4);
    } else {
      text += "-- record " + ColumnText(st, 1) + " list " + ColumnText(st, 2) + " #" + ColumnText(st, 3) + "\n";
      text += ColumnText(st, 4);
    }
    if (!text.empty() && text.back() != '\n') text.push_back('\n');
  }, &error);
  if (!ok) ADD_FAILURE() << "dump of " << databaseFile_ << " failed: " << error;
  return ok ? text : std::string();
}
