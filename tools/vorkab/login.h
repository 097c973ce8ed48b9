// Logging in through the library's exports with the command line's server,
// user and password (the password from VORKAB_PASSWORD or the terminal).
#pragma once

#include <string>

struct LoginOptions {
  std::string server;    // --server, else VORKAB_SERVER
  std::string user;      // --user, else VORKAB_USER
  std::string pin;       // --pin, else VORKAB_PIN: the server certificate's fingerprint
  std::string log;       // --log LEVEL[,PATH]
  std::string database = "REF";
  std::string edbUser;   // empty: the login user
  std::string edb;
};

// A password can be had: VORKAB_PASSWORD is set or standard input is a terminal.
bool PasswordAvailable();

// Reads the password without echo when standard input is a terminal.
std::string ReadPassword(const std::string& prompt);

// VKInit and the selection; false with a message on stderr.
bool Login(const LoginOptions& options);

// The library's error text (VKError), empty when there is none.
std::string LibraryError();

std::wstring ToWide(const std::string& text);
std::string FromWide(const std::wstring& text);
