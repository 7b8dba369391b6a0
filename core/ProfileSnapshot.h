#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ProfileStrings.h"

namespace core {

/// One INI file read once and kept in memory, answering as the profile-string
/// service answers for that file: names match without regard to the case of
/// ASCII letters, names and values are trimmed, one pair of enclosing quotes
/// is removed, at most 2047 characters come back, the first section and key
/// of a name count. For a file the run writes itself and then reads entry by
/// entry (the payload list): the service would look at the file again on
/// every read. Other files are missing to it.
class ProfileSnapshot : public platform::ProfileStrings {
 public:
  /// `text` is the file's content in UTF-8; `path` the file it stands for.
  ProfileSnapshot(std::string path, std::string_view text);

  std::string Read(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view fallback) override;
  std::vector<std::string> KeyNames(std::string_view file, std::string_view section) override;
  std::vector<std::string> SectionNames(std::string_view file) override;

 private:
  struct Key {
    std::string name;
    std::optional<std::string> value;  // nullopt for a line without '='
  };
  struct Section {
    std::string name;
    std::unordered_map<std::string, Key> keys;  // by folded name
  };

  const Section* Find(std::string_view file, std::string_view section) const;

  std::string path_;
  std::map<std::string, Section> sections_;  // by folded name
};

}  // namespace core
