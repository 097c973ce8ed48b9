// The command line of edb-server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "auth_check.h"
#include "http_front.h"

namespace edb {

struct Options {
  enum class Action { kServe, kAddUser, kHelp };
  Action action = Action::kServe;
  std::string dataDir;
  ListenConfig listen;
  AuthSettings auth;
  bool seedDemo = false;
  std::string addUser;  // --add-user NAME
  bool admin = false;   // --admin: the added user is an administrator
};

// Parses argv[1..]; false with a message on a usage error.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// The usage text for --help and usage errors.
const char* UsageText();

}  // namespace edb
