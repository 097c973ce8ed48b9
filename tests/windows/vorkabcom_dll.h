// VORKABCOM.dll as a workbook's host process sees it: loaded with LoadLibrary
// from the folder of the running program, its exports found by name with
// GetProcAddress.  Exports that the DLL does not have yet come back null, so
// the tests that need them can say so and skip.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "vorkabcom.h"

// Signatures of the exports that src/vorkabcom.h does not declare yet.
using VKNoArgsFn = int32_t(VKAPI*)();
using VKModeCountFn = int32_t(VKAPI*)(int32_t mode, wchar_t* count);
using VKSubTransferFn = int32_t(VKAPI*)(int32_t mode, int32_t list, wchar_t* count);
using VKTimevarTransferFn = int32_t(VKAPI*)(int32_t kind, int32_t mode, wchar_t* count);
using VKFlagsCountFn = int32_t(VKAPI*)(int32_t flags, wchar_t* count);
using VKFirstBufferFn = int32_t(VKAPI*)(int32_t first, wchar_t* buffer);

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
