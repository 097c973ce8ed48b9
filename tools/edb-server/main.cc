// edb-server: a substitute Kalvoro server for developing and testing the
// library, keeping its state in one SQLite file.
#include <cstdio>
#include <string>
#include <vector>

#include "app.h"
#include "options.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  edb::Options options;
  std::string error;
  if (!edb::ParseOptions(args, &options, &error)) {
    std::fprintf(stderr, "edb-server: %s\n%s", error.c_str(), edb::UsageText());
    return 2;
  }
  switch (options.action) {
    case edb::Options::Action::kHelp:
      std::fputs(edb::UsageText(), stdout);
      return 0;
    case edb::Options::Action::kAddUser:
      return edb::RunAddUser(options);
    case edb::Options::Action::kServe:
      break;
  }
  return edb::RunServer(options);
}
