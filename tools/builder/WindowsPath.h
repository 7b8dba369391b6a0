#pragma once

// The names and destinations the setup creates on the Windows machine. They
// are checked when the setup is built, since on the user's machine a bad
// name only shows as a failed installation.

#include <optional>
#include <string>
#include <string_view>

namespace builder {

/// Why Windows cannot create a file of this name (Windows-1252, without any
/// path); nullopt when it can.
std::optional<std::string> NameProblem(std::string_view name);

/// Why `destination` (Windows-1252) is no destination the setup can install a
/// file to; nullopt when it is one. A destination is a drive path
/// ("C:\Daten\a.txt") or one of the setup's folder placeholders followed by
/// a relative path ("%selected%\Daten\a.txt").
std::optional<std::string> DestinationProblem(std::string_view destination);

/// The longest destination the setup reads back whole: its profile reader
/// hands out at most this many characters of a value.
inline constexpr size_t kMaxDestinationLength = 2047;

}  // namespace builder
