// EDB lookup with refusal lines (see edb_lookup.h).
#include "edb_lookup.h"

namespace edb {

std::string LookupFailure(Lookup status, std::string_view database, std::string_view edbUser,
                          std::string_view edbName) {
  switch (status) {
    case Lookup::kNoDatabase:
      return "unknown database " + Shown(database);
    case Lookup::kNoEdbUser:
      if (edbUser.empty()) return "no EDB user chosen";
      return "unknown EDB user " + Shown(edbUser) + " in database " + Shown(database);
    case Lookup::kNoEdb:
      if (edbUser == kGlobalEdbUser) return "database " + Shown(database) + " has no shared EDB";
      return "unknown EDB " + Shown(edbName) + " of EDB user " + Shown(edbUser);
    case Lookup::kOk:
      break;
  }
  return "lookup failed";
}

bool ResolveEdb(Store& store, std::string_view database, std::string_view edbUser, std::string_view edbName,
                int64_t* edbId, Reply* refusal) {
  EdbRef ref = store.FindEdb(database, edbUser, edbName);
  if (ref.status != Lookup::kOk) {
    *refusal = Reply::Error(LookupFailure(ref.status, database, edbUser, edbName));
    return false;
  }
  *edbId = ref.id;
  return true;
}

}  // namespace edb
