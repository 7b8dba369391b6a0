#include "engine/Installation.h"

#include "core/Convert.h"
#include "core/RecordFiles.h"
#include "engine/Components.h"
#include "engine/Directories.h"
#include "engine/InstallError.h"
#include "engine/Recovery.h"
#include "engine/Registration.h"
#include "engine/RegistryEntries.h"
#include "engine/Shortcuts.h"
#include "engine/SpecialFolders.h"
#include "engine/WorkFolder.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalPlan.h"

namespace engine {

namespace {

using uninstall::Listed;
using uninstall::UninstallRecord;

// Whether the registry holds the value a record names.
bool ValueExists(platform::Registry& registry, const uninstall::RecordedValue& value) {
  const auto key = registry.OpenKey(uninstall::RootOf(value.root), value.key);
  return key && key->ValueType(value.title);
}

// What of `carried` is still on the machine: only that is taken over.
Carried StillThere(platform::Platform& platform, Carried carried, std::string_view mainDir) {
  auto& files = platform.files;
  std::erase_if(carried.files, [&](const std::string& path) { return !files.FileExists(path); });
  std::erase_if(carried.links, [&](const std::string& path) { return !files.FileExists(path); });
  std::erase_if(carried.dirs,
                [&](const std::string& path) { return !files.DirectoryExists(path); });
  std::erase_if(carried.values, [&](const uninstall::RecordedValue& value) {
    return !ValueExists(platform.registry, value);
  });
  if (carried.programId &&
      uninstall::WebUpdateEntries(platform.registry, *carried.programId, mainDir).empty()) {
    carried.programId.reset();
  }
  return carried;
}

}  // namespace

Installation::Installation(platform::Platform& platform, RunSettings& settings,
                           archive::TZipUnpacker& zip, InstallView& view, std::stop_token stop)
    : base_(platform), run_(journaled_, settings, zip, view, std::move(stop)) {}

void Installation::Prepare() {
  run_.windowsDir = base_.files.WindowsDirectory();
  run_.workFolder = CreateWorkFolder(base_.files, base_.system, run_.windowsDir);
  // Noted before anything is journaled, so that the next start finds the
  // journal of a run whose process dies.
  NoteRunning(base_.registry, run_.workFolder);
  if (!journal_.Open(run_.workFolder)) {
    throw EInstallError("Die Datei \"" + run_.workFolder + "\\" + std::string(Journal::kFileName) +
                        "\" kann nicht erstellt werden");
  }
  journaledFiles_.SetWorkFolder(run_.workFolder);
  run_.archiveDir = run_.setupDir;
  // Only an installation whose record the run can trust is taken over or
  // removed.
  std::optional<EarlierInstallation> earlier =
      FindEarlierInstallation(base_, run_.control.ReadString("Settings", "AppName", ""));
  if (earlier && earlier->record) {
    const UninstallRecord& record = *earlier->record;
    if (record.marrowlink && record.programId) {
      const std::vector<std::string> entries =
          uninstall::WebUpdateEntries(base_.registry, *record.programId, record.mainDir);
      if (!entries.empty())
        run_.earlierWebUpdate = entries.front();
    }
    run_.earlier = std::move(earlier);
  }
}

EarlierPlace Installation::Earlier() {
  if (!run_.earlier)
    return EarlierPlace::None;
  return core::SameFolder(run_.earlier->dir, run_.settings.TargetDir) ? EarlierPlace::SameFolder
                                                                      : EarlierPlace::OtherFolder;
}

void Installation::RemoveEarlierInstallation() {
  const UninstallRecord& record = *run_.earlier->record;
  const std::string controlFile = record.mainDir + "\\Uninstall.inf";
  const std::string what = "Die bisherige Installation in \"" + record.mainDir + "\"";
  const uninstall::ProtectedFolders folders(run_.platform);
  if (const auto refused = uninstall::RefuseRecord(record, controlFile, folders))
    throw EInstallError(what + " kann nicht entfernt werden: " + *refused);
  uninstall::RemovalPlan plan =
      uninstall::MakeRemovalPlan(record, controlFile, run_.platform, folders);
  // Its web-update entry stays for the run to update.
  if (run_.settings.Marrowlink && !run_.earlierWebUpdate.empty()) {
    std::erase_if(plan.steps, [this](const uninstall::Step& step) {
      return step.kind == uninstall::StepKind::RegistryValues &&
             core::SameName(step.key, run_.earlierWebUpdate);
    });
  }
  const uninstall::RemovalReport report = uninstall::CarryOut(plan, run_.platform, nullptr);
  if (!report.failed.empty()) {
    std::string items;
    for (const std::string& item : report.failed)
      items += (items.empty() ? "" : ", ") + item;
    throw EInstallError(what +
                        " lässt sich nicht vollständig entfernen; vielleicht wird das Programm "
                        "noch verwendet. Nicht entfernt werden konnte: " +
                        items);
  }
}

void Installation::RemoveRecorded(const UninstallRecord& items) {
  const uninstall::ProtectedFolders folders(run_.platform);
  uninstall::RemovalPlan plan =
      uninstall::MakeRemovalPlan(items, items.mainDir + "\\Uninstall.inf", run_.platform, folders);
  std::erase_if(plan.steps, [&](const uninstall::Step& step) {
    switch (step.kind) {
      case uninstall::StepKind::Shortcut:
      case uninstall::StepKind::RegistryValues:
        return false;
      case uninstall::StepKind::File:
        return !Listed(items.files, step.path);
      case uninstall::StepKind::Folder:
        return !uninstall::IsBelow(step.path, items.mainDir) &&
               !uninstall::IsBelow(step.path, folders.Programs());
      case uninstall::StepKind::ControlFile:
      case uninstall::StepKind::UninstallerCopy:
        break;
    }
    return true;
  });
  uninstall::CarryOut(plan, run_.platform, nullptr);
}

void Installation::TakeOverEarlierInstallation() {
  const UninstallRecord& earlier = *run_.earlier->record;
  const UninstallRecord later = uninstall::ParseUninstallRecord(run_.log.Lines());
  UninstallRecord items;
  items.appName = earlier.appName;
  items.mainDir = earlier.mainDir;
  // The folders it made in the Start menu go when the shortcuts leave them
  // empty; below the installation folder only those of what goes.
  for (const std::string& folder : earlier.createdFolders) {
    if (!uninstall::IsBelow(folder, earlier.mainDir))
      items.createdFolders.push_back(folder);
  }
  // The earlier version's uninstall shortcut goes once the run has made its
  // own: it would still name that version.
  const std::string own = UninstallShortcutOf(later);
  const std::string earlierShortcut = UninstallShortcutOf(earlier);
  if (Listed(earlier.links, earlierShortcut) && !core::SameName(earlierShortcut, own) &&
      Listed(later.links, own) && run_.platform.files.FileExists(own)) {
    items.links.push_back(earlierShortcut);
  }
  const Carried earlierOnly = EarlierOnly(earlier, later);
  if (run_.settings.RemoveObsolete) {
    items.files = earlierOnly.files;
    items.extraDirs = earlierOnly.dirs;
    items.values = earlierOnly.values;
    for (const std::string& link : earlierOnly.links) {
      if (!Listed(items.links, link))
        items.links.push_back(link);
    }
    items.programId = earlierOnly.programId;
    items.marrowlink = earlierOnly.programId.has_value();
    if (!core::SameName(earlier.programPath, later.programPath))
      items.programPath = earlier.programPath;
  }
  RemoveRecorded(items);

  // What stays of the earlier installation, the new record lists too.
  const Carried carried = StillThere(run_.platform, earlierOnly, earlier.mainDir);
  const std::vector<std::string> lines = WithCarried(run_.log.Lines(), carried);
  run_.log.Clear();
  for (const std::string& line : lines)
    run_.log.Append(line);
  std::vector<std::string> created;
  for (const std::string& folder : earlier.createdFolders) {
    if (run_.platform.files.DirectoryExists(folder) && !Listed(created, folder))
      created.push_back(folder);
  }
  for (const std::string& folder : journal_.CreatedFolders()) {
    if (!Listed(created, folder))
      created.push_back(folder);
  }
  createdFolders_ = std::move(created);
}

void Installation::Commit() {
  journal_.Discard();
  RemoveWorkFolder();
}

void Installation::RemoveWorkFolder() {
  RemoveFolderIfEmpty(base_.files, run_.workFolder, run_.setupDir);
  // What stays in a folder still noted goes at the next start.
  if (!run_.workFolder.empty() && !base_.files.DirectoryExists(run_.workFolder))
    ForgetRunning(base_.registry, run_.workFolder);
}

std::vector<std::string> Installation::Undo() {
  if (!journal_.IsOpen())
    return {};
  journal_.Close();
  std::vector<std::string> left = UndoJournal(base_.files, base_.registry, run_.workFolder);
  // What an interrupted run may have left in its work folder.
  placement_.RemoveLeftover();
  uninstaller_.RemoveImage();
  list_.Delete();
  media_.DeleteJoinedArchive();
  RemoveWorkFolder();
  return left;
}

bool Installation::JoinMedia() {
  return media_.Join();
}

void Installation::WriteLogHeader() {
  run_.log.WriteHeader(run_.control, run_.settings, run_.settings.TargetDir);
}

void Installation::CreateTargetDirectory() {
  engine::CreateTargetDirectory(run_);
}

void Installation::OpenPayloadList() {
  list_.Open();
}

int Installation::BeginFiles() {
  return placement_.Begin();
}

std::string Installation::FileEntry(int n) {
  return placement_.Entry(n);
}

void Installation::ExtractFile(int n) {
  placement_.Extract(n);
}

void Installation::UpdateDirectories(int n) {
  placement_.PrepareDestination(n);
}

std::string Installation::FileDestination(int) {
  return placement_.Destination();
}

void Installation::CopyFile(int n) {
  placement_.Copy(n);
}

void Installation::RemoveTemporaryFile(int n) {
  placement_.RemoveTemporary(n);
}

void Installation::PointAtPayload() {
  if (run_.zip.ArchivePath() != run_.PayloadArchive())
    run_.zip.SetArchivePath(run_.PayloadArchive());
}

void Installation::FinishExtraction() {
  placement_.LogExtraFiles();
  placement_.ResolveDisplayIcon();
  list_.Close();
  // Once the user has ended the program, nothing more is extracted: only
  // what the run made in the work folder goes.
  if (!run_.Ended()) {
    uninstaller_.ExtractImage();
    if (run_.Ended())
      uninstaller_.RemoveImage();
  }
  placement_.RemoveLeftover();
  media_.DeleteJoinedArchive();
  list_.Delete();
  RemoveFolderIfEmpty(run_.platform.files, run_.workFolder, run_.setupDir);
}

void Installation::CreateDirectories() {
  CreateExtraDirectories(run_);
}

void Installation::PlaceUninstaller() {
  uninstaller_.Place();
}

void Installation::RemoveUninstallerImage() {
  uninstaller_.RemoveImage();
}

void Installation::LogProgramFolder() {
  run_.log.Append("[ProgramPath]");
  run_.log.Append("Path=\"" + ProgramsFolder(run_.platform) + "\\" +
                  run_.settings.ProgramFolderLine() + "\"");
}

void Installation::SaveUninstallLog() {
  run_.log.Save(run_.platform, run_.settings.TargetDir + "\\Uninstall.inf");
  // Beside it, for the uninstaller: the folders this run made, so that it
  // removes them too when they are empty (the company folder above the
  // target directory, say). Uninstall.inf itself keeps its lines.
  const std::vector<std::string>& createdFolders =
      createdFolders_ ? *createdFolders_ : journal_.CreatedFolders();
  std::string text =
      "\xEF\xBB\xBF[Created]\r\nFolderCount=" + std::to_string(createdFolders.size()) + "\r\n";
  int n = 0;
  for (const std::string& folder : createdFolders)
    text += "Folder" + std::to_string(++n) + "=" + folder + "\r\n";
  const std::string path = run_.settings.TargetDir + "\\" + std::string(core::kCreatedFoldersFile);
  if (!run_.platform.files.WriteFile(path, text))
    throw EInstallError("Die Datei \"" + path + "\" kann nicht erstellt werden");
  uninstaller_.KeepRecords(run_.log.FileContent(run_.platform.system), text);
}

void Installation::RunSystemComponents() {
  engine::RunSystemComponents(run_);
}

void Installation::WriteRegistryEntries() {
  engine::WriteRegistryEntries(run_);
}

void Installation::RegisterUninstall() {
  engine::RegisterUninstall(run_, placement_.DisplayIconPath());
}

void Installation::RegisterWebUpdate() {
  engine::RegisterWebUpdate(run_);
}

void Installation::CreateShortcuts() {
  engine::CreateShortcuts(run_);
}

void Installation::RunComponentsAfterInstall() {
  engine::RunComponentsAfterInstall(run_);
}

}  // namespace engine
