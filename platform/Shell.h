#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// The current user's folders that the shell keeps a path for.
enum class SpecialFolder {
  Programs,
  Desktop,
  Personal,
  SendTo,
  Recent,
  AppData,
  Favorites,
  MyMusic,
  MyPictures,
  MyVideo,
  Startup,
};

/// What a shortcut (.lnk file) records.
struct Shortcut {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  std::string description;
};

enum class ShortcutResult {
  Saved,
  /// The shortcut file could not be written (its folder is missing, say).
  NotSaved,
  /// The system offers no shell link object to make shortcuts with.
  NoShellLink,
};

/// The Windows shell: its folder browser, its special folders and its
/// shortcuts.
class Shell {
 public:
  virtual ~Shell() = default;

  /// Shows the shell's modal folder browser, rooted at the desktop and
  /// offering file-system folders only, with `prompt` above the tree.
  /// Returns the chosen folder's path as the shell gives it (a drive root
  /// keeps its backslash, "A:\"; other folders have none); nullopt when the
  /// user cancelled or the browser could not be shown.
  virtual std::optional<std::string> BrowseForFolder(std::string_view prompt) = 0;

  /// The path of a special folder of the current user, without trailing
  /// backslash; the folder need not exist yet. Empty when the system knows
  /// no such folder.
  virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;

  /// Writes the shortcut file `path` (replacing one of that name) through a
  /// new shell link object, setting target, arguments, working directory
  /// and description and nothing else. NoShellLink when no such object can
  /// be made, NotSaved when the file cannot be written.
  virtual ShortcutResult WriteShortcut(const Shortcut& shortcut, std::string_view path) = 0;

  /// The shell's display name of the computer folder ("Arbeitsplatz" on a
  /// German Windows); empty when the shell has none.
  virtual std::string ComputerName() = 0;
  /// The shell's display name of a file, folder or drive root (a drive gives
  /// its label or kind followed by " (X:)"); empty when the path names
  /// nothing the shell knows.
  virtual std::string DisplayName(std::string_view path) = 0;
  /// Renames the folder `from` to the full path `to` through the shell's
  /// file operation, which reports its own errors to the user. True when
  /// the operation succeeded and nothing of it was cancelled.
  virtual bool RenameFolder(std::string_view from, std::string_view to) = 0;

  /// Opens an address with the program the user has for it ("http://..." in
  /// the browser, "mailto:..." in the mail program, a file path with its
  /// associated program), without an owner window. Nothing is reported: an
  /// address no program takes is silently not opened.
  virtual void OpenAddress(std::string_view address) = 0;
};

}  // namespace platform
