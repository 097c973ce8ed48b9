// Server start-up, signal handling and the --add-user command (see app.h).
#include "app.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

#include "login_users.h"
#include "seed.h"
#include "service.h"
#include "store.h"

namespace edb {

namespace {

constexpr const char* kDatabaseFileName = "edb.sqlite";

int Fail(const std::string& message) {
  std::fprintf(stderr, "edb-server: %s\n", message.c_str());
  return 1;
}

}  // namespace

bool PrepareDataDir(const std::string& dir, std::string* file, std::string* error) {
  struct stat st;
  if (stat(dir.c_str(), &st) != 0) {
    if (errno != ENOENT || mkdir(dir.c_str(), 0700) != 0) {
      *error = "cannot create the data folder " + dir + ": " + std::strerror(errno);
      return false;
    }
  } else if (!S_ISDIR(st.st_mode)) {
    *error = dir + " is not a folder";
    return false;
  }
  *file = dir + "/" + kDatabaseFileName;
  return true;
}

int RunAddUser(const Options& options) {
  std::string file, error;
  if (!PrepareDataDir(options.dataDir, &file, &error)) return Fail(error);
  try {
    Store store(file);
    std::string message;
    int code = AddLoginUserCommand(store, options.addUser, options.admin, std::cin, &message);
    if (code != 0) {
      std::fprintf(stderr, "edb-server: %s\n", message.c_str());
    } else if (!options.listen.quiet) {
      std::fprintf(stdout, "%s\n", message.c_str());
    }
    return code;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

int RunServer(const Options& options) {
  std::string file, error;
  if (!PrepareDataDir(options.dataDir, &file, &error)) return Fail(error);

  // SIGTERM and SIGINT are taken by one thread with sigwait, so every other
  // thread (the server's workers included) runs with them blocked.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  try {
    Store store(file);
    if (options.seedDemo && SeedDemo(store) && !options.listen.quiet) {
      std::fprintf(stderr, "edb-server: seeded the demonstration data\n");
    }
    Service service(store, options.auth);
    HttpFront front(service, options.listen);
    if (!front.Bind(&error)) return Fail(error);

    std::printf("listening on %s\n", front.Url().c_str());
    std::fflush(stdout);

    // A stop signal may come before the server runs: keep asking it to stop
    // until it has.
    std::atomic<bool> finished{false};
    std::thread signalThread([&front, &finished, stopSignals] {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      while (!finished.load()) {
        front.Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
    bool ran = front.Run();
    finished = true;
    // Wake the signal thread if the server ended by itself.
    pthread_kill(signalThread.native_handle(), SIGTERM);
    signalThread.join();
    if (!ran) return Fail("the server stopped unexpectedly");
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace edb
