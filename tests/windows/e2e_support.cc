// The end-to-end program's shared part: VORKABCOM.dll loaded from the
// program's folder, the servers scripts/wine-tests.sh started (handed over
// through the environment), the diagnostic log, the login through the
// exports, and the start that hands the DLL the substitute host's entry point
// and makes the process's first login (log at level 2) before the tests run.
#include "windows/e2e_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "windows/vorkabcom_dll.h"

#ifdef VORKAB_HAVE_SHEETHOST
#include "sheethost/host.h"
#endif

namespace {

int32_t g_firstLogin = -2;

class DllEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    VorkabDll& dll = VorkabDll::Get();
    ASSERT_TRUE(dll.ok()) << dll.error();
    auto setEntry = VK_EXPORT(SetExcel12EntryPt);
    ASSERT_NE(setEntry, nullptr) << "VORKABCOM.dll does not export SetExcel12EntryPt";
#ifdef VORKAB_HAVE_SHEETHOST
    setEntry(sheethost::Host::EntryPoint());
#endif
    ASSERT_FALSE(HttpServerUrl().empty()) << "VORKAB_E2E_HTTP names no server";
    std::remove(LogPath().c_str());
    SetFirstLoginResult(Login(L"demo,2," + Widen(LogPath()), HttpServerUrl()));
  }
};

}  // namespace

VorkabDll& VorkabDll::Get() {
  static VorkabDll dll;
  return dll;
}

VorkabDll::VorkabDll() {
  wchar_t program[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    error_ = "GetModuleFileName failed";
    return;
  }
  path_.assign(program, n);
  size_t slash = path_.find_last_of(L"\\/");
  path_ = (slash == std::wstring::npos ? L"" : path_.substr(0, slash + 1)) + L"VORKABCOM.dll";
  module_ = LoadLibraryW(path_.c_str());
  if (!module_) error_ = "LoadLibrary(VORKABCOM.dll) failed with error " + std::to_string(GetLastError());
}

void* VorkabDll::Address(const char* name) const {
  if (!module_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module_, name));
}

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

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new DllEnvironment);
  return RUN_ALL_TESTS();
}
