// SHA-256 of a byte string: the fingerprint of a server certificate (the
// hash of its DER encoding), computed the same way on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Sha256Digest = std::array<uint8_t, 32>;

// REQUIRES: data points to size readable bytes (or size is 0).
Sha256Digest Sha256(const uint8_t* data, size_t size);

// "sha256:" and 64 lowercase hexadecimal digits.
std::string FingerprintText(const Sha256Digest& digest);

// Reads "sha256:" and 64 hexadecimal digits (either case, a colon allowed
// between two digits, as certificate viewers write them).  False when the text
// is anything else.
bool ParseFingerprint(const char* text, Sha256Digest* digest);
