// The read and list commands of the script "iedbvk2.cgi": listdb,
// listedbusers, listedbnames, loadedbrsrc, loadxxxdb, loadsubs, and the grid
// reads.
#pragma once

#include <string>
#include <vector>

#include "reply.h"
#include "store.h"

namespace edb {

// fields: the request fields after the script name, that is database,
// command, EDB user, EDB name and the command's own fields.
Reply HandleReadCommand(Store& store, const std::vector<std::string>& fields);

}  // namespace edb
