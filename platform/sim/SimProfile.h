#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/Files.h"
#include "platform/ProfileStrings.h"

namespace platform::sim {

/// The Windows profile-string reader re-done over the simulated files. A bare
/// file name is looked for in the Windows directory; an ANSI file is read as
/// Windows-1252, a file with a UTF-8 or UTF-16 byte-order mark accordingly.
/// Like Windows it keeps the last file it parsed, and uses it again while
/// the file's bytes are unchanged: every read still sees the file as it is.
class SimProfile : public ProfileStrings {
 public:
  explicit SimProfile(Files& files) : files_(files) {}

  std::string Read(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view fallback) override;

  /// The keys of one section, folded, with their value (nullopt for a key
  /// line without '='); the first line of a key wins.
  using Keys = std::unordered_map<std::u16string, std::optional<std::u16string>>;
  /// The sections of a file by folded name; only the first section of a
  /// name counts.
  using Sections = std::map<std::u16string, Keys>;

 private:
  struct Parsed {
    std::string path;
    std::string bytes;
    Sections sections;
  };

  Files& files_;
  Parsed last_;
};

}  // namespace platform::sim
