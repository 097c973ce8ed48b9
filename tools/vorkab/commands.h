// The workbook commands of the command-line host: load kinds from the server
// into the workbook file, verify the workbook, show what a save would do,
// save kinds back to the server, and show what an EDB and a workbook hold.
#pragma once

#include <string>
#include <vector>

#include "login.h"

enum ExitStatus { ExitOk = 0, ExitVerify = 1, ExitUsage = 2, ExitFailure = 3 };

struct WorkbookOptions {
  LoginOptions login;
  std::string workbook = "vorkab.xlsx";
  bool verify = true;   // save: verify first
  bool force = false;   // load or save although the workbook came from another EDB, or the
                        // server's records changed since the load
  bool yes = false;     // save: delete records on the server without asking
  bool dryRun = false;  // save: only show what would change
  bool base = false;    // diff: workbook and server each against the load
};

int LoadCommand(const WorkbookOptions& options, const std::vector<std::string>& kinds);
int VerifyCommand(const WorkbookOptions& options);
int SaveCommand(const WorkbookOptions& options, const std::vector<std::string>& kinds);
int DiffCommand(const WorkbookOptions& options, const std::vector<std::string>& kinds);
int InfoCommand(const WorkbookOptions& options);
