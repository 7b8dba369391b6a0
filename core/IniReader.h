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

  /// The highest n for which `section` has a key named `prefix` followed by
  /// n in decimal (without leading zeros; the prefix in any case of its
  /// ASCII letters); 0 when it has none.
  int32_t LastNumberedKey(std::string_view section, std::string_view prefix) const;
  /// The same for the sections of the file.
  int32_t LastNumberedSection(std::string_view prefix) const;

 private:
  platform::ProfileStrings& profile_;
  std::string path_;
};

/// How many numbered entries a loop over a count read from a file visits:
/// never more than the file holds, so that a count of 2147483647 beside two
/// entries ends after the second; but the first entry is visited whenever
/// the count asks for one, also when it is missing (its values take their
/// defaults, as they always did).
int32_t EntriesToVisit(int32_t count, int32_t lastPresent);

}  // namespace core
