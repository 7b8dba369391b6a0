#pragma once

#include <stdexcept>
#include <string_view>

#include "platform/Files.h"

namespace engine {

class EDirectoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Creates `path` with all its missing parents. Raises EDirectoryError "Das
/// Verzeichnis kann nicht erstellt werden" for an empty path; otherwise
/// returns whether every level exists afterwards.
bool ForceDirectories(platform::Files& files, std::string_view path);

}  // namespace engine
