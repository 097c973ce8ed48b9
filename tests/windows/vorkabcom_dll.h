// VORKABCOM.dll as a workbook's host process sees it: loaded with LoadLibrary
// from the folder of the running program, its exports found by name with
// GetProcAddress (null for a name the DLL does not export).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "vorkabcom.h"

class VorkabDll {
 public:
  // The DLL of this process, loaded on first use.
  static VorkabDll& Get();

  bool ok() const { return module_ != nullptr; }
  const std::string& error() const { return error_; }
  const std::wstring& path() const { return path_; }

  // The export's address, or null when the DLL does not export the name.
  void* Address(const char* name) const;

  template <class Fn>
  Fn Find(const char* name) const {
    return reinterpret_cast<Fn>(Address(name));
  }

 private:
  VorkabDll();
  HMODULE module_ = nullptr;
  std::wstring path_;
  std::string error_;
};

// The export `name` with the type of its declaration in vorkabcom.h.
#define VK_EXPORT(name) (VorkabDll::Get().Find<decltype(&::name)>(#name))
