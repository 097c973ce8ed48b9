// The fuzz targets' assertion: a check that fails prints what and why and
// aborts, so that libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const std::string& detail) {
  fprintf(stderr, "fuzz check failed: %s\n  %s\n", what, detail.c_str());
  fflush(stderr);
  abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(cond, detail)                  \
  do {                                            \
    if (!(cond)) ::fuzz::Fail(#cond, (detail));   \
  } while (0)
