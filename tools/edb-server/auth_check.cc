// Authenticator acceptance (see auth_check.h).
#include "auth_check.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <vector>

#include "password.h"
#include "transport/auth_codec.h"

namespace edb {

namespace {

constexpr size_t kMaxAuthenticatorLength = 300;
// Remembered authenticators; the memory is emptied when it is full.
constexpr size_t kMaxRemembered = 4096;
constexpr std::string_view kUnknownUserSalt = "00000000000000000000000000000000";

// Days from 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int64_t CivilMillis(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute, int64_t second) {
  int64_t days = DaysFromCivil(year, month, day) - DaysFromCivil(2000, 1, 1);
  return ((days * 24 + hour) * 60 + minute) * 60000 + second * 1000;
}

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

AuthOutcome Refuse(const std::string& reason) {
  AuthOutcome outcome;
  outcome.error = "Error: " + reason;
  return outcome;
}

std::string Digest(std::string_view text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr) != 1) length = 0;
  return std::string(reinterpret_cast<char*>(digest), length);
}

// Clears a decoded block's password when it goes out of scope.
struct Wiped {
  auth::Decoded& decoded;
  ~Wiped() { OPENSSL_cleanse(&decoded, sizeof decoded); }
};

}  // namespace

bool ParseAuthTime(std::string_view text, int64_t* millis) {
  if (text.size() != 10) return false;
  int v[5];
  for (int i = 0; i < 5; ++i) {
    char a = text[2 * i], b = text[2 * i + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return false;
    v[i] = (a - '0') * 10 + (b - '0');
  }
  int year = 2000 + v[0];
  if (v[1] < 1 || v[1] > 12) return false;
  if (v[2] < 1 || v[2] > DaysInMonth(year, v[1])) return false;
  if (v[3] > 23 || v[4] > 59) return false;
  *millis = CivilMillis(year, v[1], v[2], v[3], v[4], 0);
  return true;
}

int64_t ShiftedLocalMillis(std::time_t now, int32_t offsetMinutes) {
  std::time_t moved = now + static_cast<std::time_t>(offsetMinutes) * 60;
  std::tm local{};
  localtime_r(&moved, &local);
  return CivilMillis(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     local.tm_sec) +
         kAuthShiftMillis;
}

AuthOutcome AuthChecker::Check(std::string_view authenticator, std::string_view address) {
  return Check(authenticator, address, std::time(nullptr));
}

bool AuthChecker::Remembered(const std::string& digest, LoginUser* user) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = accepted_.find(digest);
    if (it == accepted_.end()) return false;
    *user = it->second;
  }
  LoginUser stored;
  if (!store_.FindLoginUser(user->name, &stored) || stored.hash != user->hash || stored.salt != user->salt) {
    std::lock_guard<std::mutex> lock(mutex_);
    accepted_.erase(digest);
    return false;
  }
  user->admin = stored.admin;
  return true;
}

void AuthChecker::Remember(const std::string& digest, const LoginUser& user) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (accepted_.size() >= kMaxRemembered) accepted_.clear();
  accepted_[digest] = user;
}

bool AuthChecker::Upgrade(LoginUser* user, std::string_view password) {
  LoginUser upgraded = MakeLoginUser(user->name, password, user->admin);
  if (!store_.ReplacePasswordHash(upgraded, user->hash)) return false;  // changed meanwhile
  user->salt = upgraded.salt;
  user->hash = upgraded.hash;
  return true;
}

AuthOutcome AuthChecker::Check(std::string_view authenticator, std::string_view address, std::time_t now) {
  if (authenticator.empty()) return Refuse("missing authenticator");
  if (authenticator.size() > kMaxAuthenticatorLength || authenticator.find('\0') != std::string_view::npos) {
    return Refuse("invalid authenticator");
  }
  std::string text(authenticator);
  auth::Decoded decoded{};
  Wiped wipe{decoded};
  if (!auth::Decode(text.c_str(), &decoded)) return Refuse("invalid authenticator");
  int64_t stamp = 0;
  if (!ParseAuthTime(decoded.time, &stamp)) return Refuse("invalid authenticator");

  std::string digest = Digest(authenticator);
  LoginUser match;
  if (!Remembered(digest, &match)) {
    auto clock = LoginThrottle::Clock::now();
    int64_t wait = throttle_.WaitSeconds(decoded.user, address, clock);
    if (wait > 0) {
      return Refuse("too many failed logins; wait " + std::to_string(wait) + " s and try again");
    }
    bool found = false;
    std::vector<LoginUser> candidates = store_.LoginUsersByPrefix(decoded.user);
    for (const LoginUser& user : candidates) {
      if (user.name.compare(0, auth::UserBytes, decoded.user) != 0) continue;
      if (PasswordMatches(user, decoded.password)) {
        match = user;
        found = true;
        break;
      }
    }
    // An unknown name costs as much time as a wrong password.
    if (candidates.empty()) PasswordHash(kUnknownUserSalt, decoded.password, kPasswordIterations);
    if (!found) {
      throttle_.Failed(decoded.user, address, clock);
      return Refuse("unknown user or wrong password");
    }
    throttle_.Succeeded(decoded.user, address);
    // Remembered only with the hash it was checked against (or its upgrade).
    if (!NeedsRehash(match) || Upgrade(&match, decoded.password)) Remember(digest, match);
  }

  // The stamp is cut to the minute, so allow one minute more than the window.
  int64_t distance = std::llabs(ShiftedLocalMillis(now, settings_.clockOffsetMinutes) - stamp);
  int64_t window = (static_cast<int64_t>(settings_.windowMinutes) + 1) * 60000;
  if (distance > window) return Refuse("authenticator expired");

  AuthOutcome outcome;
  outcome.ok = true;
  outcome.user = match.name;
  outcome.admin = match.admin;
  return outcome;
}

}  // namespace edb
