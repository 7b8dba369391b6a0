#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace platform::sim {

/// The shell of the simulated machine: the folder browser answers from a
/// script, the special folders are a table (below C:\Users\Sim by default).
class SimShell : public Shell {
 public:
  SimShell();

  std::optional<std::string> BrowseForFolder(std::string_view prompt) override;
  std::string SpecialFolderPath(SpecialFolder folder) override;

  /// Answers of the next folder browsers, in order: a path is chosen,
  /// nullopt cancels. A browser shown with nothing queued is cancelled.
  std::deque<std::optional<std::string>> choices;
  /// The prompt of every browser shown, in order.
  std::vector<std::string> prompts;
  std::map<SpecialFolder, std::string> folders;
};

}  // namespace platform::sim
