// What the library's fuzz targets share: a login over the scripted platform
// layer, replies cut from the fuzzer's bytes, and the checks that must hold
// beyond "no crash" (a failure abort()s, so libFuzzer keeps the input).
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "fuzz_port.h"

namespace fuzz {

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

// A fixed text field of `size` characters holds its terminator, and every
// character before it came from an 8-bit line (at most U+00FF).
void CheckField(const wchar_t* field, size_t size, const char* where);

// True with VORKAB_FUZZ_ROUND_TRIP=1 in the environment: load_exports_fuzz
// then also requires that what a Load wrote comes back through a Save.
bool RoundTrip();

}  // namespace fuzz
