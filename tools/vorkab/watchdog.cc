// Call guard and interrupt flag (see watchdog.h).
#include "watchdog.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::mutex g_mutex;
bool g_armed = false;
Clock::time_point g_start;
std::string g_what;
int g_seconds = 60;
volatile sig_atomic_t g_interrupts = 0;

void Guard() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_armed && Clock::now() - g_start > std::chrono::seconds(g_seconds)) {
      std::fprintf(stderr,
                   "\nvorkab: no answer from the server within %d s (--timeout) while %s; stopped. "
                   "The workbook file was not changed.\n",
                   g_seconds, g_what.c_str());
      std::fflush(stderr);
      _exit(3);
    }
  }
}

void OnInterrupt(int) {
  if (g_interrupts++ > 0) _exit(130);
  const char message[] = "\nvorkab: interrupted; finishing the current step (Ctrl-C again to stop at once)\n";
  ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
  (void)ignored;
}

}  // namespace

void StartWatchdog(int seconds) {
  g_seconds = seconds;
  std::thread(Guard).detach();
}

ServerCall::ServerCall(const std::string& what) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_armed = true;
  g_start = Clock::now();
  g_what = what;
}

ServerCall::~ServerCall() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_armed = false;
}

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART;  // calls in flight go on; the transfers look at the flag between calls
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return g_interrupts > 0; }
