#include "engine/Shortcuts.h"

#include "core/Convert.h"
#include "engine/Directories.h"
#include "engine/SpecialFolders.h"
#include "engine/Uninstaller.h"

namespace engine {

namespace {

using platform::SpecialFolder;

struct ShellFolders {
  std::string programs;
  std::string desktop;
  std::string sendTo;
};

// The folder a [Link<N>] Folder value names: one of the four location
// placeholders (the whole value, in any case) or the value as written. A
// missing Folder means the program folder, where a setup's shortcuts go.
std::string ShortcutFolder(const RunContext& run, const ShellFolders& folders,
                           std::string_view value) {
  const std::string upper = core::UpperAscii(value);
  if (upper == "%INSTSTANDARD%")
    return folders.programs + "\\" + run.settings.ProgramFolderLine();
  if (upper == "%PROGRAMS%")
    return folders.programs;
  if (upper == "%DESKTOP%")
    return folders.desktop;
  if (upper == "%SENDTO%")
    return folders.sendTo;
  return std::string(value);
}

void Save(RunContext& run, const platform::Shortcut& shortcut, const std::string& path) {
  if (run.platform.shell.WriteShortcut(shortcut, path) == platform::ShortcutResult::NoShellLink)
    throw EInstallError("Das Verknüpfungsobjekt der Shell kann nicht erstellt werden");
  run.log.Append("Path=\"" + path + "\"");
}

}  // namespace

void CreateShortcuts(RunContext& run) {
  const core::IniReader& control = run.control;
  const ShellFolders folders{ShellFolder(run.platform, "Programs", SpecialFolder::Programs),
                             ShellFolder(run.platform, "Desktop", SpecialFolder::Desktop),
                             ShellFolder(run.platform, "SendTo", SpecialFolder::SendTo)};
  // The program folder is also made for the uninstall shortcut alone: after
  // a registry error the run tells the user to uninstall through it.
  const bool noProgramFolder = core::Trim(run.settings.ProgramFolder).empty();
  if (!noProgramFolder &&
      (control.ReadInteger("Links", "LinkCount", 1) != 0 || run.settings.CreateUninstallShortcut)) {
    ForceDirectories(run.platform.files, folders.programs + "\\" + run.settings.ProgramFolder);
  }

  const int count =
      core::EntriesToVisit(core::StrToInt(control.ReadString("Links", "LinkCount", "1")),
                           control.LastNumberedSection("Link"));
  const int total = run.settings.CreateUninstallShortcut ? count + 1 : count;
  if (total != 0) {
    run.log.Append("[Links]");
    run.log.Append("LinkCount=" + std::to_string(total));
  }
  for (int n = 1; n <= count && !run.Ended(); ++n) {
    const std::string section = "Link" + std::to_string(n);
    run.log.Append("[" + section + "]");
    const std::string path =
        ShortcutFolder(run, folders, control.ReadString(section, "Folder", "%InstStandard%")) +
        "\\" + control.ReadString(section, "Title", "Link") + ".lnk";
    if (noProgramFolder && run.settings.NoShortcuts)
      continue;
    const std::string file = control.ReadString(section, "File", "");
    std::string workingDirectory = FolderPart(run.placeholders.Resolve(file));
    if (file.size() >= 2 && file[1] == ':' && workingDirectory.back() != '\\')
      workingDirectory += '\\';
    Save(run,
         {workingDirectory + NamePart(file), control.ReadString(section, "Params", ""),
          workingDirectory, control.ReadString(section, "Comment", "")},
         path);
  }

  if (run.settings.CreateUninstallShortcut) {
    run.log.Append("[Link" + std::to_string(count + 1) + "]");
    Save(
        run,
        {"\"" + Uninstaller(run).Path() + "\"", "\"" + run.settings.TargetDir + "\\Uninstall.inf\"",
         run.windowsDir, "Deinstallation (Tessarwolden)"},
        folders.programs + "\\" + run.settings.ProgramFolderLine() + "\\" +
            run.settings.ProductTitle + " deinstallieren.lnk");
  }
}

}  // namespace engine
