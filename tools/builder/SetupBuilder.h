#pragma once

// Makes the setup folder: the control file, the payload archive (or its
// parts), the media files and, when given, the program and the unzip
// library.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/builder/Description.h"

namespace builder {

struct BuildOptions {
  std::filesystem::path output;  // must not exist, or be an empty folder
  std::optional<std::filesystem::path> setupExe;
  std::optional<std::filesystem::path> unzipLibrary;
  /// The uninstaller image packed when the description names none
  /// ([Builder] Uninstaller= takes precedence).
  std::optional<std::filesystem::path> uninstaller = std::nullopt;
};

struct BuildResult {
  std::filesystem::path folder;  // absolute
  uint64_t payloadSize = 0;      // of the whole archive, split or not
  int parts = 0;                 // 0 when the payload is one Setup.szp
  /// What the setup still lacks (the program, the library, an uninstaller),
  /// one German sentence each.
  std::vector<std::string> notes;
};

/// Builds the setup folder `options.output` from `description`. Everything
/// is written into a fresh folder beside it, which takes the output's name
/// only once complete. Raises BuildError (with the description's line where
/// one is at fault) when a source is missing or unreadable, the output
/// exists and is not an empty folder, or writing fails; nothing of the build
/// is left behind then.
BuildResult BuildSetupFolder(const Description& description, const BuildOptions& options);

}  // namespace builder
