// Finding the EDB that a request names (database, EDB user, EDB name), with
// the refusal line when there is none.
#pragma once

#include <string>
#include <string_view>

#include "reply.h"
#include "store.h"

namespace edb {

// The reason for a failed lookup, for an "Error:" line.
std::string LookupFailure(Lookup status, std::string_view database, std::string_view edbUser,
                          std::string_view edbName);

// Finds the EDB; on failure sets *refusal and returns false.
bool ResolveEdb(Store& store, std::string_view database, std::string_view edbUser, std::string_view edbName,
                int64_t* edbId, Reply* refusal);

}  // namespace edb
