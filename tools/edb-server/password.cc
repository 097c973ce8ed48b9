// Password hashing with OpenSSL's PBKDF2 (see password.h).
#include "password.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace edb {

namespace {

constexpr size_t kSaltBytes = 16;
constexpr size_t kKeyBytes = 32;
constexpr std::string_view kScheme = "pbkdf2-sha256$";
// Records with more iterations are refused rather than computed: a broken
// store must not stall every login.
constexpr uint32_t kMaxIterations = 100000000;

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

// The iteration count of a PBKDF2 record; 0 for any other record.
uint32_t RecordIterations(std::string_view record) {
  if (record.compare(0, kScheme.size(), kScheme) != 0) return 0;
  std::string_view rest = record.substr(kScheme.size());
  size_t dollar = rest.find('$');
  if (dollar == 0 || dollar == std::string_view::npos || dollar > 9) return 0;
  uint32_t n = 0;
  for (char c : rest.substr(0, dollar)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<uint32_t>(c - '0');
  }
  return n <= kMaxIterations ? n : 0;
}

// The record of the first stores: hex SHA-256 of the salt bytes and the password.
std::string LegacyHash(std::string_view saltHex, std::string_view password) {
  std::vector<unsigned char> input = FromHex(saltHex);
  input.insert(input.end(), password.begin(), password.end());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  bool ok = EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha256(), nullptr) == 1;
  OPENSSL_cleanse(input.data(), input.size());
  if (!ok) throw std::runtime_error("SHA-256 failed");
  return ToHex(digest, length);
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::string PasswordHash(std::string_view saltHex, std::string_view password, uint32_t iterations) {
  std::vector<unsigned char> salt = FromHex(saltHex);
  unsigned char key[kKeyBytes];
  if (iterations == 0 ||
      PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                        static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(), sizeof key,
                        key) != 1) {
    throw std::runtime_error("PBKDF2 failed");
  }
  std::string record = std::string(kScheme) + std::to_string(iterations) + "$" + ToHex(key, sizeof key);
  OPENSSL_cleanse(key, sizeof key);
  return record;
}

LoginUser MakeLoginUser(std::string_view name, std::string_view password, bool admin) {
  unsigned char salt[kSaltBytes];
  if (RAND_bytes(salt, sizeof salt) != 1) throw std::runtime_error("no random bytes for the salt");
  LoginUser user;
  user.name = std::string(name);
  user.salt = ToHex(salt, sizeof salt);
  user.hash = PasswordHash(user.salt, password, kPasswordIterations);
  user.admin = admin;
  return user;
}

bool PasswordMatches(const LoginUser& user, std::string_view password) {
  uint32_t iterations = RecordIterations(user.hash);
  if (iterations != 0) return SameText(PasswordHash(user.salt, password, iterations), user.hash);
  if (user.hash.size() != 64 || user.hash.find('$') != std::string::npos) return false;
  return SameText(LegacyHash(user.salt, password), user.hash);
}

bool NeedsRehash(const LoginUser& user) { return RecordIterations(user.hash) < kPasswordIterations; }

}  // namespace edb
