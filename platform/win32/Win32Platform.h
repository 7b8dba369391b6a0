#pragma once

#include <memory>

#include "platform/Platform.h"

namespace platform::win32 {

/// Makes Windows look for libraries loaded by name in the system folder
/// only, never in the program's own folder or the current directory: a
/// setup runs from download folders, where anybody may have put a DLL of
/// a well-known name. To be called first thing in WinMain. Windows 7
/// without the update that brought it keeps its usual search order.
void LoadLibrariesFromTheSystemFolderOnly();

/// The services of the real machine, through the Win32 W functions. Create
/// one on the GUI thread; it lives as long as the program.
class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& platform();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::win32
