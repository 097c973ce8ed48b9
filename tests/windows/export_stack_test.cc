// Every export that vba/Vorkab.bas declares, called as 32-bit VBA calls it
// (__stdcall, four zero bytes an argument), must take exactly its arguments
// off the stack.  A run of its own (scripts/wine-tests.sh): the zero
// arguments log out and forget the host.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "windows/vorkabcom_dll.h"

namespace {

#if defined(__i386__)
struct Declared {
  std::string name;
  int arguments;
};

// The Declare statements of the module named by VORKAB_VBA, continuation
// lines joined.
std::vector<Declared> DeclaredExports() {
  std::vector<Declared> exports;
  const char* path = std::getenv("VORKAB_VBA");
  std::ifstream in(path ? path : "");
  std::string line, statement;
  const std::regex declare(R"(Declare\s+PtrSafe\s+(?:Function|Sub)\s+(\w+)\s+Lib\s+"VORKABCOM\.dll"\s*\((.*)\))");
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    statement += line;
    if (statement.size() >= 2 && statement.compare(statement.size() - 2, 2, " _") == 0) {
      statement.resize(statement.size() - 1);
      continue;
    }
    std::smatch m;
    if (std::regex_search(statement, m, declare)) {
      std::string list = m[2];
      int arguments = list.find_first_not_of(' ') == std::string::npos ? 0 : 1;
      for (char c : list) arguments += c == ',';
      exports.push_back({m[1], arguments});
    }
    statement.clear();
  }
  return exports;
}

// Pushes `arguments` zero words, calls fn and gives the bytes the callee left
// on the stack (0 for a __stdcall function of exactly that many arguments).
int32_t BytesLeftOnStack(void* fn, int32_t arguments) {
  int32_t count = arguments;
  __asm__ volatile(
      "movl %%esp, %%esi\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl $0\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *%%edi\n\t"
      "movl %%esi, %%ecx\n\t"
      "subl %%esp, %%ecx\n\t"
      "movl %%esi, %%esp\n\t"
      : "+c"(count), "+D"(fn)
      :
      : "eax", "edx", "esi", "memory", "cc");
  return count;
}
#endif

TEST(ExportStack, EveryDeclaredExportTakesItsArgumentsOffTheStack) {
#if !defined(__i386__)
  GTEST_SKIP() << "only the 32-bit DLL has __stdcall argument sizes";
#else
  ASSERT_TRUE(VorkabDll::Get().ok()) << VorkabDll::Get().error();
  std::vector<Declared> exports = DeclaredExports();
  ASSERT_EQ(exports.size(), 77u) << "VORKAB_VBA must name vba/Vorkab.bas";
  for (const Declared& e : exports) {
    void* fn = VorkabDll::Get().Address(e.name.c_str());
    EXPECT_NE(fn, nullptr) << "VORKABCOM.dll does not export " << e.name;
    if (!fn) continue;
    EXPECT_EQ(BytesLeftOnStack(fn, e.arguments), 0)
        << e.name << " does not take its " << e.arguments << " arguments off the stack";
  }
#endif
}

}  // namespace
