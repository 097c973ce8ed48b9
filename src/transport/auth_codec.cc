// The authenticator block, its CRC, scrambling and 6-bit encoding (see auth_codec.h).
#include "transport/auth_codec.h"

#include <cstdlib>
#include <cstring>

namespace auth {

// Lower-case letters, the four URL-safe punctuation characters, upper-case
// letters and digits: the punctuation lies within the first 64.
const char AuthAlphabet[] = "abcdefghijklmnopqrstuvwxyz-._~ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

static_assert(sizeof(AuthAlphabet) == 67, "the alphabet has 66 characters");

uint16_t Crc16Xmodem(const uint8_t* data, size_t size) {
  uint16_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc ^= static_cast<uint16_t>(data[i]) << 8;
    for (int b = 0; b < 8; ++b) {
      crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
    }
  }
  return crc;
}

size_t BuildBlock(uint8_t* block, const char* user, const uint8_t random[4], const char time[10],
                  const char* password) {
  size_t passwordLength = password ? strlen(password) : 0;
  if (FixedBytes + passwordLength > BlockSize) return 0;
  memset(block, 0, BlockSize);
  if (user) {
    size_t n = strlen(user);
    memcpy(block, user, n < UserBytes ? n : UserBytes);
  }
  block[10] = random[0];
  block[11] = random[1];
  memcpy(block + TimeOffset, time, TimeLength);
  block[22] = random[2];
  block[23] = random[3];
  if (passwordLength) memcpy(block + PasswordOffset, password, passwordLength);
  size_t crcAt = PasswordOffset + passwordLength;
  uint16_t crc = Crc16Xmodem(block, crcAt);
  block[crcAt] = static_cast<uint8_t>(crc >> 8);
  block[crcAt + 1] = static_cast<uint8_t>(crc & 0xFF);
  return crcAt + 2;
}

void Scramble(uint8_t* block, size_t size) {
  if (size == 0) return;
  unsigned k = block[size - 1];
  for (size_t i = 0; i + 1 < size; ++i) {
    unsigned rotated = ((k >> 1) | (k << 7)) & 0xFF;
    k = (rotated + 21) & 0xFF;
    block[i] = static_cast<uint8_t>(block[i] ^ k);
  }
}

int SixBitGroup(const uint8_t* block, size_t size, size_t bit) {
  if (bit >= size * 8) return -1;
  int value = 0;
  for (int i = 0; i < 6; ++i) {
    size_t at = bit + i;
    if (at >= size * 8) break;
    if ((block[at / 8] >> (at % 8)) & 1) value |= 1 << i;
  }
  return value;
}

size_t EncodedLength(size_t size) { return (size * 8 + 5) / 6; }

void Encode(const uint8_t* block, size_t size, char* out) {
  size_t n = 0;
  for (size_t bit = 0;; bit += 6) {
    int group = SixBitGroup(block, size, bit);
    if (group < 0) break;
    out[n++] = AuthAlphabet[group];
  }
  out[n] = '\0';
}

namespace {

int AlphabetValue(char c) {
  for (int i = 0; i < 64; ++i) {
    if (AuthAlphabet[i] == c) return i;
  }
  return -1;
}

// Reverses Encode for `length` characters into a block of `size` bytes.
bool DecodeBits(const char* text, size_t length, uint8_t* block, size_t size) {
  memset(block, 0, size);
  for (size_t g = 0; g < length; ++g) {
    int value = AlphabetValue(text[g]);
    if (value < 0) return false;
    for (int i = 0; i < 6; ++i) {
      size_t at = g * 6 + i;
      if (!((value >> i) & 1)) continue;
      if (at >= size * 8) return false;  // padding bits must be zero
      block[at / 8] = static_cast<uint8_t>(block[at / 8] | (1u << (at % 8)));
    }
  }
  return true;
}

bool ParseLevel(const char* digits, int32_t* level) {
  const char* p = digits;
  if (*p == '-') ++p;
  if (!*p) return false;
  for (const char* q = p; *q; ++q) {
    if (*q < '0' || *q > '9') return false;
  }
  *level = static_cast<int32_t>(strtol(digits, nullptr, 10));
  return true;
}

}  // namespace

bool Decode(const char* text, Decoded* out) {
  size_t total = strlen(text);
  // The debug level ("%d") follows the encoded block; try the shortest first.
  for (size_t digits = 1; digits <= 11 && digits < total; ++digits) {
    size_t encoded = total - digits;
    size_t size = encoded * 6 / 8;
    if (size < FixedBytes || size > BlockSize || EncodedLength(size) != encoded) continue;
    int32_t level = 0;
    if (!ParseLevel(text + encoded, &level)) continue;
    uint8_t block[BlockSize];
    if (!DecodeBits(text, encoded, block, size)) continue;
    Scramble(block, size);
    uint16_t crc = Crc16Xmodem(block, size - 2);
    if (block[size - 2] != (crc >> 8) || block[size - 1] != (crc & 0xFF)) continue;
    memcpy(out->user, block, UserBytes);
    out->user[UserBytes] = '\0';
    memcpy(out->time, block + TimeOffset, TimeLength);
    out->time[TimeLength] = '\0';
    size_t passwordLength = size - FixedBytes;
    memcpy(out->password, block + PasswordOffset, passwordLength);
    out->password[passwordLength] = '\0';
    out->debugLevel = level;
    return true;
  }
  return false;
}

}  // namespace auth
