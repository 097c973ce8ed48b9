// The two ways edb-server runs: serving requests until SIGTERM or SIGINT, and
// adding a login user.
#pragma once

#include "options.h"

namespace edb {

// Each returns the process exit code.
int RunServer(const Options& options);
int RunAddUser(const Options& options);

// The SQLite file inside the data folder; creates the folder when missing.
bool PrepareDataDir(const std::string& dir, std::string* file, std::string* error);

}  // namespace edb
