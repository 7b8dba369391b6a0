#pragma once

// Makes the setup folder: the control file, the payload archive (or its
// parts on media folders), the media files and, when given, the program and
// the unzip library.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/builder/Description.h"

namespace builder {

struct BuildOptions {
  /// Must not exist, or be an empty folder, or (with `force`) a setup folder
  /// the builder made. Only a dry run may leave it empty.
  std::filesystem::path output;
  std::optional<std::filesystem::path> setupExe;
  std::optional<std::filesystem::path> unzipLibrary;
  /// The uninstaller image packed when the description names none
  /// ([Builder] Uninstaller= takes precedence).
  std::optional<std::filesystem::path> uninstaller = std::nullopt;
  /// The number and size of the media; they take precedence over [Builder]
  /// Media and MediumSize.
  std::optional<int> media = std::nullopt;
  std::optional<uint64_t> mediumSize = std::nullopt;
  /// Replace an existing setup folder at `output`.
  bool force = false;
};

/// One folder of the result: a medium, or the single setup folder.
struct BuiltFolder {
  std::string name;                // "Medium1", ...; empty for the single setup folder
  std::vector<std::string> files;  // in the order they were written
  uint64_t bytes = 0;
};

struct BuildResult {
  std::filesystem::path folder;    // absolute
  uint64_t payloadSize = 0;        // of the whole archive, split or not
  int parts = 0;                   // 0 when the payload is one Setup.szp
  std::vector<BuiltFolder> media;  // one entry without a name when there are no media folders
  /// What the setup still lacks (the program, the library, an uninstaller)
  /// and what the build cleaned up, one German sentence each.
  std::vector<std::string> notes;
};

/// Builds the setup folder `options.output` from `description`. Everything
/// is written into a fresh folder beside it, which takes the output's name
/// only once complete; folders that interrupted builds left there are
/// removed first. Raises BuildError when a program or the uninstaller is
/// missing or unreadable, the output is in the way, a medium does not fit, or
/// writing fails; nothing of the build is left behind then.
BuildResult BuildSetupFolder(const Description& description, const BuildOptions& options);

/// What BuildSetupFolder would make, in plain German text: the Setup.inf,
/// the payload list unscrambled, the uninstaller and the media. Checks what
/// a build checks before it writes (the output only when one is given);
/// writes nothing.
std::string DryRun(const Description& description, const BuildOptions& options);

/// "Zeile <line>: <n> Dateien aus <source>", for the report of a folder or
/// pattern line.
std::string SelectionText(const FileSelection& selection);

/// The prompts a user sees for a setup on `media` media folders (none for
/// fewer than two).
std::string MediaPrompts(int media);

}  // namespace builder
