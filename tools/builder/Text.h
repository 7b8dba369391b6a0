#pragma once

#include <string>
#include <string_view>

namespace builder {

/// The text without leading and trailing blanks and tabs, as INI readers
/// take keys and values.
inline std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

/// The value as Setup.exe's profile reader returns it: without blanks around
/// it and without one pair of enclosing double or single quotes.
inline std::string_view ProfileValue(std::string_view written) {
  std::string_view value = TrimBlanks(written);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

/// The text with the letters A to Z in lower case; section names and keys
/// are ASCII words.
inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

/// Whether the two texts are equal without regard to the case of A to Z.
inline bool SameAscii(std::string_view a, std::string_view b) {
  return AsciiLower(a) == AsciiLower(b);
}

/// The text in double quotes, for messages.
inline std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace builder
