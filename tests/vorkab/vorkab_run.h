// Running the real vorkab binary in tests, with the server, user and password
// in its environment and no terminal; its outputs and exit status collected.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/edb_server_process.h"
#include "xlsx_test_files.h"

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Starts vorkab with the arguments, without the environment variables named
// in unset.
inline pid_t StartVorkab(const TempFolder& folder, const std::string& server, const std::vector<std::string>& args,
                         const std::string& password = "demo", const std::vector<std::string>& unset = {}) {
  std::string outPath = folder.Path("stdout.txt"), errPath = folder.Path("stderr.txt");
  pid_t pid = fork();
  if (pid == 0) {
    freopen(outPath.c_str(), "w", stdout);
    freopen(errPath.c_str(), "w", stderr);
    freopen("/dev/null", "r", stdin);
    setenv("VORKAB_SERVER", server.c_str(), 1);
    setenv("VORKAB_USER", "demo", 1);
    setenv("VORKAB_PASSWORD", password.c_str(), 1);
    for (const std::string& name : unset) unsetenv(name.c_str());
    std::vector<std::string> all = {VORKAB_TOOL_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Waits for a vorkab started with StartVorkab; a status of -1 means it died of a signal.
inline Outcome WaitVorkab(const TempFolder& folder, pid_t pid) {
  Outcome run;
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadBytes(folder.Path("stdout.txt"));
  run.err = ReadBytes(folder.Path("stderr.txt"));
  return run;
}

inline Outcome Vorkab(const TempFolder& folder, const std::string& server, const std::vector<std::string>& args,
                      const std::string& password = "demo", const std::vector<std::string>& unset = {}) {
  return WaitVorkab(folder, StartVorkab(folder, server, args, password, unset));
}

// A seeded server and a workbook of its Gothenburg2025 EDB.
class VorkabTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()); }
  std::vector<std::string> With(std::vector<std::string> args, const std::string& edb = "Gothenburg2025") {
    std::vector<std::string> all = {"--edb-user", "demo", "--edb", edb, "--workbook", book_};
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
  Outcome Do(std::vector<std::string> args) { return Vorkab(folder_, server_.url(), With(std::move(args))); }
  // Runs vorkab on the workbook; expects the status and these parts of its output and error.
  Outcome Expect(int status, std::vector<std::string> args, const std::string& out = "", const std::string& err = "") {
    Outcome run = Do(std::move(args));
    EXPECT_EQ(run.status, status) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out, out)) << "lacks: " << out << "\n" << run.out;
    EXPECT_TRUE(Contains(run.err, err)) << "lacks: " << err << "\n" << run.err;
    return run;
  }
  // The workbook edited by a script that gets it as sys.argv[1] (and saves it).
  void Edit(const std::string& script) {
    std::string edit = "wb = openpyxl.load_workbook(sys.argv[1])\n" + script + "wb.save(sys.argv[1])\n";
    ASSERT_EQ(Python(folder_, edit, {book_}), "");
  }

  EdbServerProcess server_;
  TempFolder folder_;
  std::string book_ = folder_.Path("book.xlsx");
};
