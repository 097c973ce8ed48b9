// Command-line text to the server's 8-bit text: names and passwords typed in
// a UTF-8 terminal become ISO 8859-1, as the library sends them.
#pragma once

#include <string>
#include <string_view>

namespace edb {

// text converted from UTF-8 to ISO 8859-1 when it is valid UTF-8 and every
// character fits; otherwise text unchanged (taken as ISO 8859-1 already).
std::string Utf8ToLatin1(std::string_view text);

}  // namespace edb
