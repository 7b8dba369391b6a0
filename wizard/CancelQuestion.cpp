#include "wizard/CancelQuestion.h"

namespace wizard {

bool AskCancel(platform::Dialogs& dialogs, core::SetupState& state, core::Ui& ui) {
  constexpr std::string_view kQuestion =
      "Das Setup ist noch nicht vollständig.\r"
      "Wenn Sie jetzt beenden, wird das Programm nicht auf Ihrem Computer installiert.\r"
      "\r"
      "Sie können Setup zu einem späteren Zeitpunkt neu starten, um die Installation "
      "fortzusetzen.\r"
      "Soll Setup jetzt beendet werden?";
  if (dialogs.MessageBox("Setup beenden", kQuestion, platform::MsgButtons::YesNo,
                         platform::MsgIcon::Question) != platform::MsgAnswer::Yes) {
    return false;
  }
  state.ExitState = -1;
  ui.Close(core::WindowId::Hauptprogramm);
  return true;
}

}  // namespace wizard
