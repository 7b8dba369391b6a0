#include "engine/SpecialFolders.h"

#include <array>
#include <memory>
#include <optional>

#include "core/Convert.h"

namespace engine {

namespace {

constexpr std::string_view kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using platform::SpecialFolder;

struct Placeholder {
  std::string_view name;
  // The Shell Folders value; the names Windows really writes there follow
  // when they differ from the first one tried.
  std::array<std::string_view, 2> values;
  SpecialFolder folder;
};

// In the order the names are tested. %windir%, %selected% and %programfiles%
// are not Shell Folders values and are handled before this table.
constexpr Placeholder kPlaceholders[] = {
    {"%programs%", {"Programs"}, SpecialFolder::Programs},
    {"%desktop%", {"Desktop"}, SpecialFolder::Desktop},
    {"%personal%", {"Personal"}, SpecialFolder::Personal},
    {"%sendto%", {"SendTo"}, SpecialFolder::SendTo},
    {"%recent%", {"Recent"}, SpecialFolder::Recent},
    {"%appdata%", {"AppData"}, SpecialFolder::AppData},
    {"%favorites%", {"Favorites"}, SpecialFolder::Favorites},
    {"%mymusic%", {"MyMusic", "My Music"}, SpecialFolder::MyMusic},
    {"%mypictures%", {"MyPictures", "My Pictures"}, SpecialFolder::MyPictures},
    {"%myvideo%", {"MyVideo", "My Video"}, SpecialFolder::MyVideo},
    {"%startup%", {"Startup"}, SpecialFolder::Startup},
};

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\')
    folder += '\\';
  return folder;
}

std::string ProgramFilesDir(platform::Registry& registry) {
  const std::unique_ptr<platform::RegistryKey> key = registry.OpenKey(
      platform::RegRoot::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion");
  if (!key)
    return {};
  return key->ReadString("ProgramFilesDir").value_or("");
}

}  // namespace

std::string FolderPart(std::string_view path) {
  const size_t last = path.find_last_of("\\:");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string NamePart(std::string_view path) {
  const size_t last = path.find_last_of("\\:");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string MakeReadyPath(std::string_view base, std::string_view path) {
  const size_t first = path.find('\\');
  return std::string(base) +
         std::string(first == std::string_view::npos ? path : path.substr(first + 1));
}

std::string ShellFolderValue(platform::Registry& registry, std::string_view name) {
  const std::unique_ptr<platform::RegistryKey> key =
      registry.OpenKey(platform::RegRoot::CurrentUser, kShellFolders);
  if (!key)
    return {};
  return key->ReadString(name).value_or("");
}

std::string ShellFolder(platform::Platform& platform, std::string_view valueName,
                        SpecialFolder folder) {
  std::string path = ShellFolderValue(platform.registry, valueName);
  if (path.empty())
    path = platform.shell.SpecialFolderPath(folder);
  return path;
}

std::string ProgramsFolder(platform::Platform& platform) {
  return ShellFolder(platform, "Programs", SpecialFolder::Programs);
}

std::optional<std::string> GetSpecialFolderPath(platform::Platform& platform,
                                                const RunSettings& settings,
                                                std::string_view name) {
  if (core::SameTextIgnoreCase(name, "%windir%"))
    return WithBackslash(platform.files.WindowsDirectory());
  if (core::SameTextIgnoreCase(name, "%selected%"))
    return WithBackslash(settings.TargetDir);
  if (core::SameTextIgnoreCase(name, "%programfiles%"))
    return WithBackslash(ProgramFilesDir(platform.registry));
  for (const Placeholder& placeholder : kPlaceholders) {
    if (!core::SameTextIgnoreCase(name, placeholder.name))
      continue;
    std::string folder;
    for (std::string_view value : placeholder.values) {
      if (folder.empty() && !value.empty())
        folder = ShellFolderValue(platform.registry, value);
    }
    // A profile whose Shell Folders key lacks the value still has the
    // folder; the shell knows where it is.
    if (folder.empty())
      folder = platform.shell.SpecialFolderPath(placeholder.folder);
    return WithBackslash(folder);
  }
  return std::nullopt;
}

std::string PlaceholderPaths::Resolve(std::string_view value) {
  if (!value.empty() && value.front() == '%') {
    const size_t second = value.find('%', 1);
    const std::string_view name =
        second == std::string_view::npos ? value : value.substr(0, second + 1);
    if (std::optional<std::string> folder = GetSpecialFolderPath(platform_, settings_, name))
      base_ = std::move(*folder);
  }
  if (value.size() >= 2 && value[1] == ':')
    return std::string(value);
  return MakeReadyPath(base_, value);
}

}  // namespace engine
