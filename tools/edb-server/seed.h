// The demonstration data of `--seed demo`: databases, EDB users, EDBs, a
// realistic resource file and the login user demo (password demo).
#pragma once

#include "store.h"

namespace edb {

// Fills an empty store; does nothing and returns false when the store
// already holds data.
bool SeedDemo(Store& store);

}  // namespace edb
