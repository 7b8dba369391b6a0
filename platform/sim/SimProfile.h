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
  std::vector<std::string> KeyNames(std::string_view file, std::string_view section) override;
  std::vector<std::string> SectionNames(std::string_view file) override;

  /// A key as written, with its value (nullopt for a key line without '=').
  struct Key {
    std::u16string name;
    std::optional<std::u16string> value;
  };
  /// The keys of one section by folded name; the first line of a key wins.
  using Keys = std::unordered_map<std::u16string, Key>;
  struct Section {
    std::u16string name;
    Keys keys;
  };
  /// The sections of a file by folded name; only the first section of a
  /// name counts.
  using Sections = std::map<std::u16string, Section>;

 private:
  struct Parsed {
    std::string path;
    std::string bytes;
    Sections sections;
  };

  /// The sections of `file`, parsed anew when it changed; nullptr when it
  /// cannot be read.
  const Sections* Load(std::string_view file);

  Files& files_;
  Parsed last_;
};

}  // namespace platform::sim
