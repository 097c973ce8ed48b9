// Building the login authenticator from user, password and the local time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/port.h"

// Output buffer size CreateAuthenticator needs.
constexpr size_t AuthenticatorBufferSize = 512;

// Writes the authenticator (the encoded block followed by the debug level in
// decimal) into out.  False, with ErrorText set, when the password does not
// fit into the block or the result would be longer than 255 characters.
bool CreateAuthenticator(const char* user, const char* password, int32_t level, char* out);

// The same with the clock and the random bytes given, for tests.
bool CreateAuthenticatorAt(const char* user, const char* password, int32_t level, const SYSTEMTIME& localTime,
                           const uint8_t random[4], char* out);

// The shifted time field for a local time: plus 100 << 32 file-time units,
// as "YYMMDDhhmm".  False when the time cannot be converted.
bool ShiftedTimeField(const SYSTEMTIME& localTime, char field[11]);
