#pragma once

#include <string_view>

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

}  // namespace core
