#include "platform/sim/SimShell.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/sim/SimShortcut.h"

namespace platform::sim {

namespace {

std::string KindOfDrive(DriveType type) {
  switch (type) {
    case DriveType::Removable:
      return "Wechseldatenträger";
    case DriveType::CdRom:
      return "CD-Laufwerk";
    case DriveType::Remote:
      return "Netzlaufwerk";
    default:
      return "Lokaler Datenträger";
  }
}

}  // namespace

SimShell::SimShell(SimFiles& files) : files_(files) {
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

ShortcutResult SimShell::WriteShortcut(const Shortcut& given, std::string_view path) {
  if (shellLinkDenied)
    return ShortcutResult::NoShellLink;
  // The shell's SetPath takes a target in double quotes without them.
  Shortcut shortcut = given;
  if (shortcut.target.size() >= 2 && shortcut.target.front() == '"' &&
      shortcut.target.back() == '"') {
    shortcut.target = shortcut.target.substr(1, shortcut.target.size() - 2);
  }
  TargetVolume volume;
  if (shortcut.target.size() >= 2 && shortcut.target[1] == ':') {
    const std::string root = shortcut.target.substr(0, 2) + "\\";
    volume.type = files_.GetDriveType(root);
    if (const std::optional<VolumeInfo> info = files_.VolumeInformation(root)) {
      volume.serial = info->serial;
      volume.label = info->label;
    }
  }
  if (!files_.WriteFile(path, ShellLinkFile(shortcut, volume)))
    return ShortcutResult::NotSaved;
  return ShortcutResult::Saved;
}

std::string SimShell::ComputerName() {
  return "Arbeitsplatz";
}

std::string SimShell::DisplayName(std::string_view path) {
  if (path.size() == 3 && path.substr(1) == ":\\") {
    const std::string letter(1,
                             static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
    const DriveType type = files_.GetDriveType(path);
    if (type == DriveType::NoRootDir)
      return {};
    const std::optional<VolumeInfo> volume = files_.VolumeInformation(path);
    std::string name = volume && !volume->label.empty() ? volume->label : KindOfDrive(type);
    return name + " (" + letter + ":)";
  }
  if (!files_.DirectoryExists(path) && !files_.FileExists(path))
    return {};
  const size_t slash = path.find_last_of('\\', path.size() - 2);
  std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
  if (!name.empty() && name.back() == '\\')
    name.pop_back();
  return name;
}

bool SimShell::RenameFolder(std::string_view from, std::string_view to) {
  if (!files_.DirectoryExists(from) || files_.DirectoryExists(to) || files_.FileExists(to))
    return false;
  std::error_code error;
  std::filesystem::rename(files_.HostPath(from), files_.HostPath(to), error);
  return !error;
}

}  // namespace platform::sim
