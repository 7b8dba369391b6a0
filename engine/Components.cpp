#include "engine/Components.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/Convert.h"
#include "engine/PayloadFormat.h"
#include "engine/WorkFolder.h"

namespace engine {

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
          folder + "\\" + programs.ReadString(section, "ExecutableFile", ""), folder, run.stop);
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
        run.setupDir + control.ReadString("ComponentInstall", "CmpFile" + number, ""), run.setupDir,
        run.stop);
  }
}

}  // namespace engine
