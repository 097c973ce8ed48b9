// Acceptance of the authenticator that every request carries: a valid block
// (CRC), a known user by the first 10 bytes of its name, the right password,
// and a time stamp within the allowed window of the server's shifted clock.
//
// The library sends one authenticator for a whole session, so an accepted one
// is remembered (by its digest) and later requests with it skip the slow
// password hash, for as long as the user's stored hash is unchanged.  Failed
// password checks are throttled per user name and per client address.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "login_throttle.h"
#include "store.h"

namespace edb {

// The library stamps its local time plus 100 << 32 units of 100 ns.
constexpr int64_t kAuthShiftMillis = 42949673;  // 42,949.67296 s, rounded

struct AuthSettings {
  int32_t windowMinutes = 1440;    // allowed distance from the server's shifted clock
  int32_t clockOffsetMinutes = 0;  // shift of the server's own clock
  ThrottleSettings throttle;
};

struct AuthOutcome {
  bool ok = false;
  std::string user;    // the login user's full name when ok
  bool admin = false;  // the login user's role when ok
  std::string error;   // the refusal line (without line end) when not ok
};

class AuthChecker {
 public:
  AuthChecker(Store& store, const AuthSettings& settings)
      : store_(store), settings_(settings), throttle_(settings.throttle) {}
  // address: the client's address, for throttling.
  AuthOutcome Check(std::string_view authenticator, std::string_view address);
  AuthOutcome Check(std::string_view authenticator, std::string_view address, std::time_t now);

 private:
  // The user of a remembered authenticator whose stored hash is unchanged.
  bool Remembered(const std::string& digest, LoginUser* user);
  void Remember(const std::string& digest, const LoginUser& user);
  // Stores a stronger hash record for a user who logged in with an older
  // one; false when the stored record changed meanwhile.
  bool Upgrade(LoginUser* user, std::string_view password);

  Store& store_;
  AuthSettings settings_;
  LoginThrottle throttle_;
  std::mutex mutex_;
  std::map<std::string, LoginUser> accepted_;  // by digest of the authenticator
};

// Milliseconds since 2000-01-01 00:00 of a "YYMMDDhhmm" calendar time (no time
// zone involved); false when the text is not such a time.
bool ParseAuthTime(std::string_view text, int64_t* millis);

// The server's local calendar time at `now`, moved by offsetMinutes and by the
// library's shift, on the same scale as ParseAuthTime.
int64_t ShiftedLocalMillis(std::time_t now, int32_t offsetMinutes);

}  // namespace edb
