// vorkab: the command-line host of the library.  It drives the exports as the
// workbook macros do: log in, choose a database, EDB user and EDB, list them,
// create EDBs, and move records between the server and an .xlsx workbook.
#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "grid_kinds.h"
#include "kinds.h"
#include "login.h"
#include "terminal.h"
#include "vorkabcom.h"
#include "watchdog.h"

namespace {

std::string Why() { return ExplainTransportErrors(Latin1ForTerminal(LibraryError())); }

// Prints a list of the server; its "Error: ..." line (the server's refusal)
// goes to standard error and fails the command.
int PrintList(int32_t (*load)(), int32_t (*list)(int32_t, wchar_t*), const char* what) {
  int32_t r;
  {
    ServerCall guard(std::string("reading the ") + what);
    r = load();
  }
  if (r != 1) {
    std::cerr << "vorkab: could not read the " << what << ": " << Why() << "\n";
    return ExitFailure;
  }
  std::vector<wchar_t> name(1024);
  int status = ExitOk;
  for (int32_t first = 1;; first = 0) {
    {
      ServerCall guard(std::string("reading the ") + what);
      if (list(first, name.data()) != 1) break;
    }
    std::wstring line = name.data();
    if (line.compare(0, 6, L"Error:") == 0) {
      std::cerr << "vorkab: the server refused to list the " << what << ": " << ForTerminal(line) << "\n";
      status = ExitFailure;
    } else {
      std::cout << ForTerminal(line) << "\n";
    }
  }
  std::string pending = Why();  // a request that failed still lists nothing
  if (!pending.empty()) {
    std::cerr << "vorkab: " << pending << "\n";
    return ExitFailure;
  }
  return status;
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

// "LEVEL" or "LEVEL,PATH" with a whole-number level.
bool ValidLog(const std::string& log) {
  size_t comma = log.find(',');
  std::string level = log.substr(0, comma);
  if (level.empty() || level.size() > 3) return false;
  for (char c : level) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return comma == std::string::npos || comma + 1 < log.size();
}

int Usage(const std::string& message) {
  std::cerr << "vorkab: " << message << "\nRun vorkab --help for the options.\n";
  return ExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  InitTerminalEncoding();
  CLI::App app{"vorkab: move an emission database between a Kalvoro server and a workbook"};
  app.require_subcommand(1);
  app.fallthrough();  // the global options may follow the command too
  WorkbookOptions options;
  LoginOptions& login = options.login;
  login.server = EnvOr("VORKAB_SERVER");
  login.user = EnvOr("VORKAB_USER");
  login.pin = EnvOr("VORKAB_PIN");
  int timeout = 60;
  app.add_option("--server", login.server, "server address, e.g. http://host:8080 (or VORKAB_SERVER)");
  app.add_option("--user", login.user,
                 "login name (or VORKAB_USER); the password comes from VORKAB_PASSWORD or the terminal");
  app.add_option("--pin", login.pin,
                 "accept the HTTPS server's certificate with this SHA-256 fingerprint, sha256:HEX, "
                 "even when no trusted authority issued it (or VORKAB_PIN)");
  app.add_option("--database", login.database, "database")->capture_default_str();
  app.add_option("--edb-user", login.edbUser, "EDB user (owner of the EDBs); default: the login user");
  app.add_option("--edb", login.edb, "EDB (emission database)");
  app.add_option("--workbook", options.workbook, "workbook file (.xlsx)")->capture_default_str();
  app.add_option("--log", login.log, "the library's diagnostic log: LEVEL[,PATH]");
  app.add_option("--timeout", timeout, "seconds to wait for each answer of the server")
      ->capture_default_str()
      ->check(CLI::Range(1, 86400));
  app.add_flag("--force", options.force,
               "load or save although the workbook was loaded from another EDB; save although the server's "
               "records changed since the load (overwriting those changes)");

  auto* databases = app.add_subcommand("databases", "list the server's databases");
  auto* edbUsers = app.add_subcommand("edb-users", "list the EDB users of the database");
  auto* edbs = app.add_subcommand("edbs", "list the EDBs of the EDB user");
  auto* grids = app.add_subcommand("grids", "list the grids of the EDB");
  auto* create = app.add_subcommand("create-edb", "create an empty EDB for the login user");
  std::string newEdb;
  create->add_option("NAME", newEdb, "name of the new EDB")->required();

  std::string kindHelp = "what to move: " + KnownKindNames();
  std::vector<std::string> loadKinds, saveKinds, diffKinds;
  auto* load = app.add_subcommand("load", "load kinds of record from the EDB into the workbook");
  load->add_option("KIND", loadKinds, kindHelp)->required();
  auto* verify = app.add_subcommand("verify", "check the workbook's sheets against the server; list errors and warnings");
  auto* diff = app.add_subcommand("diff", "show what saving kinds would add, change and delete on the server");
  diff->add_option("KIND", diffKinds, kindHelp)->required();
  diff->add_flag("--base", options.base,
                 "three ways: what the workbook and what the server each changed since the load, and where both did");
  auto* save = app.add_subcommand("save", "verify the workbook, then save kinds of record to the EDB");
  save->add_option("KIND", saveKinds, kindHelp)->required();
  bool noVerify = false;
  save->add_flag("--no-verify", noVerify, "save without verifying first (at your own risk)");
  save->add_flag("--dry-run", options.dryRun, "verify and show what would change; send nothing");
  save->add_flag("--yes", options.yes, "delete records on the server without asking");
  auto* info = app.add_subcommand("info", "what the EDB holds and what the workbook holds, side by side");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return e.get_exit_code() == 0 ? code : ExitUsage;
  }
  options.verify = !noVerify;
  if (login.server.empty()) return Usage("no server: give --server URL or set VORKAB_SERVER");
  if (login.user.empty()) return Usage("no user: give --user NAME or set VORKAB_USER");
  if (!login.log.empty() && !ValidLog(login.log)) {
    return Usage("--log takes LEVEL[,PATH], a whole-number level and an optional file: not '" + login.log + "'");
  }
  if (!PasswordAvailable()) {
    return Usage("no password: set VORKAB_PASSWORD (batch jobs), or run vorkab on a terminal to be asked");
  }
  for (const std::vector<std::string>* words : {&loadKinds, &saveKinds, &diffKinds}) {
    std::vector<const RecordKind*> kinds;
    std::string unknown;
    if (!SelectKinds(*words, &kinds, &unknown)) {
      return Usage("unknown kind '" + unknown + "'; known kinds: " + KnownKindNames());
    }
  }
  if (login.edbUser.empty()) login.edbUser = login.user;
  bool needsEdb = grids->parsed() || load->parsed() || verify->parsed() || diff->parsed() || save->parsed() || info->parsed();
  if (needsEdb && login.edb.empty()) return Usage("no EDB: give --edb NAME (vorkab edbs lists them)");
  StartWatchdog(timeout);
  CatchInterrupt();

  if (databases->parsed()) return ListCommand(login, VKDatabasesLoad, VKDatabasesList, "databases");
  if (edbUsers->parsed()) return ListCommand(login, VKEdbUsersLoad, VKEdbUsersList, "EDB users");
  if (edbs->parsed()) return ListCommand(login, VKEdbNamesLoad, VKEdbNamesList, "EDBs");
  if (grids->parsed()) return ListCommand(login, ListGridsLoad, ListGrids, "grids");
  if (create->parsed()) {
    if (!Login(login)) return ExitFailure;
    int status = ExitOk;
    int32_t r;
    {
      ServerCall guard("creating the EDB");
      r = VKEdbCreate(FromTerminal(newEdb).c_str());
    }
    if (r != 1) {
      std::cerr << "vorkab: " << Why() << "\n";
      status = ExitFailure;
    } else {
      std::cout << "created EDB " << newEdb << "\n";
    }
    VKFree();
    return status;
  }
  if (load->parsed()) return LoadCommand(options, loadKinds);
  if (verify->parsed()) return VerifyCommand(options);
  if (diff->parsed()) return DiffCommand(options, diffKinds);
  if (save->parsed()) return SaveCommand(options, saveKinds);
  if (info->parsed()) return InfoCommand(options);
  return ExitUsage;
}
