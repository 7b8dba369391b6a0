#pragma once

#include "core/SetupState.h"

namespace app {

/// The exit codes of Setup.exe, for scripts that start it (the README has
/// the table).
enum ExitCode : int {
  kExitInstalled = 0,
  kExitCancelled = 1,
  kExitNoControlFile = 2,
  kExitMediaStopped = 3,
  kExitFailed = 4,
  kExitAlreadyRunning = 5,
  kExitCancelledDuringRun = 6,
  kExitNewerInstalled = 7,
  // ERROR_SUCCESS_REBOOT_REQUIRED, what Windows Installer ends with too.
  kExitRestartPending = 3010,
};

/// The exit code for how far the program got.
int ExitCodeOf(const core::SetupState& state);

}  // namespace app
