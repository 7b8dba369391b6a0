#pragma once

// The [Files] section: lines that name one file, a folder (taken with all its
// subfolders) or a pattern, and lines that leave files out.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/builder/BuildError.h"
#include "tools/builder/Description.h"

namespace builder {

/// A "<source>=<destination>" line of [Files].
struct FileEntry {
  int line = 0;
  std::string source;       // UTF-8, as written (without enclosing quotes)
  std::string destination;  // UTF-8
  /// The source was written without quotes and the destination holds "=":
  /// an "=" in the source path may have split the line in the wrong place.
  bool mayHaveSplitSource = false;
};

/// A "!<pattern>" line of [Files].
struct ExcludeEntry {
  int line = 0;
  std::string pattern;  // UTF-8
};

/// Turns the lines into product files in a stable order: a file line into
/// one file; a folder or pattern line into every file it matches (sorted by
/// path), placed below its destination folder with the subfolders kept,
/// unless an exclude line matches the file or a folder above it. Appends to
/// `description.files` and `description.selections`; faults go to
/// `problems`, warnings (empty folders, excludes that match nothing) to
/// `description.warnings`.
void SelectFiles(const std::vector<FileEntry>& entries, const std::vector<ExcludeEntry>& excludes,
                 const std::filesystem::path& folder, Description& description, Problems& problems);

/// Why the file at `path` cannot be packed: "<what> nicht gefunden: <path>",
/// "<what> ist keine Datei: …" or "<what> kann nicht gelesen werden: …";
/// nullopt when it is a readable file.
std::optional<std::string> ReadableFileProblem(const std::filesystem::path& path,
                                               std::string_view what);

/// Whether `name` (one path part, UTF-8) matches `pattern`, where "*" stands
/// for any run of characters and "?" for one character.
bool MatchesName(std::string_view pattern, std::string_view name);

}  // namespace builder
