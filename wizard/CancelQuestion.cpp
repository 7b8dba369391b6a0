#include "wizard/CancelQuestion.h"

namespace wizard {

bool ConfirmCancel(platform::Dialogs& dialogs) {
  constexpr std::string_view kQuestion =
      "Das Setup ist noch nicht vollständig.\r"
      "Wenn Sie jetzt beenden, wird das Programm nicht auf Ihrem Computer installiert.\r"
      "\r"
      "Sie können Setup zu einem späteren Zeitpunkt neu starten, um die Installation "
      "fortzusetzen.\r"
      "Soll Setup jetzt beendet werden?";
  return dialogs.MessageBox("Setup beenden", kQuestion, platform::MsgButtons::YesNo,
                            platform::MsgIcon::Question) == platform::MsgAnswer::Yes;
}

void EndProgram(core::SetupState& state, core::Ui& ui) {
  state.ExitState = -1;
  ui.Close(core::WindowId::Hauptprogramm);
}

bool AskCancel(platform::Dialogs& dialogs, core::SetupState& state, core::Ui& ui) {
  if (!ConfirmCancel(dialogs))
    return false;
  EndProgram(state, ui);
  return true;
}

}  // namespace wizard
