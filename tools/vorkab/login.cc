// Login for the command-line host (see login.h).
#include "login.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <vector>

#include "terminal.h"
#include "vorkabcom.h"
#include "watchdog.h"

std::wstring ToWide(const std::string& text) {
  std::wstring out;
  for (unsigned char c : text) out.push_back(static_cast<wchar_t>(c));
  return out;
}

std::string FromWide(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(static_cast<unsigned long>(c) <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

bool PasswordAvailable() { return getenv("VORKAB_PASSWORD") != nullptr || isatty(STDIN_FILENO); }

std::string ReadPassword(const std::string& prompt) {
  if (const char* env = getenv("VORKAB_PASSWORD")) return env;
  std::string password;
  std::cerr << prompt << std::flush;
  termios old {};
  tcgetattr(STDIN_FILENO, &old);
  termios quiet = old;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  std::getline(std::cin, password);
  tcsetattr(STDIN_FILENO, TCSANOW, &old);
  std::cerr << "\n";
  return password;
}

std::string LibraryError() {
  std::vector<char> buffer(10240);
  VKError(buffer.data(), static_cast<int32_t>(buffer.size()));
  return buffer.data();
}

bool Login(const LoginOptions& options) {
  if (options.server.empty() || options.user.empty()) {
    std::cerr << "vorkab: give --server and --user (or VORKAB_SERVER and VORKAB_USER)\n";
    return false;
  }
  std::string password = ReadPassword("Password for " + options.user + ": ");
  std::wstring userText = FromTerminal(options.user + (options.log.empty() ? "" : "," + options.log));
  std::vector<wchar_t> user(userText.begin(), userText.end());
  user.push_back(L'\0');
  // The library takes the address after a label and a colon.
  std::wstring server = L"Kalvoro:" + ToWide(options.server);
  if (!options.pin.empty()) {
    // The library reads the pin as an option of the server address.
    server += L";pin=" + ToWide(options.pin.compare(0, 7, "sha256:") == 0 ? options.pin : "sha256:" + options.pin);
  }
  std::wstring wpassword = ToWide(password);
  int32_t r;
  {
    ServerCall guard("logging in to " + options.server);
    r = VKInit(user.data(), wpassword.c_str(), L"", server.c_str(), L"", L"", 0);
  }
  if (r < 0) {
    std::cerr << "vorkab: login failed: " << ExplainTransportErrors(Latin1ForTerminal(LibraryError())) << "\n";
    return false;
  }
  VKDatabaseSet(FromTerminal(options.database).c_str());
  // The EDB user defaults to the login user.
  VKEdbUserSet(FromTerminal(options.edbUser.empty() ? options.user : options.edbUser).c_str());
  if (!options.edb.empty()) VKEdbNameSet(FromTerminal(options.edb).c_str());
  return true;
}
