// Password salting and hashing with OpenSSL (see password.h).
#include "password.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace edb {

namespace {

constexpr size_t kSaltBytes = 16;

std::string ToHex(const unsigned char* data, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    hex.push_back(digits[data[i] >> 4]);
    hex.push_back(digits[data[i] & 15]);
  }
  return hex;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hex to bytes; malformed hex gives what could be read (the hash then fails).
std::vector<unsigned char> FromHex(std::string_view hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) break;
    bytes.push_back(static_cast<unsigned char>(hi * 16 + lo));
  }
  return bytes;
}

}  // namespace

std::string PasswordHash(std::string_view saltHex, std::string_view password) {
  std::vector<unsigned char> input = FromHex(saltHex);
  input.insert(input.end(), password.begin(), password.end());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
    throw std::runtime_error("SHA-256 failed");
  }
  OPENSSL_cleanse(input.data(), input.size());
  return ToHex(digest, length);
}

LoginUser MakeLoginUser(std::string_view name, std::string_view password) {
  unsigned char salt[kSaltBytes];
  if (RAND_bytes(salt, sizeof salt) != 1) throw std::runtime_error("no random bytes for the salt");
  LoginUser user;
  user.name = std::string(name);
  user.salt = ToHex(salt, sizeof salt);
  user.hash = PasswordHash(user.salt, password);
  return user;
}

bool PasswordMatches(const LoginUser& user, std::string_view password) {
  std::string hash = PasswordHash(user.salt, password);
  return hash.size() == user.hash.size() && CRYPTO_memcmp(hash.data(), user.hash.data(), hash.size()) == 0;
}

}  // namespace edb
