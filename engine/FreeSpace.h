#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace engine {

/// The root of the drive a full path lies on: "C:\" for "c:\Programme\x",
/// "\\server\share\" for a network path; empty for a relative path.
std::string DriveRoot(std::string_view path);

/// A size as the messages show it: bytes, KB, MB or GB with one decimal
/// and a decimal comma, rounded up (or, with `roundUp` false, down).
std::string SizeText(uint64_t bytes, bool roundUp);

/// The room a run needs, drive by drive: the bytes it will write below each
/// drive root. Files take whole allocation units on a drive, so each one
/// counts as at least one.
class SpaceNeeds {
 public:
  /// A file of `bytes` that will lie at the full path `path`.
  void AddFile(std::string_view path, uint64_t bytes);
  /// Raises EInstallError naming the first drive that has less room free
  /// than the run needs there: the drive, the space needed and the space
  /// free. A drive that does not tell its free space is not judged.
  void Check(platform::Files& files) const;

 private:
  struct Drive {
    std::string root;
    uint64_t bytes = 0;
  };
  // By the root with its letters folded.
  std::map<std::string, Drive> drives_;
};

}  // namespace engine
