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

/// Why `text` (Windows-1252) cannot stand inside a Windows name: a character
/// Windows refuses in names, such as ":" or "\"; nullopt when it can.
std::optional<std::string> CharacterProblem(std::string_view text);

/// Why `path` (Windows-1252, names joined by "\") is no relative path of
/// names Windows accepts; nullopt when it is one.
std::optional<std::string> RelativePathProblem(std::string_view path);

/// Why `folder` (Windows-1252) is no folder on a drive ("C:\" or
/// "C:\Daten\Links"); nullopt when it is one.
std::optional<std::string> DriveFolderProblem(std::string_view folder);

/// Whether `placeholder` (with its two "%", any case) is one of the setup's
/// folder placeholders.
bool IsKnownPlaceholder(std::string_view placeholder);

/// Why `destination` (Windows-1252) is no destination the setup can install a
/// file to; nullopt when it is one. A destination is a drive path
/// ("C:\Daten\a.txt") or one of the setup's folder placeholders followed by
/// a relative path ("%selected%\Daten\a.txt").
std::optional<std::string> DestinationProblem(std::string_view destination);

/// Why `folder` (Windows-1252, without a trailing "\\") is no folder the
/// setup can install files into: a placeholder alone ("%selected%"), one
/// followed by a relative path, or a drive folder; nullopt when it is one.
std::optional<std::string> DestinationFolderProblem(std::string_view folder);

/// The longest destination the setup reads back whole: its profile reader
/// hands out at most this many characters of a value.
inline constexpr size_t kMaxDestinationLength = 2047;

}  // namespace builder
