// What the fuzz targets share: the check that must hold beyond "no crash" (a
// failure prints what and why and abort()s, so libFuzzer keeps the input),
// and for the library's targets a login over the scripted platform layer,
// replies cut from the fuzzer's bytes and the checks of results and fields.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>

#include "fuzz_port.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const std::string& detail) {
  fprintf(stderr, "fuzz check failed: %s\n  %s\n", what, detail.c_str());
  fflush(stderr);
  abort();
}

#define FUZZ_CHECK(cond, detail)                \
  do {                                          \
    if (!(cond)) ::fuzz::Fail(#cond, (detail)); \
  } while (0)

// Logs in once per process (the login check answered "OK") and selects
// database "REF", EDB user "anna" and EDB "edb1"; the default reply is then
// `defaultBody` with status 200.
void LoginOnce(const std::string& defaultBody = "");

// A reply made from the fuzzer's bytes: status 200 or (rarely) another one,
// with or without Content-Length, the chunking of its reads, sometimes a read
// failure, and the remaining bytes (or `maxBody` of them) as its body.
fuzz_port::Reply TakeReply(FuzzedDataProvider& data, size_t maxBody = SIZE_MAX);

// A library result: 1, 0 or -1, and -1 with an error text.  Empties the
// error text.
void CheckResult(int32_t result, const char* where);

// Runs a transfer export call(mode, count) to its end: mode 1, then 0 while
// it answers 1.  It must end within `bound` calls and keep its count within
// 12 characters; its last result, checked with CheckResult.
template <class Call>
int32_t RunTransfer(Call call, size_t bound, const char* name) {
  std::unique_ptr<wchar_t[]> count(new wchar_t[12]);
  int32_t r = call(1, count.get());
  for (size_t calls = 0; r == 1; ++calls) {
    FUZZ_CHECK(calls <= bound, std::string(name) + " does not come to an end");
    FUZZ_CHECK(wmemchr(count.get(), L'\0', 12) != nullptr, std::string(name) + ": count past its buffer");
    r = call(0, count.get());
  }
  CheckResult(r, name);
  return r;
}

// A fixed text field of `size` characters holds its terminator, and every
// character before it came from an 8-bit line (at most U+00FF).
void CheckField(const wchar_t* field, size_t size, const char* where);

// True with VORKAB_FUZZ_ROUND_TRIP=1 in the environment: load_exports_fuzz
// then also requires that what a Load wrote comes back through a Save.
bool RoundTrip();

}  // namespace fuzz
