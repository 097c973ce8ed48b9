// Salted SHA-256 password hashes of the login users; the password itself is
// never stored.
#pragma once

#include <string>
#include <string_view>

#include "store.h"

namespace edb {

// A login user with a fresh random salt and the hash of password.
LoginUser MakeLoginUser(std::string_view name, std::string_view password);

// Hex SHA-256 of the salt's bytes followed by the password.
std::string PasswordHash(std::string_view saltHex, std::string_view password);

// Compares in constant time.
bool PasswordMatches(const LoginUser& user, std::string_view password);

}  // namespace edb
