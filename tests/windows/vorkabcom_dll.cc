// Loading VORKABCOM.dll for the end-to-end tests (see vorkabcom_dll.h).
#include "windows/vorkabcom_dll.h"

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
