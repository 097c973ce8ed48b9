// The names a request carries (database, EDB user, EDB name, grid name): a
// name the server could not read back as typed is refused before anything is
// sent, and a name that goes into a URL is percent-encoded there.
#pragma once

#include <string>

// True when `name` can travel in a request URL and as a line of a save body:
// every character has an ISO 8859-1 form and none is a control character
// (a line break would add a line to the body) or '&' (it separates the
// fields of a URL).  An empty name passes only when `mayBeEmpty`.  Otherwise
// sets ErrorText with a message that names `label` (e.g. "EDB user") and
// returns false.
// REQUIRES: label is a short noun phrase in lower case.
bool RequestNameFits(const char* label, const wchar_t* name, bool mayBeEmpty = true);

// The name as it stands in a URL field: letters, digits and "-._~" as they
// are, every other character as %XX of its ISO 8859-1 byte.
// REQUIRES: RequestNameFits(..., name) holds.
std::wstring UrlField(const wchar_t* name);
