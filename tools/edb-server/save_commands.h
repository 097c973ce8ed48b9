// The commands of the save script "iedbvksave2.cgi", which travel in the POST
// body: createempty, saveedbrsrc, savexxxdb and savegrid.
#pragma once

#include <string>
#include <string_view>

#include "reply.h"
#include "store.h"

namespace edb {

// loginUser: the full name of the user whose authenticator was accepted.
Reply HandleSaveCommand(Store& store, const std::string& loginUser, std::string_view body);

// True when name may be given to a new EDB: 1 to 255 bytes, no control
// characters and none of the characters that break a request URL ("&%#").
bool IsValidEdbName(std::string_view name);

}  // namespace edb
