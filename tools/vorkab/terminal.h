// Text on the terminal: the server's ISO 8859-1 names and the library's
// messages in the terminal's encoding (UTF-8 or Latin-1, from the locale),
// command-line words read back the same way, and transport error numbers
// explained in plain words.
#pragma once

#include <string>

// Reads the terminal's encoding from the locale (LANG, LC_ALL, LC_CTYPE).
void InitTerminalEncoding();

// Wide text (one character a code point, as the library hands it out) for
// printing; characters the terminal cannot show become '?'.
std::string ForTerminal(const std::wstring& text);
// ISO 8859-1 bytes (the library's error text) for printing.
std::string Latin1ForTerminal(const std::string& latin1);
// A command-line word as wide text: UTF-8 on a UTF-8 terminal (Latin-1
// bytes where it is not valid UTF-8), else Latin-1.
std::wstring FromTerminal(const std::string& word);

// The text with "error 12029" and the like followed by what the number means
// ("error 12029 (cannot connect to the server)").
std::string ExplainTransportErrors(const std::string& text);
