#pragma once

// The description file a setup is built from: an INI-like UTF-8 text with
// the builder's own sections ([Builder], [Files], [Component1], ...,
// [Media]) and the sections of the control file, which pass through.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/builder/BuildError.h"

namespace builder {

/// A file the build reads, with the description line that names it.
struct SourceFile {
  std::filesystem::path path;  // absolute
  int line = 0;
};

/// A file of the product, packed as payload entry 1..N in description order.
struct ProductFile {
  SourceFile source;
  std::string destination;  // Windows-1252
};

/// A [Files] line that names a folder or a pattern, and how many files it
/// took.
struct FileSelection {
  int line = 0;
  std::string source;  // as written
  size_t files = 0;
};

/// A file of the component archive. Programs naming the same source file
/// share its entry.
struct ComponentFile {
  SourceFile source;
  std::string entryName;  // UTF-8, the bare file name
  std::string listName;   // Windows-1252, the same name as the component list gives it
};

/// A program the setup runs from the component archive.
struct ComponentProgram {
  std::string executable;     // Windows-1252, command line relative to the program's folder
  std::vector<size_t> files;  // into Description::componentFiles
};

/// A file copied into the setup folder (onto medium 1).
struct MediaFile {
  SourceFile source;
  std::string name;  // UTF-8
  /// The bytes written instead of a copy: a licence or information text
  /// converted to the ANSI code page.
  std::optional<std::string> converted;
};

/// A "key=value" line of a control section.
struct ControlEntry {
  std::string key;    // UTF-8, as written
  std::string value;  // UTF-8, as Setup.exe's profile reader returns it
  int line = 0;
  size_t index = 0;  // into ControlSection::lines
};

/// A section of the control file, passed through from the description.
struct ControlSection {
  std::string name;                // UTF-8, between the brackets
  std::string header;              // Windows-1252, the header line as written
  int line = 0;                    // of the header; 0 for a section the builder adds
  std::vector<std::string> lines;  // Windows-1252, as written, comments dropped
  std::vector<ControlEntry> entries;
};

struct Description {
  std::optional<int> mediaCount;       // [Builder] Media
  std::optional<uint64_t> mediumSize;  // [Builder] MediumSize, in bytes
  std::optional<SourceFile> uninstaller;
  std::vector<ProductFile> files;
  std::vector<FileSelection> selections;
  std::vector<ComponentFile> componentFiles;
  std::vector<ComponentProgram> components;
  std::vector<MediaFile> media;
  std::vector<ControlSection> sections;  // in description order, completed by the builder
  /// StandardReg or CreateUninstallShortcut is on: the installed product
  /// gets the uninstaller, so the payload must carry one.
  bool uninstallerNeeded = false;
  std::vector<Problem> warnings;  // what is allowed but probably not meant
};

/// Reads a description text, resolving relative source paths against
/// `folder`, and checks all of it before anything is built: the syntax, the
/// sections and keys against what Setup.exe reads, destinations and names,
/// the code page, and that every source file is there (folder and pattern
/// lines are expanded into files). Raises BuildError naming every fault with
/// its line. The sections that Setup.inf needs and the description leaves
/// out (counts, sections with nothing in them) are added.
Description ParseDescription(std::string_view text, const std::filesystem::path& folder);

/// ParseDescription of a file, with sources relative to the file's folder.
/// Raises BuildError when the file cannot be read or is at fault.
Description ReadDescription(const std::filesystem::path& file);

/// Parses a size in bytes: a decimal number, optionally followed by K, M or
/// G (1024, 1024², 1024³). nullopt for anything else, 0, and sizes past 64
/// bits.
std::optional<uint64_t> ParseSize(std::string_view text);

}  // namespace builder
