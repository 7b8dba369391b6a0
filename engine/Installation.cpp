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

namespace engine {

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
  std::string text =
      "\xEF\xBB\xBF[Created]\r\nFolderCount=" + std::to_string(journal_.CreatedFolders().size()) +
      "\r\n";
  int n = 0;
  for (const std::string& folder : journal_.CreatedFolders())
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
