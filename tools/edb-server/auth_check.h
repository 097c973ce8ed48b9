// Acceptance of the authenticator that every request carries: a valid block
// (CRC), a known user by the first 10 bytes of its name, the right password,
// and a time stamp within the allowed window of the server's shifted clock.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "store.h"

namespace edb {

// The library stamps its local time plus 100 << 32 units of 100 ns.
constexpr int64_t kAuthShiftMillis = 42949673;  // 42,949.67296 s, rounded

struct AuthSettings {
  int32_t windowMinutes = 1440;    // allowed distance from the server's shifted clock
  int32_t clockOffsetMinutes = 0;  // shift of the server's own clock
};

struct AuthOutcome {
  bool ok = false;
  std::string user;   // the login user's full name when ok
  std::string error;  // the refusal line (without line end) when not ok
};

class AuthChecker {
 public:
  AuthChecker(Store& store, const AuthSettings& settings) : store_(store), settings_(settings) {}
  AuthOutcome Check(std::string_view authenticator) const;
  AuthOutcome Check(std::string_view authenticator, std::time_t now) const;

 private:
  Store& store_;
  AuthSettings settings_;
};

// Milliseconds since 2000-01-01 00:00 of a "YYMMDDhhmm" calendar time (no time
// zone involved); false when the text is not such a time.
bool ParseAuthTime(std::string_view text, int64_t* millis);

// The server's local calendar time at `now`, moved by offsetMinutes and by the
// library's shift, on the same scale as ParseAuthTime.
int64_t ShiftedLocalMillis(std::time_t now, int32_t offsetMinutes);

}  // namespace edb
