#include "app/GuiServices.h"

namespace app {

platform::MsgAnswer GuiDialogs::MessageBox(std::string_view caption, std::string_view text,
                                           platform::MsgButtons buttons, platform::MsgIcon icon) {
  platform::MsgAnswer answer = platform::ClosedAnswer(buttons);
  if (gui_.OnGuiThread() || !stop_.stop_requested())
    gui_.Call([&] { answer = shown_.MessageBox(caption, text, buttons, icon); });
  return answer;
}

std::optional<std::string> GuiShell::BrowseForFolder(std::string_view prompt) {
  std::optional<std::string> chosen;
  if (gui_.OnGuiThread() || !stop_.stop_requested())
    gui_.Call([&] { chosen = inner_.BrowseForFolder(prompt); });
  return chosen;
}

std::string GuiPasswordPrompt::Ask(const std::string& caption, const std::string& prompt) {
  std::string password;
  if (shown_ && (gui_.OnGuiThread() || !stop_.stop_requested()))
    gui_.Call([&] { password = shown_->Ask(caption, prompt); });
  return password;
}

}  // namespace app
