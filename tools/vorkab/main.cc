// vorkab: the command-line host of the library.  It drives the exports as the
// workbook macros do: log in, choose a database, EDB user and EDB, list them,
// create EDBs, and move records between the server and an .xlsx workbook.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "kinds.h"
#include "login.h"
#include "vorkabcom.h"

namespace {

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

int ListCommand(const LoginOptions& options, int32_t (*load)(), int32_t (*list)(int32_t, wchar_t*),
                const char* what) {
  if (!Login(options)) return ExitFailure;
  int status = PrintList(load, list, what);
  VKFree();
  return status;
}

const char* EnvOr(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"vorkab: move an emission database between a Kalvoro server and a workbook"};
  app.require_subcommand(1);
  WorkbookOptions options;
  LoginOptions& login = options.login;
  login.server = EnvOr("VORKAB_SERVER");
  login.user = EnvOr("VORKAB_USER");
  login.pin = EnvOr("VORKAB_PIN");
  app.add_option("--server", login.server, "server address, e.g. http://host:8080 (or VORKAB_SERVER)");
  app.add_option("--user", login.user,
                 "login name (or VORKAB_USER); the password comes from VORKAB_PASSWORD or the terminal");
  app.add_option("--pin", login.pin,
                 "accept the HTTPS server's certificate with this SHA-256 fingerprint, sha256:HEX, "
                 "even when no trusted authority issued it (or VORKAB_PIN)");
  app.add_option("--database", login.database, "database")->capture_default_str();
  app.add_option("--edb-user", login.edbUser, "EDB user (owner of the EDBs)");
  app.add_option("--edb", login.edb, "EDB (emission database)");
  app.add_option("--workbook", options.workbook, "workbook file (.xlsx)")->capture_default_str();
  app.add_option("--log", login.log, "the library's diagnostic log: LEVEL[,PATH]");

  auto* databases = app.add_subcommand("databases", "list the server's databases");
  auto* edbUsers = app.add_subcommand("edb-users", "list the EDB users of the database");
  auto* edbs = app.add_subcommand("edbs", "list the EDBs of the EDB user");
  auto* create = app.add_subcommand("create-edb", "create an empty EDB for the login user");
  std::string newEdb;
  create->add_option("NAME", newEdb, "name of the new EDB")->required();

  std::string kindHelp = "what to move: " + KnownKindNames();
  std::vector<std::string> loadKinds, saveKinds;
  auto* load = app.add_subcommand("load", "load kinds of record from the EDB into the workbook");
  load->add_option("KIND", loadKinds, kindHelp)->required();
  auto* verify = app.add_subcommand("verify", "check the workbook's sheets and list errors and warnings");
  auto* save = app.add_subcommand("save", "verify the workbook, then save kinds of record to the EDB");
  save->add_option("KIND", saveKinds, kindHelp)->required();
  bool noVerify = false;
  save->add_flag("--no-verify", noVerify, "save without verifying first (at your own risk)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return e.get_exit_code() == 0 ? code : ExitUsage;
  }
  options.verify = !noVerify;

  if (databases->parsed()) return ListCommand(login, VKDatabasesLoad, VKDatabasesList, "databases");
  if (edbUsers->parsed()) return ListCommand(login, VKEdbUsersLoad, VKEdbUsersList, "EDB users");
  if (edbs->parsed()) return ListCommand(login, VKEdbNamesLoad, VKEdbNamesList, "EDBs");
  if (create->parsed()) {
    if (!Login(login)) return ExitFailure;
    int status = ExitOk;
    if (VKEdbCreate(ToWide(newEdb).c_str()) != 1) {
      std::cerr << "vorkab: " << LibraryError();
      status = ExitFailure;
    } else {
      std::cout << "created EDB " << newEdb << "\n";
    }
    VKFree();
    return status;
  }
  if (load->parsed()) return LoadCommand(options, loadKinds);
  if (verify->parsed()) return VerifyCommand(options);
  if (save->parsed()) return SaveCommand(options, saveKinds);
  return ExitUsage;
}
