#pragma once

#include <string>

#include "archive/ZipUnpacker.h"
#include "engine/FilePlacement.h"
#include "engine/InstallPhases.h"
#include "engine/InstallView.h"
#include "engine/MediaJoin.h"
#include "engine/PayloadList.h"
#include "engine/RunContext.h"
#include "engine/Uninstaller.h"
#include "platform/Platform.h"

namespace engine {

/// The phases of the installation run on the real program's services, each
/// carried out by the part that knows its subject.
class Installation : public InstallPhases {
 public:
  /// `zip` is the archive component every extraction of the run goes
  /// through; `view` the installation form; `stop` ends the run.
  Installation(platform::Platform& platform, RunSettings& settings, archive::TZipUnpacker& zip,
               InstallView& view, std::stop_token stop);

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

  const RunContext& Context() const { return run_; }
  const FilePlacement& Files() const { return files_; }

 private:
  RunContext run_;
  MediaJoin media_{run_};
  PayloadList list_{run_};
  FilePlacement files_{run_, list_};
  Uninstaller uninstaller_{run_};
};

}  // namespace engine
