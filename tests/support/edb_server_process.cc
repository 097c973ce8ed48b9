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
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#ifndef EDB_SERVER_PATH
#error "EDB_SERVER_PATH must name the edb-server binary"
#endif

namespace {

constexpr int kStartTimeoutMs = 30000;  // sanitizer builds start slowly
constexpr int kStopTimeoutMs = 10000;
constexpr int kChildTimeoutMs = 30000;

std::vector<char*> MakeArgv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return argv;
}

// Waits for the child to end, at most timeoutMs; true and its status when it did.
bool WaitBounded(pid_t pid, int timeoutMs, int* status) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    pid_t r = waitpid(pid, status, WNOHANG);
    if (r == pid) return true;
    if (r < 0 && errno != EINTR) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Ends a child that did not stop by itself.
int Reap(pid_t pid, int timeoutMs) {
  int status = 0;
  if (WaitBounded(pid, timeoutMs, &status)) return status;
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return status;
}

// Runs a program with `input` on its stdin and its stdout and stderr sent to
// /dev/null; returns the exit status (as from waitpid) or -1.
int RunChild(std::vector<std::string> args, const std::string& input) {
  int in[2];
  if (pipe2(in, O_CLOEXEC) != 0) return -1;
  std::vector<char*> argv = MakeArgv(args);
  pid_t pid = fork();
  if (pid < 0) {
    close(in[0]);
    close(in[1]);
    return -1;
  }
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(in[0], 0);
    int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  signal(SIGPIPE, SIG_IGN);
  size_t done = 0;
  while (done < input.size()) {
    ssize_t n = write(in[1], input.data() + done, input.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(in[1]);
  return Reap(pid, kChildTimeoutMs);
}

std::string MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "edb-server-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) return std::string();
  return std::string(buffer.data());
}

// Reads the first line of the child's stdout, waiting at most timeoutMs.
bool ReadFirstLine(int fd, int timeoutMs, std::string* line) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  line->clear();
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    int r = poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    char c;
    ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    if (c == '\n') return true;
    if (line->size() > 1000) return false;
    line->push_back(c);
  }
}

struct SqliteHandle {
  sqlite3* db = nullptr;
  ~SqliteHandle() {
    if (db) sqlite3_close(db);
  }
};

// Opens the file for reading only (the connection refuses writes).
bool OpenForQuery(const std::string& file, SqliteHandle* handle, std::string* error) {
  if (sqlite3_open_v2(file.c_str(), &handle->db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    *error = handle->db ? sqlite3_errmsg(handle->db) : "cannot open";
    return false;
  }
  sqlite3_busy_timeout(handle->db, 10000);
  char* message = nullptr;
  if (sqlite3_exec(handle->db, "PRAGMA query_only = ON", nullptr, nullptr, &message) != SQLITE_OK) {
    *error = message ? message : "PRAGMA failed";
    sqlite3_free(message);
    return false;
  }
  return true;
}

std::string ColumnText(sqlite3_stmt* st, int column) {
  const void* data = sqlite3_column_blob(st, column);
  int size = sqlite3_column_bytes(st, column);
  if (!data || size <= 0) return std::string();
  return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
}

// Runs sql and joins its rows; false with an error text on failure.
bool RunQuery(const std::string& file, const std::string& sql, std::string* out, std::string* error) {
  SqliteHandle handle;
  if (!OpenForQuery(file, &handle, error)) return false;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(handle.db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(handle.db);
    return false;
  }
  out->clear();
  bool firstRow = true;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (!firstRow) out->push_back('\n');
    firstRow = false;
    int columns = sqlite3_column_count(st);
    for (int c = 0; c < columns; ++c) {
      if (c) out->push_back('|');
      *out += ColumnText(st, c);
    }
  }
  if (rc != SQLITE_DONE) *error = sqlite3_errmsg(handle.db);
  sqlite3_finalize(st);
  return rc == SQLITE_DONE;
}

}  // namespace

