#pragma once

// The uninstaller from its start to its exit code: the command line, the
// checks of Uninstall.inf, the question, the removal and the closing message.

#include "platform/Platform.h"
#include "uninstall/RemovalView.h"

namespace uninstall {

/// The exit codes of the uninstaller.
enum ExitCode : int {
  /// The product was removed (files in use go at the next restart; folders
  /// holding the user's own files stay).
  kRemoved = 0,
  /// The user answered No: nothing was changed.
  kCancelled = 1,
  /// Nothing was changed because the command line or Uninstall.inf was
  /// unusable, or some item could not be removed.
  kRefusedOrFailed = 2,
};

/// Runs the uninstaller on the command line of `platform.system`: the path
/// of an Uninstall.inf and, optionally, "/silent" (no questions, no windows,
/// no messages). Shows messages through `platform.dialogs` and the progress
/// on `view`.
int RunUninstaller(platform::Platform& platform, RemovalView& view);

}  // namespace uninstall
