// Guards for the calls that go to the server: a call that gets no answer
// within the timeout ends the program (status 3) with a message saying what
// was going on, instead of hanging; and Ctrl-C, which the transfers notice
// between two calls so that a kind is finished or aborted cleanly.
#pragma once

#include <string>

// Starts the guard thread.  REQUIRES: seconds > 0; called once.
void StartWatchdog(int seconds);

// While one lives, the guard measures the call; what names it in the message.
class ServerCall {
 public:
  explicit ServerCall(const std::string& what);
  ~ServerCall();
  ServerCall(const ServerCall&) = delete;
  ServerCall& operator=(const ServerCall&) = delete;
};

// The first Ctrl-C sets the flag (and says that the current kind will be
// finished or aborted); a second one ends the program at once.
void CatchInterrupt();
bool Interrupted();
