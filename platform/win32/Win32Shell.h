#pragma once

#include "platform/Shell.h"

namespace platform::win32 {

/// The shell through SHBrowseForFolderW, SHGetFolderPathW, the shell link
/// object and ShellExecuteW. Shortcuts need COM initialised on the calling thread.
class Win32Shell : public Shell {
 public:
  std::optional<std::string> BrowseForFolder(std::string_view prompt) override;
  std::string SpecialFolderPath(SpecialFolder folder) override;
  ShortcutResult WriteShortcut(const Shortcut& shortcut, std::string_view path) override;
  std::string ComputerName() override;
  std::string DisplayName(std::string_view path) override;
  bool RenameFolder(std::string_view from, std::string_view to) override;
  void OpenAddress(std::string_view address) override;
};

}  // namespace platform::win32
