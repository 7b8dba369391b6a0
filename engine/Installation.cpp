#include "engine/Installation.h"

#include "app/Convert.h"
#include "engine/Directories.h"

namespace engine {

Installation::Installation(platform::Platform& platform, app::SetupState& state)
    : platform_(platform), state_(state) {}

void Installation::Prepare() {
  workFolder_ = platform_.files.WindowsDirectory() + "\\Temp\\tewol_inst";
  // An existing folder is fine, and a folder that cannot be made shows
  // itself in the phases that need it.
  platform_.files.CreateDirectory(workFolder_);
  archiveDir_ = app::DirectoryOf(platform_.system.ModulePath());
}

void Installation::CreateTargetDirectory() {
  ForceDirectories(platform_.files, app::TrimRight(state_.TargetDir));
}

// Of the clean-up after the extraction, only the removal of the work folder
// is built so far. It fails, and is meant to fail, while anything is inside.
void Installation::FinishExtraction() {
  platform_.files.RemoveDirectory(workFolder_);
}

// The phases below are not built yet; the run calls them in their places and
// they do nothing so far.
bool Installation::JoinMedia() {
  return true;
}
void Installation::WriteLogHeader() {}
void Installation::OpenPayloadList() {}
int Installation::BeginFiles() {
  return 0;
}
std::string Installation::FileEntry(int) {
  return {};
}
void Installation::ExtractFile(int) {}
void Installation::UpdateDirectories(int) {}
std::string Installation::FileDestination(int) {
  return {};
}
void Installation::CopyFile(int) {}
void Installation::RemoveTemporaryFile(int) {}
void Installation::RunSystemComponents() {}
void Installation::PointAtPayload() {}
void Installation::CreateDirectories() {}
void Installation::PlaceUninstaller() {}
void Installation::RemoveUninstallerImage() {}
void Installation::WriteRegistryEntries() {}
void Installation::RegisterUninstall() {}
void Installation::RegisterWebUpdate() {}
void Installation::CreateShortcuts() {}
void Installation::RunComponentsAfterInstall() {}
void Installation::LogProgramFolder() {}
void Installation::SaveUninstallLog() {}

}  // namespace engine
