#pragma once

#include "core/SetupState.h"
#include "engine/InstallPhases.h"
#include "engine/InstallView.h"
#include "platform/Dialogs.h"

namespace engine {

/// How a run ended when it returned. An exception the run does not handle
/// leaves it instead; the form that started it shows the exception.
enum class RunEnd {
  Completed,
  /// The user ended the program, or a component program asked to stop.
  Stopped,
  /// Joining the installation media stopped in order (a part was not found).
  MediaStopped,
};

/// The installation run of the installation form's Timer1: every phase from
/// first to last with the status texts and progress the user sees.
RunEnd RunInstallation(core::SetupState& state, InstallView& view, InstallPhases& phases,
                       platform::Dialogs& dialogs);

}  // namespace engine
