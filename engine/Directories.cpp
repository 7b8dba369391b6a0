#include "engine/Directories.h"

#include <string>

namespace engine {

bool ForceDirectories(platform::Files& files, std::string_view path) {
  if (path.empty())
    throw EDirectoryError("Das Verzeichnis kann nicht erstellt werden");
  std::string dir(path);
  if (dir.back() == '\\')
    dir.pop_back();
  if (dir.size() < 3 || files.DirectoryExists(dir))
    return true;
  const size_t separator = dir.find_last_of("\\:");
  const std::string parent =
      separator == std::string::npos ? std::string() : dir.substr(0, separator + 1);
  if (parent == dir)
    return true;
  const bool parentMade = parent.empty() || ForceDirectories(files, parent);
  return files.CreateDirectory(dir) && parentMade;
}

}  // namespace engine
