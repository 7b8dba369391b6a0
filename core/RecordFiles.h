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

}  // namespace core
