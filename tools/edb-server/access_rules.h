// Who may touch which EDBs.  A login user reads and writes the EDBs of its
// own EDB user (the EDB user of the same name); an administrator reads and
// writes all; a shared EDB user (such as "global") is readable by everyone and
// writable by administrators only.  Listing the databases and the EDB users
// is open to every login user, and so is creating an EDB, which always
// belongs to the login user's own EDB user.
//
// Every request passes RequestRefusal before its command runs, so a command
// added later is guarded by the same rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "auth_check.h"
#include "store.h"

namespace edb {

enum class AccessKind { kRead, kWrite };

// Empty when login may read (or write) the EDBs of edbUser in database, else
// the reason for an "Error:" line.
std::string AccessRefusal(Store& store, const AuthOutcome& login, std::string_view database,
                          std::string_view edbUser, AccessKind kind);

// The same for a whole request: script, the query fields after the script
// name, and the POST body.
std::string RequestRefusal(Store& store, const AuthOutcome& login, std::string_view script,
                           const std::vector<std::string>& args, std::string_view body);

}  // namespace edb
