#pragma once

#include <stop_token>

#include "engine/InstallPhases.h"
#include "engine/InstallView.h"
#include "engine/RunSettings.h"
#include "platform/Dialogs.h"

namespace engine {

/// How a run ended when it returned. An exception the run does not handle
/// leaves it instead; whoever started the run shows the exception.
enum class RunEnd {
  Completed,
  /// The user ended the program: the stop was requested.
  Stopped,
  /// Joining the installation media stopped in order (a part was not found,
  /// or a medium could not be read); the user has been told.
  MediaStopped,
};

/// What the run decided, for the windows to follow.
struct RunResult {
  RunEnd end = RunEnd::Completed;
  /// Completed: the restart page follows instead of the finish page.
  bool restartPage = false;
  /// The registry region failed, so the uninstall shortcut and Uninstall.inf
  /// were made although the settings did not ask for them.
  bool uninstallShortcutForced = false;
};

/// The installation run: every phase from first to last with the status
/// texts and progress the user sees. It may run on a thread of its own: it
/// touches nothing but `settings` (its own copy), the view, the phases and
/// the message boxes. Once `stop` is requested it ends at the next step
/// (the archive component and component programs end within theirs), with
/// the clean-ups of the regions it leaves.
RunResult RunInstallation(RunSettings& settings, InstallView& view, InstallPhases& phases,
                          platform::Dialogs& dialogs, std::stop_token stop);

}  // namespace engine
