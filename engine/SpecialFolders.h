#pragma once

#include <string>
#include <string_view>

#include "engine/RunSettings.h"
#include "platform/Platform.h"

namespace engine {

/// The folder part of a path: everything up to and including its last
/// backslash or colon; empty when it has neither.
std::string FolderPart(std::string_view path);
/// The file name part of a path: everything after its last backslash or
/// colon.
std::string NamePart(std::string_view path);

/// `base` followed by what comes after the first backslash of `path`; a path
/// without a backslash is appended whole.
std::string MakeReadyPath(std::string_view base, std::string_view path);

/// A value of the current user's Shell Folders key exactly as stored; empty
/// when it cannot be read.
std::string ShellFolderValue(platform::Registry& registry, std::string_view name);

/// A folder of the current user as the Shell Folders key stores it under
/// `valueName`, or as the shell knows it when the key lacks the value.
std::string ShellFolder(platform::Platform& platform, std::string_view valueName,
                        platform::SpecialFolder folder);
/// The current user's Start-menu programs folder (ShellFolder "Programs").
std::string ProgramsFolder(platform::Platform& platform);

/// The folder a placeholder such as "%windir%" or "%PROGRAMS%" names, ending
/// in a backslash; nullopt for a name that is no placeholder. The empty text
/// when the system knows no such folder: a path built on it is relative and
/// cannot be placed.
std::optional<std::string> GetSpecialFolderPath(platform::Platform& platform,
                                                const RunSettings& settings, std::string_view name);

/// Turns path values of the control file and the payload list into full
/// paths. A value may begin with a placeholder, which becomes the base for it
/// and for every later value that names neither a placeholder nor a drive.
/// One lives for the whole installation run.
class PlaceholderPaths {
 public:
  PlaceholderPaths(platform::Platform& platform, const RunSettings& settings)
      : platform_(platform), settings_(settings) {}

  /// The full path of `value`: a drive path as written, anything else grafted
  /// onto the placeholder base (after the placeholder it begins with, if any,
  /// has become the base).
  std::string Resolve(std::string_view value);

 private:
  platform::Platform& platform_;
  const RunSettings& settings_;
  std::string base_;
};

}  // namespace engine
