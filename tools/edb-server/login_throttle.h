// Slowing down password guessing: after a few failed logins of a user name,
// or from a client address, each further login must wait a delay that doubles
// with every failure up to a ceiling.  It is a delay, never a lockout: once it
// has passed, the next login is checked again, and a success clears the count.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace edb {

struct ThrottleSettings {
  int32_t freeFailures = 5;        // failures of a user name before the first delay
  int32_t addressFactor = 4;       // an address may fail this many times as often
  int32_t firstDelaySeconds = 1;   // 0 switches throttling off
  int32_t maxDelaySeconds = 60;
  int32_t forgetAfterSeconds = 900;  // a quiet name or address starts afresh
};

class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LoginThrottle(const ThrottleSettings& settings) : settings_(settings) {}

  // Whole seconds (at least 1) still to wait before a login of user from
  // address may be checked; 0 when it may be checked now.
  int64_t WaitSeconds(std::string_view user, std::string_view address, Clock::time_point now);
  void Failed(std::string_view user, std::string_view address, Clock::time_point now);
  void Succeeded(std::string_view user, std::string_view address);

 private:
  struct Record {
    int32_t failures = 0;
    Clock::time_point last;
    Clock::time_point until;  // no login before this
  };
  using Records = std::map<std::string, Record, std::less<>>;

  void Count(Records& records, std::string_view key, int32_t freeFailures, Clock::time_point now);
  int64_t Remaining(const Records& records, std::string_view key, Clock::time_point now) const;
  void Forget(Records& records, Clock::time_point now);

  ThrottleSettings settings_;
  std::mutex mutex_;
  Records users_;
  Records addresses_;
};

}  // namespace edb
