// The login authenticator's byte block and its printable encoding.
//
// Shared, unchanged, by the library (which builds authenticators) and the
// substitute server (which reads them back); nothing here touches the clock,
// the random generator or the platform.
//
// Block layout (N = 26 + P bytes, P = password length):
//   0..9    first 10 bytes of the user name, zero padded
//   10..11  two random bytes
//   12..21  shifted local time, "YYMMDDhhmm"
//   22..23  two random bytes
//   24..    the password bytes
//   N-2,N-1 CRC-16/XMODEM of bytes 0..N-3, high byte first
// Every byte but the last is then scrambled with a key stream seeded by the
// last byte, and the block is written as 6-bit groups over AuthAlphabet.
#pragma once

#include <cstddef>
#include <cstdint>

namespace auth {

constexpr size_t BlockSize = 256;       // the block's buffer
constexpr size_t MaxEncodedLength = 255;  // the authenticator text, digits included
constexpr size_t UserBytes = 10;
constexpr size_t TimeOffset = 12;
constexpr size_t TimeLength = 10;
constexpr size_t PasswordOffset = 24;
constexpr size_t FixedBytes = 26;  // the block without the password

// 66 distinct characters; only the first 64 are addressed by 6-bit values.
extern const char AuthAlphabet[];

uint16_t Crc16Xmodem(const uint8_t* data, size_t size);

// Fills block (BlockSize bytes) with the unscrambled layout above and returns
// its length N, or 0 when the password does not fit into the block.
size_t BuildBlock(uint8_t* block, const char* user, const uint8_t random[4], const char time[10],
                  const char* password);

// Scrambles (or unscrambles: the operation is its own inverse) all bytes but
// the last.
void Scramble(uint8_t* block, size_t size);

// The value of the 6-bit group that starts at bit position `bit` (bit 0 is the
// least significant bit of byte 0), completed with zero bits past the end;
// -1 when `bit` lies past the end.
int SixBitGroup(const uint8_t* block, size_t size, size_t bit);

// Number of characters that Encode writes for a block of `size` bytes.
size_t EncodedLength(size_t size);

// Writes the block as alphabet characters plus a terminator; out must hold
// EncodedLength(size) + 1 characters.
void Encode(const uint8_t* block, size_t size, char* out);

// What the server learns from an authenticator text.
struct Decoded {
  char user[UserBytes + 1];  // the user name's first 10 bytes
  char time[TimeLength + 1];  // "YYMMDDhhmm"
  char password[BlockSize];
  int32_t debugLevel;
};

// Splits an authenticator text into its encoded block and the trailing debug
// level, decodes and unscrambles the block and checks its CRC.  False when no
// split yields a block with a valid CRC.
bool Decode(const char* text, Decoded* out);

}  // namespace auth
