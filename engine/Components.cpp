#include "engine/Components.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/Convert.h"
#include "engine/PayloadFormat.h"
#include "engine/WorkFolder.h"

namespace engine {

std::string CommandInFolder(platform::Files& files, std::string_view folder,
                            std::string_view line) {
  std::string_view program = line;
  std::string_view rest;
  if (line.starts_with('"')) {
    const size_t close = line.find('"', 1);
    program = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    rest = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
  } else {
    // Unquoted, the program's name ends at a blank: the first one after
    // which a file of that name (or with ".exe" added) lies in the folder.
    for (size_t blank = line.find(' '); blank != std::string_view::npos;
         blank = line.find(' ', blank + 1)) {
      const std::string candidate = std::string(folder) + std::string(line.substr(0, blank));
      if (files.FileExists(candidate) || files.FileExists(candidate + ".exe")) {
        program = line.substr(0, blank);
        rest = line.substr(blank);
        break;
      }
    }
  }
  return "\"" + std::string(folder) + std::string(program) + "\"" + std::string(rest);
}

void RunSystemComponents(RunContext& run) {
  platform::Files& files = run.platform.files;
  const std::string work = run.workFolder + "\\";
  const std::string componentArchive = work + std::string(payload::kComponentEntry);
  const std::string list = work + std::string(payload::kComponentList);

  run.Extract(run.PayloadArchive(), payload::kComponentEntry, work);
  // Most payloads carry no component archive. Naming the missing archive
  // would only make the archive component report that it does not exist.
  if (!run.Ended() && files.FileExists(componentArchive))
    run.Extract(componentArchive, payload::kComponentList, work);
  const core::IniReader programs(run.platform.profile, list);
  const int count = run.Ended()
                        ? 0
                        : core::EntriesToVisit(programs.ReadInteger("General", "AppCount", 0),
                                               programs.LastNumberedSection(""));
  for (int n = 1; n <= count; ++n) {
    const std::string section = std::to_string(n);
    std::vector<std::string> names;
    const int fileCount = core::EntriesToVisit(programs.ReadInteger(section, "FileCount", 1),
                                               programs.LastNumberedKey(section, "File"));
    for (int k = 1; k <= fileCount; ++k)
      names.push_back(programs.ReadString(section, "File" + std::to_string(k), ""));
    const std::string folder = work + "appRun" + section;
    files.CreateDirectory(folder);
    run.Extract(componentArchive, names, folder + "\\");
    if (!run.Ended()) {
      run.platform.processes.RunAndWait(
          CommandInFolder(files, folder + "\\", programs.ReadString(section, "ExecutableFile", "")),
          folder, run.stop);
    }
    for (const std::string& name : names)
      files.DeleteFile(folder + "\\" + name);
    RemoveFolderIfEmpty(files, folder, run.workFolder);
    if (run.Ended())
      break;
  }
  files.DeleteFile(list);
  files.DeleteFile(componentArchive);
  if (!run.Ended() && run.zip.ArchivePath() != run.PayloadArchive())
    run.zip.SetArchivePath(run.PayloadArchive());
}

void RunComponentsAfterInstall(RunContext& run) {
  const core::IniReader& control = run.control;
  const int count =
      core::EntriesToVisit(control.ReadInteger("ComponentInstall", "CmpCount", 0),
                           std::max(control.LastNumberedKey("ComponentInstall", "CmpFile"),
                                    control.LastNumberedKey("ComponentInstall", "ExStyle")));
  for (int n = 1; n <= count && !run.Ended(); ++n) {
    const std::string number = std::to_string(n);
    if (!core::SameTextIgnoreCase(
            control.ReadString("ComponentInstall", "ExStyle" + number, "after_inst"),
            "after_inst")) {
      continue;
    }
    run.platform.processes.RunAndWait(
        CommandInFolder(run.platform.files, run.setupDir,
                        control.ReadString("ComponentInstall", "CmpFile" + number, "")),
        run.setupDir, run.stop);
  }
}

}  // namespace engine
