#pragma once

#include "core/SetupState.h"
#include "core/Ui.h"
#include "platform/Dialogs.h"

namespace wizard {

/// The question behind every cancel button and every close box of the pages:
/// "Setup beenden". Yes sets ExitState to -1 and closes the start-up form,
/// which ends the program; No changes nothing. Returns whether it was Yes.
bool AskCancel(platform::Dialogs& dialogs, core::SetupState& state, core::Ui& ui);

}  // namespace wizard
