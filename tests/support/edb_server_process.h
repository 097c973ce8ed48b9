// Runs the substitute Kalvoro server (build/edb-server) as a child process for
// a test: a fresh data folder, a free loopback port, optional HTTPS with a
// self-signed certificate, and read access to the server's SQLite file.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

// Runs a program (args[0] is its path) with `input` on its stdin, waiting at
// most 30 seconds; what it writes to stdout and stderr goes to out and err
// (dropped when null).  Returns the wait status, or -1 when it could not start.
int RunProgram(std::vector<std::string> args, const std::string& input, std::string* out = nullptr,
               std::string* err = nullptr);

class EdbServerProcess {
 public:
  struct Options {
    bool seedDemo = true;  // start with --seed demo (login user demo, password demo)
    bool https = false;    // serve HTTPS with a self-signed certificate for 127.0.0.1
    std::vector<std::string> extraArgs;  // more command-line arguments
  };

  // Starts the server and waits (bounded) for its listening line.
  explicit EdbServerProcess(const Options& options);
  EdbServerProcess() : EdbServerProcess(Options()) {}
  // Stops it: SIGTERM, a bounded wait, then SIGKILL; removes the data folder.
  ~EdbServerProcess();

  EdbServerProcess(const EdbServerProcess&) = delete;
  EdbServerProcess& operator=(const EdbServerProcess&) = delete;

  bool ok() const { return ok_; }  // started and printed its listening line
  const std::string& url() const { return url_; }  // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT"
  int port() const { return port_; }
  const std::string& dataDir() const { return dataDir_; }  // the temporary data folder
  const std::string& certFile() const { return certFile_; }  // the certificate (https only, else empty)
  const std::string& databaseFile() const { return databaseFile_; }  // the SQLite file inside dataDir()

  // Runs `edb-server --data DIR --add-user NAME` with the password on stdin;
  // true when it exits with status 0.
  bool addUser(const std::string& name, const std::string& password);

  // Runs a read-only SQL query on the server's SQLite file; rows joined by
  // "\n", columns by "|", NULL as empty text.  A failing query records a test
  // failure and returns "".
  std::string query(const std::string& sql);

  // Every EDB with its resource file and stored records as canonical text, for
  // checking that a refused request left the server unchanged.
  std::string dumpRecords() const;

  // Stops the server now (as the destructor does); returns its exit status
  // (as from waitpid), or -1 when it was not running.
  int stop();
  // The server's process (-1 when it is not running), for tests that pause it.
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdoutFd_ = -1;
  bool ok_ = false;
  int port_ = 0;
  std::string url_;
  test_support::TempFolder data_;
  std::string dataDir_ = data_.Path();
  std::string certFile_;
  std::string keyFile_;
  std::string databaseFile_;
};
