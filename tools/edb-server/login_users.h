// Adding login users from the command line (`edb-server --add-user NAME`).
#pragma once

#include <istream>
#include <string>
#include <string_view>

#include "store.h"

namespace edb {

// The longest password that still fits an authenticator (with a one-digit
// debug level).
constexpr size_t kMaxPasswordBytes = 164;
constexpr size_t kMaxLoginNameBytes = 63;

// 1 to 63 bytes, no control characters, none of ";&%#".
bool IsValidLoginName(std::string_view name);

// Reads the password (one line) from input and stores the user with a salted
// hash and the given role (an existing user gets the new password and role).
// Returns the process exit code (0 done, 1 failed, 2 bad name) and a message
// for the operator.
int AddLoginUserCommand(Store& store, const std::string& name, bool admin, std::istream& input,
                        std::string* message);

}  // namespace edb
