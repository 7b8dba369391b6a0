#pragma once

#include <memory>

#include "platform/Platform.h"

namespace platform::win32 {

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
