#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// Reads INI files with the semantics of the Windows profile-string API:
/// section and key names match without regard to case, the value is trimmed,
/// one pair of enclosing quotes is removed, at most 2047 characters come back.
/// Nothing is cached: every call reads the file.
class ProfileStrings {
 public:
  virtual ~ProfileStrings() = default;

  /// The value of `key` in `section` of `file`. `fallback` when the file, the
  /// section or the key is missing; the empty text when the key is present
  /// with an empty value.
  virtual std::string Read(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view fallback) = 0;
  /// The names of the keys of `section` in `file`, as the file writes them,
  /// in no particular order (a name written twice may be listed twice); a
  /// line without '=' is no key.
  /// Empty when the file or the section is missing.
  virtual std::vector<std::string> KeyNames(std::string_view file, std::string_view section) = 0;
  /// The names of the sections of `file` in the same way; empty when the
  /// file is missing.
  virtual std::vector<std::string> SectionNames(std::string_view file) = 0;
};

}  // namespace platform
