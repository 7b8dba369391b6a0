#include "platform/sim/SimShell.h"

namespace platform::sim {

SimShell::SimShell() {
  const std::string profile = "C:\\Users\\Sim\\";
  const std::string startMenu = profile + "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\";
  folders = {
      {SpecialFolder::Programs, startMenu + "Programs"},
      {SpecialFolder::Desktop, profile + "Desktop"},
      {SpecialFolder::Personal, profile + "Documents"},
      {SpecialFolder::SendTo, profile + "AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
      {SpecialFolder::Recent, profile + "AppData\\Roaming\\Microsoft\\Windows\\Recent"},
      {SpecialFolder::AppData, profile + "AppData\\Roaming"},
      {SpecialFolder::Favorites, profile + "Favorites"},
      {SpecialFolder::MyMusic, profile + "Music"},
      {SpecialFolder::MyPictures, profile + "Pictures"},
      {SpecialFolder::MyVideo, profile + "Videos"},
      {SpecialFolder::Startup, startMenu + "Programs\\Startup"},
  };
}

std::optional<std::string> SimShell::BrowseForFolder(std::string_view prompt) {
  prompts.emplace_back(prompt);
  if (choices.empty())
    return std::nullopt;
  std::optional<std::string> choice = std::move(choices.front());
  choices.pop_front();
  return choice;
}

std::string SimShell::SpecialFolderPath(SpecialFolder folder) {
  const auto found = folders.find(folder);
  return found == folders.end() ? std::string() : found->second;
}

}  // namespace platform::sim
