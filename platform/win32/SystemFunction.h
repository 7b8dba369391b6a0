#pragma once

#include <windows.h>

namespace platform::win32 {

/// A function of a system library that the process has loaded (kernel32,
/// user32), looked up at run time because older Windows lacks it; nullptr
/// there.
template <class Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace platform::win32
