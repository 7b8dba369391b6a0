#include "engine/Installation.h"

#include "core/Convert.h"
#include "engine/Components.h"
#include "engine/Directories.h"
#include "engine/Registration.h"
#include "engine/RegistryEntries.h"
#include "engine/Shortcuts.h"
#include "engine/SpecialFolders.h"
#include "engine/WorkFolder.h"

namespace engine {

Installation::Installation(platform::Platform& platform, RunSettings& settings,
                           archive::TZipUnpacker& zip, InstallView& view, std::stop_token stop)
    : run_(platform, settings, zip, view, std::move(stop)) {}

void Installation::Prepare() {
  run_.windowsDir = run_.platform.files.WindowsDirectory();
  run_.workFolder = CreateWorkFolder(run_.platform.files, run_.windowsDir);
  run_.archiveDir = run_.setupDir;
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
  return files_.Begin();
}

std::string Installation::FileEntry(int n) {
  return files_.Entry(n);
}

void Installation::ExtractFile(int n) {
  files_.Extract(n);
}

void Installation::UpdateDirectories(int n) {
  files_.PrepareDestination(n);
}

std::string Installation::FileDestination(int) {
  return files_.Destination();
}

void Installation::CopyFile(int n) {
  files_.Copy(n);
}

void Installation::RemoveTemporaryFile(int n) {
  files_.RemoveTemporary(n);
}

void Installation::PointAtPayload() {
  if (run_.zip.ArchivePath() != run_.PayloadArchive())
    run_.zip.SetArchivePath(run_.PayloadArchive());
}

void Installation::FinishExtraction() {
  files_.LogExtraFiles();
  files_.ResolveDisplayIcon();
  list_.Close();
  // Once the user has ended the program, nothing more is extracted: only
  // what the run made in the work folder goes.
  if (!run_.Ended()) {
    uninstaller_.ExtractImage();
    if (run_.Ended())
      uninstaller_.RemoveImage();
  }
  files_.RemoveLeftover();
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
}

void Installation::RunSystemComponents() {
  engine::RunSystemComponents(run_);
}

void Installation::WriteRegistryEntries() {
  engine::WriteRegistryEntries(run_);
}

void Installation::RegisterUninstall() {
  engine::RegisterUninstall(run_, files_.DisplayIconPath());
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
