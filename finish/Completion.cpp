#include "finish/Completion.h"

#include <string>

#include "core/DesignTexts.h"
#include "wizard/CancelQuestion.h"

namespace finish {

using core::UiEvent;
using core::WindowId;

Completion::Completion(core::Ui& ui, core::SetupState& state, platform::Platform& platform)
    : ui_(ui), state_(state), platform_(platform) {}

void Completion::OnEvent(WindowId window, std::string_view control, UiEvent event) {
  if (window == WindowId::Ready) {
    if ((control == "Button1" && event == UiEvent::Click) ||
        (control.empty() && event == UiEvent::Close)) {
      wizard::EndProgram(state_, ui_);
    } else if (event == UiEvent::Click) {
      if (control == "Label3")
        platform_.shell.OpenAddress("http://" + std::string(core::kProductAddress));
      else if (control == "Label8")
        platform_.shell.OpenAddress("http://" + std::string(core::kMakerAddress));
      else if (control == "Label9")
        platform_.shell.OpenAddress("mailto:" + std::string(core::kSupportAddress));
    }
    return;
  }
  if (window == WindowId::RebootForm) {
    if (control == "Button2" && event == UiEvent::Click)
      RestartPageForward();
    else if ((control == "Button1" && event == UiEvent::Click) ||
             (control.empty() && event == UiEvent::Close))
      wizard::AskCancel(platform_.dialogs, state_, ui_);
  }
}

void Completion::RestartPageForward() {
  if (ui_.Checked(WindowId::RebootForm, "RadioButton2")) {
    ui_.SetText(WindowId::Ready, "Label2",
                "Sie können das Programm nach dem Windows-Neustart über die entsprechenden "
                "Symbole im Programmordner starten.");
    ui_.Show(WindowId::Ready);
    ui_.Hide(WindowId::RebootForm);
    return;
  }
  RestartNow();
}

void Completion::RestartNow() {
  // Whether or not the value could be written, Windows is restarted: the
  // installation is complete, only the finish page would not come back.
  if (auto key = platform_.registry.CreateKey(platform::RegRoot::LocalMachine, kRunOnceKey))
    key->WriteString(kRunOnceValue, platform_.system.ModulePath() + " /ready");
  platform_.system.RestartWindows();
}

}  // namespace finish
