// Access rules per role (see access_rules.h).
#include "access_rules.h"

#include "reply.h"
#include "save_body.h"

namespace edb {

std::string AccessRefusal(Store& store, const AuthOutcome& login, std::string_view database,
                          std::string_view edbUser, AccessKind kind) {
  if (login.admin) return std::string();
  if (edbUser.empty()) return "no EDB user chosen";
  if (edbUser == login.user) return std::string();
  bool write = kind == AccessKind::kWrite;
  if (store.IsSharedEdbUser(database, edbUser)) {
    if (!write) return std::string();
    return "only an administrator may change the shared EDB user " + Shown(edbUser);
  }
  return "login user " + Shown(login.user) + " may not " + (write ? "change" : "read") + " the EDBs of EDB user " +
         Shown(edbUser);
}

std::string RequestRefusal(Store& store, const AuthOutcome& login, std::string_view script,
                           const std::vector<std::string>& args, std::string_view body) {
  if (script == "iedbvk2.cgi") {
    // Fields: database, command, EDB user, EDB name, ...
    if (args.size() < 3) return std::string();  // no EDB named: the command refuses
    const std::string& command = args[1];
    if (command == "listdb" || command == "listedbusers") return std::string();
    return AccessRefusal(store, login, args[0], args[2], AccessKind::kRead);
  }
  if (script == "iedbvksave2.cgi") {
    SaveHeader header;
    std::string reason;
    if (!ReadSaveHeader(body, &header, &reason)) return std::string();  // the command refuses
    if (header.command == "createempty") return std::string();  // made for the login user itself
    return AccessRefusal(store, login, header.database, header.edbUser, AccessKind::kWrite);
  }
  return std::string();
}

}  // namespace edb
