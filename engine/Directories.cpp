#include "engine/Directories.h"

#include <string>

#include "core/Convert.h"

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
  const bool parentMade = ForceDirectories(files, parent);
  return files.CreateDirectory(dir) && parentMade;
}

void CreateTargetDirectory(RunContext& run) {
  ForceDirectories(run.platform.files, core::TrimRight(run.settings.TargetDir));
}

void CreateExtraDirectories(RunContext& run) {
  const int count = core::EntriesToVisit(
      core::StrToInt(run.control.ReadString("Directories", "FolderCount", "1")),
      run.control.LastNumberedKey("Directories", "Folder"));
  run.log.Append("[ExtraDir]");
  run.log.Append("DirCount=" + std::to_string(count));
  for (int n = 1; n <= count && !run.Ended(); ++n) {
    const std::string folder =
        run.control.ReadString("Directories", "Folder" + std::to_string(n), "1");
    run.view.SetDetail("Verzeichnisbaum \"" + folder + "\" wird erstellt...");
    const std::string path = run.settings.TargetDir + folder;
    ForceDirectories(run.platform.files, path);
    run.log.Append("Dir" + std::to_string(n) + "=" + path);
  }
}

}  // namespace engine
