#pragma once

#include "core/SetupState.h"
#include "core/Ui.h"
#include "platform/Dialogs.h"

namespace wizard {

/// The question behind every cancel button and every close box:
/// "Setup beenden". True when the user answered Yes.
bool ConfirmCancel(platform::Dialogs& dialogs);

/// Ends the program: sets ExitState to -1 and closes the start-up form.
void EndProgram(core::SetupState& state, core::Ui& ui);

/// The cancel question of the pages: Yes ends the program; No changes
/// nothing. Returns whether it was Yes.
bool AskCancel(platform::Dialogs& dialogs, core::SetupState& state, core::Ui& ui);

}  // namespace wizard
