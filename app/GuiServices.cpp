#include "app/GuiServices.h"

namespace app {

namespace {

// The GUI thread asks what it asks; the run's thread only until its stop.
bool MayAsk(const core::GuiQueue& gui, const std::stop_token& stop) {
  return gui.OnGuiThread() || !stop.stop_requested();
}

}  // namespace

platform::MsgAnswer GuiDialogs::MessageBox(std::string_view caption, std::string_view text,
                                           platform::MsgButtons buttons, platform::MsgIcon icon) {
  platform::MsgAnswer answer = platform::ClosedAnswer(buttons);
  if (MayAsk(gui_, stop_))
    gui_.Call([&] { answer = shown_.MessageBox(caption, text, buttons, icon); });
  return answer;
}

std::optional<std::string> GuiShell::BrowseForFolder(std::string_view prompt) {
  std::optional<std::string> chosen;
  if (MayAsk(gui_, stop_))
    gui_.Call([&] { chosen = inner_.BrowseForFolder(prompt); });
  return chosen;
}

std::string GuiPasswordPrompt::Ask(const std::string& caption, const std::string& prompt) {
  std::string password;
  if (shown_ && MayAsk(gui_, stop_))
    gui_.Call([&] { password = shown_->Ask(caption, prompt); });
  return password;
}

GuiPlatform::GuiPlatform(const platform::Platform& inner, core::GuiQueue& gui, std::stop_token stop)
    : dialogs_(inner.dialogs, gui, stop),
      shell_(inner.shell, gui, stop),
      platform_{inner.registry,  inner.profile, inner.files, dialogs_,
                inner.libraries, inner.system,  shell_,      inner.processes} {}

}  // namespace app
