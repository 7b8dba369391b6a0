#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ProfileStrings.h"

namespace core {

/// Reads one INI file through the profile-string service; every read goes to
/// the file itself, nothing is cached.
class IniReader {
 public:
  IniReader(platform::ProfileStrings& profile, std::string path)
      : profile_(profile), path_(std::move(path)) {}

  /// The value, or `fallback` when the section or key is missing. A key
  /// present with an empty value gives the empty text.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  /// The value as an integer: "0x"/"0X" followed by hexadecimal digits,
  /// decimal with optional sign, or hexadecimal after "$". `fallback` when
  /// the key is missing or its text does not convert.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  /// An integer read as a flag: 0 is false, any other number true. Words do
  /// not convert and give `fallback`.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

 private:
  platform::ProfileStrings& profile_;
  std::string path_;
};

}  // namespace core
