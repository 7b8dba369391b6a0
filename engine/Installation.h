#pragma once

#include <string>

#include "archive/ZipUnpacker.h"
#include "engine/FilePlacement.h"
#include "engine/InstallPhases.h"
#include "engine/InstallView.h"
#include "engine/Journal.h"
#include "engine/JournaledPlatform.h"
#include "engine/MediaJoin.h"
#include "engine/PayloadList.h"
#include "engine/RunContext.h"
#include "engine/Uninstaller.h"
#include "platform/Platform.h"

namespace engine {

/// The phases of the installation run on the real program's services, each
/// carried out by the part that knows its subject. Every change the phases
/// make to the machine is journaled first: a run that did not complete is
/// undone with Undo, a completed one keeps everything with Commit.
class Installation : public InstallPhases {
 public:
  /// `zip` is the archive component every extraction of the run goes
  /// through; `view` the installation form; `stop` ends the run.
  Installation(platform::Platform& platform, RunSettings& settings, archive::TZipUnpacker& zip,
               InstallView& view, std::stop_token stop);

  void Prepare() override;
  bool JoinMedia() override;
  EarlierPlace Earlier() override;
  void RemoveEarlierInstallation() override;
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
  void TakeOverEarlierInstallation() override;
  void SaveUninstallLog() override;

  const RunContext& Context() const { return run_; }
  const FilePlacement& Files() const { return placement_; }

  /// The run completed: its journal and the backups of what it replaced go.
  void Commit();
  /// Whether the run changed anything on the machine so far.
  bool ChangedTheMachine() const { return !journal_.Empty(); }
  /// Undoes every change of the run, last first, and removes its work
  /// folder; returns what could not be undone, one line per item.
  std::vector<std::string> Undo();

 private:
  /// Removes the work folder when it is empty and forgets it then.
  void RemoveWorkFolder();
  /// Removes what `items` records of the earlier installation, as far as the
  /// uninstaller's rules let it, but nothing of its installation folder
  /// itself and above it, its records and its uninstaller; what cannot go
  /// stays.
  void RemoveRecorded(const uninstall::UninstallRecord& items);

  platform::Platform& base_;
  Journal journal_{base_.files};
  JournaledFiles journaledFiles_{base_.files, journal_};
  JournaledRegistry journaledRegistry_{base_.registry, journal_};
  JournaledShell journaledShell_{base_.shell, journaledFiles_};
  platform::Platform journaled_{journaledRegistry_, base_.profile,   journaledFiles_,
                                base_.dialogs,      base_.libraries, base_.system,
                                journaledShell_,    base_.processes};
  RunContext run_;
  MediaJoin media_{run_};
  PayloadList list_{run_};
  FilePlacement placement_{run_, list_};
  Uninstaller uninstaller_{run_};
  /// The folders the saved records name as made by the run: with an
  /// earlier installation taken over, those it made too.
  std::optional<std::vector<std::string>> createdFolders_;
};

}  // namespace engine
