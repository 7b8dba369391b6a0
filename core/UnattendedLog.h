#pragma once

#include <string_view>

namespace core {

/// The log an unattended run leaves in the target directory, and what it
/// begins with: the UTF-8 byte-order mark and the words before the product
/// title. The uninstaller removes only a file of that name that begins so.
inline constexpr std::string_view kUnattendedLogName = "Setup.log";
inline constexpr std::string_view kUnattendedLogStart =
    "\xEF\xBB\xBFUnbeaufsichtigte Installation von ";

}  // namespace core
