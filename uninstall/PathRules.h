#pragma once

// What the uninstaller accepts as a path from Uninstall.inf, and the folders
// it never removes, whatever the file says.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Convert.h"
#include "platform/Platform.h"

namespace uninstall {

using core::FoldName;
using core::SameName;

/// Why `path` is no absolute local path the uninstaller may act on, in
/// German; nullopt when it is one. Refused: anything but "X:\..." (relative
/// paths, network and device paths), "." and ".." and empty components,
/// characters Windows does not allow in names, components ending in a dot
/// or blank (Windows drops those, so the path would name another one), short
/// names such as "PROGRA~1" (they stand for other names) and device names
/// such as "CON" or "LPT1.txt".
std::optional<std::string> RefusePath(std::string_view path);
/// The same for a single file name.
std::optional<std::string> RefuseName(std::string_view name);

/// Whether `paths` holds `path`, compared with SameName.
bool Listed(const std::vector<std::string>& paths, std::string_view path);

/// `path` lies below `folder` (not the folder itself); both checked paths.
bool IsBelow(std::string_view path, std::string_view folder);
/// The folder that holds `path`, without trailing backslash; empty for a
/// drive root.
std::string ParentOf(std::string_view path);
/// How deep `path` lies: the number of its backslashes.
size_t Depth(std::string_view path);

/// The folders of the system and the users that are never removed, nor any
/// folder above them: drive roots, the Windows directory with its system
/// folders, the program files folders, the temporary folder, the user's
/// shell folders, and every user's profile with the folders Windows keeps
/// in it (its first level, and that of its AppData), the public profile's
/// too, below the profiles folder.
class ProtectedFolders {
 public:
  explicit ProtectedFolders(platform::Platform& platform);

  /// True when `path` is a drive root, a protected folder or above one.
  bool Covers(std::string_view path) const;
  /// True when `path` is the Windows directory or lies below it.
  bool InWindowsDirectory(std::string_view path) const;
  const std::string& WindowsDirectory() const { return windows_; }
  /// The user's shell folder, without trailing backslash; empty when unknown.
  const std::string& ShellFolder(platform::SpecialFolder folder) const;
  /// The user's Start-menu programs folder; empty when unknown.
  const std::string& Programs() const { return ShellFolder(platform::SpecialFolder::Programs); }

 private:
  void Add(std::string path);
  /// `folded` is a profiles folder, a profile or a folder Windows keeps in one.
  bool InProfileTop(const std::string& folded) const;

  std::string windows_;
  std::vector<std::pair<platform::SpecialFolder, std::string>> shell_;
  std::vector<std::string> folders_;
  std::vector<std::string> profiles_;
};

}  // namespace uninstall
