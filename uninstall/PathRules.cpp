#include "uninstall/PathRules.h"

#include <algorithm>
#include <array>

namespace uninstall {

namespace {

constexpr std::string_view kForbidden = "<>:\"/\\|?*";

// Device names that Windows finds in every folder, with any extension.
constexpr std::array<std::string_view, 7> kDevices = {"CON",    "PRN",    "AUX",    "NUL",
                                                      "CLOCK$", "CONIN$", "CONOUT$"};

bool IsDeviceName(std::string_view name) {
  std::string base = FoldName(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ')
    base.pop_back();
  for (std::string_view device : kDevices) {
    if (base == device)
      return true;
  }
  // COM1 to COM9 and LPT1 to LPT9; Windows also takes the superscript
  // digits, which UTF-8 writes as two bytes.
  if (base.size() >= 4 && (base.starts_with("COM") || base.starts_with("LPT"))) {
    const std::string_view digit = std::string_view(base).substr(3);
    if (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9')
      return true;
    if (digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3")
      return true;
  }
  return false;
}

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\')
    path.pop_back();
  return path;
}

}  // namespace

std::optional<std::string> RefuseName(std::string_view name) {
  if (name.empty())
    return "leerer Name";
  if (name == "." || name == "..")
    return "enthält \".\" oder \"..\"";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos)
      return "enthält unzulässige Zeichen";
  }
  if (name.back() == '.' || name.back() == ' ')
    return "ein Name endet mit Punkt oder Leerzeichen";
  for (size_t k = name.find('~'); k != std::string_view::npos; k = name.find('~', k + 1)) {
    if (k + 1 < name.size() && name[k + 1] >= '0' && name[k + 1] <= '9')
      return "enthält einen Kurznamen";
  }
  if (IsDeviceName(name))
    return "nennt ein Gerät";
  return std::nullopt;
}

std::optional<std::string> RefusePath(std::string_view path) {
  const bool letter = path.size() >= 3 &&
                      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (!letter || path[1] != ':' || path[2] != '\\')
    return "kein vollständiger Pfad mit Laufwerk";
  std::string_view rest = path.substr(3);
  if (rest.empty())
    return std::nullopt;
  while (true) {
    const size_t end = rest.find('\\');
    if (const auto refused = RefuseName(rest.substr(0, end)))
      return refused;
    if (end == std::string_view::npos)
      return std::nullopt;
    rest.remove_prefix(end + 1);
  }
}

bool Listed(const std::vector<std::string>& paths, std::string_view path) {
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::string& listed) { return SameName(listed, path); });
}

bool IsBelow(std::string_view path, std::string_view folder) {
  if (folder.empty())
    return false;
  std::string prefix = FoldName(folder);
  if (prefix.back() != '\\')
    prefix += '\\';
  const std::string folded = FoldName(path);
  return folded.size() > prefix.size() && folded.starts_with(prefix);
}

std::string ParentOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos || path.size() <= 3)
    return {};
  return std::string(path.substr(0, slash == 2 ? 3 : slash));
}

size_t Depth(std::string_view path) {
  return static_cast<size_t>(std::count(path.begin(), path.end(), '\\'));
}

ProtectedFolders::ProtectedFolders(platform::Platform& platform) {
  windows_ = WithoutTrailingBackslash(platform.files.WindowsDirectory());
  const std::string drive = windows_.substr(0, 2);
  if (!windows_.empty()) {
    Add(windows_);
    Add(windows_ + "\\System32");
    Add(windows_ + "\\SysWOW64");
    Add(windows_ + "\\Temp");
    Add(drive + "\\Program Files");
    Add(drive + "\\Program Files (x86)");
    Add(drive + "\\ProgramData");
    Add(drive + "\\Users");
    profiles_.push_back(FoldName(drive + "\\Users"));
    profiles_.push_back(FoldName(drive + "\\Documents and Settings"));
  }
  Add(WithoutTrailingBackslash(platform.files.TempDirectory()));
  if (const auto key = platform.registry.OpenKey(platform::RegRoot::LocalMachine,
                                                 "Software\\Microsoft\\Windows\\CurrentVersion")) {
    for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)", "ProgramW6432Dir",
                             "CommonFilesDir", "CommonFilesDir (x86)", "CommonW6432Dir"}) {
      Add(WithoutTrailingBackslash(key->ReadString(name).value_or("")));
    }
  }
  // Profiles moved to another place are found where Windows notes them.
  if (const auto key = platform.registry.OpenKey(
          platform::RegRoot::LocalMachine,
          "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList")) {
    // A REG_EXPAND_SZ value, "%SystemDrive%\Users" as Windows writes it.
    constexpr std::string_view kSystemDrive = "%SystemDrive%";
    std::string profiles = key->ReadString("ProfilesDirectory").value_or("");
    if (SameName(profiles.substr(0, kSystemDrive.size()), kSystemDrive))
      profiles.replace(0, kSystemDrive.size(), drive);
    if (!RefusePath(WithoutTrailingBackslash(profiles))) {
      Add(WithoutTrailingBackslash(profiles));
      profiles_.push_back(FoldName(WithoutTrailingBackslash(profiles)));
    }
  }
  using platform::SpecialFolder;
  for (SpecialFolder folder :
       {SpecialFolder::Programs, SpecialFolder::Desktop, SpecialFolder::Personal,
        SpecialFolder::SendTo, SpecialFolder::Recent, SpecialFolder::AppData,
        SpecialFolder::Favorites, SpecialFolder::MyMusic, SpecialFolder::MyPictures,
        SpecialFolder::MyVideo, SpecialFolder::Startup}) {
    std::string path = WithoutTrailingBackslash(platform.shell.SpecialFolderPath(folder));
    Add(path);
    shell_.emplace_back(folder, std::move(path));
  }
}

const std::string& ProtectedFolders::ShellFolder(platform::SpecialFolder folder) const {
  static const std::string kUnknown;
  for (const auto& [which, path] : shell_) {
    if (which == folder)
      return path;
  }
  return kUnknown;
}

void ProtectedFolders::Add(std::string path) {
  if (!path.empty())
    folders_.push_back(FoldName(path));
}

bool ProtectedFolders::InProfileTop(const std::string& folded) const {
  const std::string parent = ParentOf(folded);
  const std::string grandparent = ParentOf(parent);
  const std::string above = ParentOf(grandparent);
  for (const std::string& profiles : profiles_) {
    if (folded == profiles || parent == profiles || grandparent == profiles)
      return true;
    // Local, LocalLow and Roaming of a profile's AppData.
    if (above == profiles && parent.ends_with("\\APPDATA"))
      return true;
  }
  return false;
}

bool ProtectedFolders::Covers(std::string_view path) const {
  std::string folded = FoldName(path);
  while (folded.size() > 3 && folded.back() == '\\')
    folded.pop_back();
  if (folded.size() <= 3 || InProfileTop(folded))
    return true;
  for (const std::string& folder : folders_) {
    if (folder == folded || IsBelow(folder, folded))
      return true;
  }
  return false;
}

bool ProtectedFolders::InWindowsDirectory(std::string_view path) const {
  return !windows_.empty() && (SameName(path, windows_) || IsBelow(path, windows_));
}

}  // namespace uninstall
