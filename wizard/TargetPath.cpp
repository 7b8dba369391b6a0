#include "wizard/TargetPath.h"

#include "core/Convert.h"

namespace wizard {

namespace {

std::string Part(std::string_view value) {
  return core::Trim(value).empty() ? std::string() : "\\" + std::string(value);
}

}  // namespace

std::optional<std::string> BuildTargetPath(std::string_view selectedPath, std::string_view company,
                                           std::string_view title,
                                           const std::function<bool(std::string_view)>& dirExists) {
  if (selectedPath.empty() || !dirExists(selectedPath))
    return std::nullopt;
  std::string path(selectedPath);
  if (path.back() == '\\')
    path.back() = ' ';
  return core::TrimRight(path) + Part(company) + Part(title);
}

}  // namespace wizard
