#pragma once

// Carries out a removal plan and tells what became of each item.

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "uninstall/PathRules.h"
#include "uninstall/RemovalPlan.h"
#include "uninstall/RemovalView.h"

namespace uninstall {

/// Why a folder of the installation stayed, from the weightiest reason on;
/// a folder that holds one of the installation's folders that stayed has
/// that folder's reason too.
enum class KeptReason {
  /// Windows refused to remove it although nothing else is in it.
  Refused,
  /// It holds installed files that could not be deleted yet.
  FilesLeft,
  /// It holds folders that are not the installation's.
  OthersFolders,
  /// It holds files that were not installed.
  OthersFiles,
};

struct KeptFolder {
  std::string path;
  KeptReason reason = KeptReason::Refused;
};

struct RemovalReport {
  int files = 0;
  int shortcuts = 0;
  int folders = 0;
  int registryValues = 0;
  /// Files in use, marked for deletion at the next start of Windows.
  std::vector<std::string> atRestart;
  /// Folders the removal tried and that are still there, in the order tried.
  std::vector<KeptFolder> kept;
  /// What could neither be removed nor marked for removal.
  std::vector<std::string> failed;
  /// What the plan left alone, with the reason.
  std::vector<std::string> skipped;
};

/// Removes the plan's items in order, showing each on `view` (nullptr for
/// none) and letting the program handle its messages in between. Something
/// already gone counts as neither removed nor failed.
RemovalReport CarryOut(const RemovalPlan& plan, platform::Platform& platform, RemovalView* view);

/// The closing message: what was removed and what was left, in German.
std::string ClosingMessage(std::string_view product, const RemovalReport& report);

}  // namespace uninstall
