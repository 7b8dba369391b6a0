#pragma once

#include <string>
#include <string_view>

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
};

}  // namespace platform
