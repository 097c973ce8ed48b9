// Password hashes of the login users; the password itself is never stored.
// A hash record is "pbkdf2-sha256$ITERATIONS$HEX" (PBKDF2-HMAC-SHA256 of the
// password with the user's salt, OpenSSL).  Stores made before that hold one
// salted SHA-256 round as 64 hex digits; such a record still verifies and is
// replaced by a PBKDF2 record at the user's next successful login.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store.h"

namespace edb {

// Iterations of new hash records (about a quarter of a second per login on a
// small server).
constexpr uint32_t kPasswordIterations = 310000;

// A login user with a fresh random salt and the hash record of password.
LoginUser MakeLoginUser(std::string_view name, std::string_view password, bool admin = false);

// The hash record of password with the hex salt and iteration count.
std::string PasswordHash(std::string_view saltHex, std::string_view password, uint32_t iterations);

// Compares in constant time; false for a record it cannot read.
bool PasswordMatches(const LoginUser& user, std::string_view password);

// True when the user's record is weaker than a new one (an older scheme or
// fewer iterations).
bool NeedsRehash(const LoginUser& user);

}  // namespace edb
