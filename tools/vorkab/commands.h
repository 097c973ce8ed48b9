// The workbook commands of the command-line host: load kinds from the server
// into the workbook file, verify the workbook, save kinds back to the server.
#pragma once

#include <string>
#include <vector>

#include "login.h"

enum ExitStatus { ExitOk = 0, ExitVerify = 1, ExitUsage = 2, ExitFailure = 3 };

struct WorkbookOptions {
  LoginOptions login;
  std::string workbook = "vorkab.xlsx";
  bool verify = true;  // save: verify first
};

int LoadCommand(const WorkbookOptions& options, const std::vector<std::string>& kinds);
int VerifyCommand(const WorkbookOptions& options);
int SaveCommand(const WorkbookOptions& options, const std::vector<std::string>& kinds);
