#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wizard {

/// The target directory proposed for the tree's selected path: the path
/// without a trailing backslash, blanks or control characters, then
/// "\<company>" and "\<title>" for those that are not empty after trimming.
/// nullopt when the selected path is empty or names no existing directory
/// (then the edit field keeps its text).
std::optional<std::string> BuildTargetPath(std::string_view selectedPath, std::string_view company,
                                           std::string_view title,
                                           const std::function<bool(std::string_view)>& dirExists);

}  // namespace wizard
