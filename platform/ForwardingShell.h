#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Shell.h"

namespace platform {

/// A shell that hands every call to another one; the program's shells
/// derive from it and change what they change.
class ForwardingShell : public Shell {
 public:
  explicit ForwardingShell(Shell& inner) : inner_(inner) {}

  std::optional<std::string> BrowseForFolder(std::string_view prompt) override {
    return inner_.BrowseForFolder(prompt);
  }
  std::string SpecialFolderPath(SpecialFolder folder) override {
    return inner_.SpecialFolderPath(folder);
  }
  ShortcutResult WriteShortcut(const Shortcut& shortcut,
                                         std::string_view path) override {
    return inner_.WriteShortcut(shortcut, path);
  }
  void OpenAddress(std::string_view address) override { inner_.OpenAddress(address); }
  std::string ComputerName() override { return inner_.ComputerName(); }
  std::string DisplayName(std::string_view path) override { return inner_.DisplayName(path); }
  bool RenameFolder(std::string_view from, std::string_view to) override {
    return inner_.RenameFolder(from, to);
  }

 protected:
  Shell& inner_;
};

}  // namespace platform
