// Test helpers for the port tests (see port_client.h).
#include "port/port_client.h"

#include <vector>

namespace port_test {

Client::Client(uint16_t port, const char* verb, const char* path, DWORD flags,
               DWORD timeoutMs) {
  session = InternetOpenA("port test", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) return;
  connection = InternetConnectA(session, "127.0.0.1", port, "", "", INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection) return;
  InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeoutMs, sizeof timeoutMs);
  request = HttpOpenRequestA(connection, verb, path, "HTTP/1.0", nullptr, nullptr, flags, 0);
}

Client::~Client() {
  if (session) InternetCloseHandle(session);
}

std::string ReadBody(HINTERNET request, DWORD piece, DWORD* error) {
  std::string body;
  std::vector<char> buffer(piece);
  *error = 0;
  for (;;) {
    DWORD read = 12345;
    if (!InternetReadFile(request, buffer.data(), piece, &read)) {
      *error = GetLastError();
      return body;
    }
    if (read == 0) return body;
    body.append(buffer.data(), read);
  }
}

}  // namespace port_test
