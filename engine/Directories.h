#pragma once

#include <stdexcept>
#include <string_view>

#include "engine/RunContext.h"
#include "platform/Files.h"

namespace engine {

class EDirectoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Creates `path` with all its missing parents. Raises EDirectoryError "Das
/// Verzeichnis kann nicht erstellt werden" for an empty path and for a
/// relative one, whose parents run out into the empty path; otherwise
/// returns whether every level exists afterwards.
bool ForceDirectories(platform::Files& files, std::string_view path);

/// Creates the target directory with all missing parents.
void CreateTargetDirectory(RunContext& run);

/// Creates the folders [Directories] of the control file lists below the
/// target directory and records them as [ExtraDir]. Raises core::EConvertError
/// when `FolderCount` is no integer.
void CreateExtraDirectories(RunContext& run);

}  // namespace engine
