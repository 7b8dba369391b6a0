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

/// A file copied into the setup folder.
struct MediaFile {
  SourceFile source;
  std::string name;  // UTF-8
};

/// A section of the control file, passed through from the description.
struct ControlSection {
  std::string name;                // Windows-1252, between the brackets
  std::string header;              // Windows-1252, the header line as written
  std::vector<std::string> lines;  // Windows-1252, as written, comments dropped
};

struct Description {
  uint64_t splitSize = 0;  // part size in bytes; 0 for one payload archive
  std::optional<SourceFile> uninstaller;
  std::vector<ProductFile> files;
  std::vector<ComponentFile> componentFiles;
  std::vector<ComponentProgram> components;
  std::vector<MediaFile> media;
  std::vector<ControlSection> sections;  // in description order
};

/// Reads a description text, resolving relative source paths against
/// `folder`. Checks everything the text alone tells (syntax, destinations,
/// names, code page); whether the sources exist is left to the build. Raises
/// BuildError with the line number at fault.
Description ParseDescription(std::string_view text, const std::filesystem::path& folder);

/// ParseDescription of a file, with sources relative to the file's folder.
/// Raises BuildError when the file cannot be read or is at fault.
Description ReadDescription(const std::filesystem::path& file);

}  // namespace builder
