#include "app/ExitCode.h"

namespace app {

int ExitCodeOf(const core::SetupState& state) {
  using core::RunOutcome;
  switch (state.Outcome) {
    case RunOutcome::NotStarted:
      return kExitCancelled;
    case RunOutcome::ControlFileMissing:
      return kExitNoControlFile;
    case RunOutcome::AlreadyRunning:
      return kExitAlreadyRunning;
    case RunOutcome::MediaStopped:
      return kExitMediaStopped;
    case RunOutcome::Refused:
    case RunOutcome::Started:
      return kExitFailed;
    case RunOutcome::Cancelled:
      return kExitCancelledDuringRun;
    case RunOutcome::NewerInstalled:
      return kExitNewerInstalled;
    case RunOutcome::Installed:
      return kExitInstalled;
    case RunOutcome::RestartPending:
      return kExitRestartPending;
  }
  return kExitFailed;
}

}  // namespace app
