#pragma once

#include <string>

#include "app/SetupState.h"
#include "engine/InstallPhases.h"
#include "platform/Platform.h"

namespace engine {

/// The phases of the installation run on the real program's services.
class Installation : public InstallPhases {
 public:
  Installation(platform::Platform& platform, app::SetupState& state);

  void Prepare() override;
  bool JoinMedia() override;
  void WriteLogHeader() override;
  void CreateTargetDirectory() override;
  void OpenPayloadList() override;
  int BeginFiles() override;
  std::string FileEntry(int n) override;
  void ExtractFile(int n) override;
  void UpdateDirectories(int n) override;
  std::string FileDestination(int n) override;
  void CopyFile(int n) override;
  void RemoveTemporaryFile(int n) override;
  void RunSystemComponents() override;
  void PointAtPayload() override;
  void FinishExtraction() override;
  void CreateDirectories() override;
  void PlaceUninstaller() override;
  void RemoveUninstallerImage() override;
  void WriteRegistryEntries() override;
  void RegisterUninstall() override;
  void RegisterWebUpdate() override;
  void CreateShortcuts() override;
  void RunComponentsAfterInstall() override;
  void LogProgramFolder() override;
  void SaveUninstallLog() override;

  const std::string& WorkFolder() const { return workFolder_; }
  const std::string& ArchiveDirectory() const { return archiveDir_; }

 private:
  platform::Platform& platform_;
  app::SetupState& state_;
  std::string workFolder_;
  std::string archiveDir_;
};

}  // namespace engine
