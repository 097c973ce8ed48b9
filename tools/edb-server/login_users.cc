// The --add-user command (see login_users.h).
#include "login_users.h"

#include <openssl/crypto.h>

#include "latin1.h"
#include "password.h"

namespace edb {

bool IsValidLoginName(std::string_view name) {
  if (name.empty() || name.size() > kMaxLoginNameBytes) return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || ch == ';' || ch == '&' || ch == '%' || ch == '#') return false;
  }
  return true;
}

int AddLoginUserCommand(Store& store, const std::string& rawName, bool admin, std::istream& input,
                        std::string* message) {
  std::string name = Utf8ToLatin1(rawName);
  if (!IsValidLoginName(name)) {
    *message = "invalid user name: 1 to 63 bytes without control characters or any of ;&%#";
    return 2;
  }
  std::string line;
  if (!std::getline(input, line)) {
    *message = "no password on stdin";
    return 1;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::string password = Utf8ToLatin1(line);
  OPENSSL_cleanse(&line[0], line.size());
  if (password.size() > kMaxPasswordBytes) {
    OPENSSL_cleanse(&password[0], password.size());
    *message = "the password is too long (at most 164 bytes)";
    return 1;
  }
  LoginUser user = MakeLoginUser(name, password, admin);
  OPENSSL_cleanse(&password[0], password.size());
  bool added = store.AddLoginUser(user);
  *message = (added ? "added " : "changed the password and role of ") + std::string(admin ? "administrator " : "user ") +
             rawName;
  return 0;
}

}  // namespace edb
