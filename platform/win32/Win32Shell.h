#pragma once

#include "platform/Shell.h"

namespace platform::win32 {

/// The shell through SHBrowseForFolderW and SHGetFolderPathW.
class Win32Shell : public Shell {
 public:
  std::optional<std::string> BrowseForFolder(std::string_view prompt) override;
  std::string SpecialFolderPath(SpecialFolder folder) override;
};

}  // namespace platform::win32
