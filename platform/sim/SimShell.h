#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/sim/SimFiles.h"

namespace platform::sim {

/// The shell of the simulated machine: the folder browser answers from a
/// script, the special folders are a table (below C:\Users\Sim by default),
/// shortcuts are written as .lnk files through the simulated file system,
/// recording the type, serial number and label of the target's drive.
class SimShell : public Shell {
 public:
  explicit SimShell(SimFiles& files);

  std::optional<std::string> BrowseForFolder(std::string_view prompt) override;
  std::string SpecialFolderPath(SpecialFolder folder) override;
  ShortcutResult WriteShortcut(const Shortcut& shortcut, std::string_view path) override;
  /// "Arbeitsplatz".
  std::string ComputerName() override;
  /// A drive root gives its label, or without one the kind of drive as a
  /// German Windows names it, then " (X:)"; any other existing path its last
  /// component.
  std::string DisplayName(std::string_view path) override;
  /// Renames on the simulated file system.
  bool RenameFolder(std::string_view from, std::string_view to) override;
  void OpenAddress(std::string_view address) override { openedAddresses.emplace_back(address); }

  /// Answers of the next folder browsers, in order: a path is chosen,
  /// nullopt cancels. A browser shown with nothing queued is cancelled.
  std::deque<std::optional<std::string>> choices;
  /// The prompt of every browser shown, in order.
  std::vector<std::string> prompts;
  std::map<SpecialFolder, std::string> folders;
  /// Every address asked to be opened, in order.
  std::vector<std::string> openedAddresses;
  /// Set when the system offers no shell link object.
  bool shellLinkDenied = false;

 private:
  SimFiles& files_;
};

}  // namespace platform::sim
