#pragma once

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

}  // namespace builder
