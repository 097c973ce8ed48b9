// Shared helpers of the end-to-end tests (see e2e_support.h).
#include "windows/e2e_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "windows/vorkabcom_dll.h"

namespace {

int32_t g_firstLogin = -2;

}  // namespace

std::string HttpServerUrl() {
  const char* url = std::getenv("VORKAB_E2E_HTTP");
  return url ? url : "";
}

std::string HttpsServerUrl() {
  const char* url = std::getenv("VORKAB_E2E_HTTPS");
  return url ? url : "";
}

std::string LogPath() {
  char folder[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof folder, folder);
  std::string path = (n > 0 && n < sizeof folder) ? std::string(folder, n) : std::string("C:\\");
  if (path.back() != '\\') path += '\\';
  return path + "vorkab-e2e.log";
}

std::string ReadLog() {
  std::string text;
  FILE* f = std::fopen(LogPath().c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

int32_t Login(const std::wstring& userText, const std::string& url, const std::wstring& password) {
  auto init = VK_EXPORT(VKInit);
  if (!init) return -2;
  std::vector<wchar_t> user(userText.begin(), userText.end());
  user.push_back(L'\0');
  std::wstring server = L"Kalvoro:" + Widen(url);
  return init(user.data(), password.c_str(), L"", server.c_str(), L"", L"", 0);
}

int32_t FirstLoginResult() { return g_firstLogin; }
void SetFirstLoginResult(int32_t result) { g_firstLogin = result; }

std::wstring Widen(const std::string& text) {
  std::wstring wide;
  for (unsigned char c : text) wide += static_cast<wchar_t>(c);
  return wide;
}