EdbServerProcess::EdbServerProcess(const Options& options) {
  dataDir_ = MakeTempDir();
  if (dataDir_.empty()) {
    ADD_FAILURE() << "cannot create a temporary data folder";
    return;
  }
  databaseFile_ = dataDir_ + "/edb.sqlite";
  std::vector<std::string> args = {EDB_SERVER_PATH, "--data", dataDir_, "--bind", "127.0.0.1", "--port", "0",
                                   "--quiet"};
  if (options.seedDemo) {
    args.push_back("--seed");
    args.push_back("demo");
  }
  if (options.https) {
    certFile_ = dataDir_ + "/server-cert.pem";
    keyFile_ = dataDir_ + "/server-key.pem";
    int status = RunChild({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                           keyFile_, "-out", certFile_, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                           "subjectAltName=IP:127.0.0.1,DNS:localhost"},
                          std::string());
    if (status != 0) {
      ADD_FAILURE() << "openssl could not make a self-signed certificate";
      return;
    }
    args.push_back("--cert");
    args.push_back(certFile_);
    args.push_back("--key");
    args.push_back(keyFile_);
  }
  for (const auto& a : options.extraArgs) args.push_back(a);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return;
  }
  std::vector<char*> argv = MakeArgv(args);
  pid_t pid = fork();
  if (pid < 0) {
    close(out[0]);
    close(out[1]);
    ADD_FAILURE() << "fork failed";
    return;
  }
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(out[1], 1);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  pid_ = pid;
  stdoutFd_ = out[0];

  std::string line;
  if (!ReadFirstLine(stdoutFd_, kStartTimeoutMs, &line)) {
    ADD_FAILURE() << "edb-server did not print its listening line";
    return;
  }
  const std::string prefix = options.https ? "listening on https://127.0.0.1:" : "listening on http://127.0.0.1:";
  if (line.compare(0, prefix.size(), prefix) != 0) {
    ADD_FAILURE() << "unexpected first line from edb-server: " << line;
    return;
  }
  port_ = atoi(line.c_str() + prefix.size());
  if (port_ <= 0 || port_ > 65535) {
    ADD_FAILURE() << "bad port in: " << line;
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
  if (!dataDir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(dataDir_, ec);
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

bool EdbServerProcess::ok() const { return ok_; }
const std::string& EdbServerProcess::url() const { return url_; }
int EdbServerProcess::port() const { return port_; }
const std::string& EdbServerProcess::dataDir() const { return dataDir_; }
const std::string& EdbServerProcess::certFile() const { return certFile_; }
const std::string& EdbServerProcess::databaseFile() const { return databaseFile_; }

bool EdbServerProcess::addUser(const std::string& name, const std::string& password) {
  if (dataDir_.empty()) return false;
  int status = RunChild({EDB_SERVER_PATH, "--data", dataDir_, "--add-user", name, "--quiet"}, password + "\n");
  return status == 0;
}

std::string EdbServerProcess::query(const std::string& sql) {
  std::string out, error;
  if (!RunQuery(databaseFile_, sql, &out, &error)) {
    ADD_FAILURE() << "query failed: " << error << " (" << sql << ")";
    return std::string();
  }
  return out;
}

std::string EdbServerProcess::dumpRecords() const {
  std::string text, error;
  SqliteHandle handle;
  if (!OpenForQuery(databaseFile_, &handle, &error)) {
    ADD_FAILURE() << "cannot open " << databaseFile_ << ": " << error;
    return std::string();
  }
  // One read transaction, so that the dump is one consistent state.
  sqlite3_exec(handle.db, "BEGIN", nullptr, nullptr, nullptr);
  const char* sql =
      "SELECT 'EDB', d.name || '/' || u.name || '/' || e.name, NULL, NULL, "
      "       (SELECT content FROM resource_files r WHERE r.edb_id = e.id), d.name, u.name, e.name, '', -1, -1 "
      "FROM edbs e JOIN edb_users u ON u.id = e.edb_user_id JOIN databases d ON d.id = u.database_id "
      "UNION ALL "
      "SELECT 'REC', rec.kind, rec.list, rec.seq, rec.body, d.name, u.name, e.name, rec.kind, rec.list, rec.seq "
      "FROM records rec JOIN edbs e ON e.id = rec.edb_id JOIN edb_users u ON u.id = e.edb_user_id "
      "JOIN databases d ON d.id = u.database_id "
      "ORDER BY 6, 7, 8, 9, 10, 11";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(handle.db, sql, -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "dump failed: " << sqlite3_errmsg(handle.db);
    return std::string();
  }
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::string what = ColumnText(st, 0);
    if (what == "EDB") {
      text += "== EDB " + ColumnText(st, 1) + "\n";
      text += "-- resource file\n" + ColumnText(st, 4);
    } else {
      text += "-- record " + ColumnText(st, 1) + " list " + ColumnText(st, 2) + " #" + ColumnText(st, 3) + "\n";
      text += ColumnText(st, 4);
    }
    if (!text.empty() && text.back() != '\n') text.push_back('\n');
  }
  if (rc != SQLITE_DONE) ADD_FAILURE() << "dump failed: " << sqlite3_errmsg(handle.db);
  sqlite3_finalize(st);
  sqlite3_exec(handle.db, "COMMIT", nullptr, nullptr, nullptr);
  return text;
}
