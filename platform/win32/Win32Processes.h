#pragma once

#include "platform/Processes.h"

namespace platform::win32 {

/// Programs started through CreateProcessW.
class Win32Processes : public Processes {
 public:
  bool RunAndWait(std::string_view commandLine, std::string_view currentDirectory,
                  std::stop_token stop = {}) override;
};

}  // namespace platform::win32
