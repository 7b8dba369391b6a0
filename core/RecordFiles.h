#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/System.h"

namespace core {

// Files the run leaves in the target directory beside Uninstall.inf, which
// the uninstaller reads and removes.

/// The folders the run created ([Created] FolderCount and Folder1 ..., in
/// the order they were made; UTF-8 with byte-order mark, CR LF).
/// Installations older than it have none.
inline constexpr std::string_view kCreatedFoldersFile = "UninstallExtra.inf";

/// The log an unattended run leaves in the target directory, and what it
/// begins with: the UTF-8 byte-order mark and the words before the product
/// title. The uninstaller removes only a file of that name that begins so.
inline constexpr std::string_view kUnattendedLogName = "Setup.log";
inline constexpr std::string_view kUnattendedLogStart =
    "\xEF\xBB\xBFUnbeaufsichtigte Installation von ";

/// Why `path` cannot be installed to, in German: Uninstall.inf holds its
/// paths in the ANSI code page, and a character outside it would make the
/// product impossible to remove. `what` names the path for the user ("Das
/// Zielverzeichnis"). nullopt when every character can be recorded.
std::optional<std::string> RefuseUnrecordable(platform::System& system, std::string_view what,
                                              std::string_view path);

// Ordinary users may often change the files in the target directory, and
// the uninstaller runs with administrative rights. So the run keeps copies
// of both records beside the uninstaller's copy Inst_<AppName>_remove.exe in
// the Windows directory, where only administrators can write, and the
// uninstaller acts only on an Uninstall.inf that equals its copy there, and
// reads the created folders from the copy alone.

/// The end of the name of the copy of Uninstall.inf, byte for byte.
inline constexpr std::string_view kTrustedRecordEnd = "_remove.inf";
/// The end of the name of the copy of UninstallExtra.inf, byte for byte.
inline constexpr std::string_view kTrustedCreatedFoldersEnd = "_remove_extra.inf";

/// Whether "Inst_" + `appName` + "_remove.exe" and the names of the copies
/// are plain file names in the Windows directory: `appName` holds no control
/// character, none of \ / : * ? " < > | and no "..". Any other AppName would
/// name a file elsewhere, or none.
inline bool IsPlainAppName(std::string_view appName) {
  if (appName.find("..") != std::string_view::npos)
    return false;
  for (const char c : appName) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

/// Whether `a` and `b` name the same installation folder, compared as the
/// uninstaller compares paths (core::SameName), and without regard to
/// trailing blanks and backslashes.
bool SameFolder(std::string_view a, std::string_view b);

/// `windowsDir` + "\Inst_" + `appName` + `end`, for one of the ends above;
/// `appName` is to be plain.
inline std::string TrustedCopyPath(std::string_view windowsDir, std::string_view appName,
                                   std::string_view end) {
  return std::string(windowsDir) + "\\Inst_" + std::string(appName) + std::string(end);
}

}  // namespace core
