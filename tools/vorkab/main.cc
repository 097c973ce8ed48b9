// vorkab: the command-line host of the library.  It drives the exports as the
// workbook macros do: log in, choose a database, EDB user and EDB, list them
// and create EDBs.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "login.h"
#include "vorkabcom.h"

namespace {

enum ExitStatus { ExitOk = 0, ExitVerify = 1, ExitUsage = 2, ExitFailure = 3 };

int PrintList(int32_t (*load)(), int32_t (*list)(int32_t, wchar_t*), const char* what) {
  if (load() != 1) {
    std::cerr << "vorkab: could not read the " << what << ": " << LibraryError() << "\n";
    return ExitFailure;
  }
  std::vector<wchar_t> name(1024);
  for (int32_t first = 1; list(first, name.data()) == 1; first = 0) std::cout << FromWide(name.data()) << "\n";
  std::string pending = LibraryError();  // a request that failed still lists nothing
  if (!pending.empty()) {
    std::cerr << "vorkab: " << pending << "\n";
    return ExitFailure;
  }
  return ExitOk;
}

const char* EnvOr(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"vorkab: move an emission database between a Kalvoro server and a workbook"};
  app.require_subcommand(1);
  LoginOptions options;
  options.server = EnvOr("VORKAB_SERVER");
  options.user = EnvOr("VORKAB_USER");
  app.add_option("--server", options.server, "server address, e.g. http://host:8080 (or VORKAB_SERVER)");
  app.add_option("--user", options.user, "login name (or VORKAB_USER); the password comes from VORKAB_PASSWORD or the terminal");
  app.add_option("--database", options.database, "database")->capture_default_str();
  app.add_option("--edb-user", options.edbUser, "EDB user (owner of the EDBs)");
  app.add_option("--edb", options.edb, "EDB (emission database)");
  app.add_option("--log", options.log, "diagnostic log: LEVEL[,PATH]");

  auto* databases = app.add_subcommand("databases", "list the server's databases");
  auto* edbUsers = app.add_subcommand("edb-users", "list the EDB users of the database");
  auto* edbs = app.add_subcommand("edbs", "list the EDBs of the EDB user");
  auto* create = app.add_subcommand("create-edb", "create an empty EDB for the login user");
  std::string newEdb;
  create->add_option("NAME", newEdb, "name of the new EDB")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return e.get_exit_code() == 0 ? code : ExitUsage;
  }

  if (!Login(options)) return ExitFailure;
  int status = ExitOk;
  if (databases->parsed()) status = PrintList(VKDatabasesLoad, VKDatabasesList, "databases");
  if (edbUsers->parsed()) status = PrintList(VKEdbUsersLoad, VKEdbUsersList, "EDB users");
  if (edbs->parsed()) status = PrintList(VKEdbNamesLoad, VKEdbNamesList, "EDBs");
  if (create->parsed()) {
    if (VKEdbCreate(ToWide(newEdb).c_str()) != 1) {
      std::cerr << "vorkab: " << LibraryError();
      status = ExitFailure;
    } else {
      std::cout << "created EDB " << newEdb << "\n";
    }
  }
  VKFree();
  return status;
}
