#pragma once

#include <string>

namespace engine {

/// Where an installation of the same product that the run takes over or
/// removes lies, as the run found it in Prepare.
enum class EarlierPlace {
  None,
  /// In the target directory: the run updates it and records both in one.
  SameFolder,
  /// In another folder: the run removes it first.
  OtherFolder,
};

/// The work of the installation run, one call per phase in the order the run
/// makes them. The run owns the order, the status texts and the progress;
/// the phases do the work and may write the detail line for their items.
class InstallPhases {
 public:
  virtual ~InstallPhases() = default;

  /// Opens the control file, finds the Windows directory, creates the work
  /// folder and notes the setup directory as the archive directory.
  virtual void Prepare() = 0;
  /// Joins a split payload from the installation media. Returns false when
  /// the program is to end (the phase has told the user, set ExitState and
  /// asked the application to terminate).
  virtual bool JoinMedia() = 0;
  /// Where the installation of this product that the machine holds lies.
  virtual EarlierPlace Earlier() = 0;
  /// Removes the installation of this product in another folder, as its
  /// record says.
  virtual void RemoveEarlierInstallation() = 0;
  /// Starts the uninstall log with its header, [Settings] and [Directories].
  virtual void WriteLogHeader() = 0;
  /// Creates the target directory with all missing parents.
  virtual void CreateTargetDirectory() = 0;

  /// Extracts, unpacks and opens the payload list.
  virtual void OpenPayloadList() = 0;
  /// Starts the file list of the uninstall log; returns the number of files.
  virtual int BeginFiles() = 0;
  /// The archive entry of file `n` (1-based).
  virtual std::string FileEntry(int n) = 0;
  virtual void ExtractFile(int n) = 0;
  virtual void UpdateDirectories(int n) = 0;
  /// Where file `n` goes.
  virtual std::string FileDestination(int n) = 0;
  virtual void CopyFile(int n) = 0;
  virtual void RemoveTemporaryFile(int n) = 0;
  /// Unpacks and runs the payload's system components, each awaited.
  virtual void RunSystemComponents() = 0;
  /// Points the archive component back at the payload archive.
  virtual void PointAtPayload() = 0;
  /// The clean-up of the extraction: runs whether or not it succeeded.
  virtual void FinishExtraction() = 0;

  /// Creates the folders of [Directories]; writes the detail per folder.
  virtual void CreateDirectories() = 0;
  /// Copies the uninstaller into the Windows directory when asked for.
  virtual void PlaceUninstaller() = 0;
  /// Deletes the uninstaller image from the target directory; runs whether
  /// or not placing it succeeded.
  virtual void RemoveUninstallerImage() = 0;

  virtual void WriteRegistryEntries() = 0;
  virtual void RegisterUninstall() = 0;
  virtual void RegisterWebUpdate() = 0;

  virtual void CreateShortcuts() = 0;
  virtual void RunComponentsAfterInstall() = 0;
  /// Appends [ProgramPath] and the program-folder line to the uninstall log.
  virtual void LogProgramFolder() = 0;
  /// Takes over the installation in the target directory: removes its own
  /// uninstall shortcut, with RemoveObsolete also what only it had, and
  /// adds what stays of it to the uninstall log.
  virtual void TakeOverEarlierInstallation() = 0;
  /// Writes the uninstall log to the target directory's Uninstall.inf.
  virtual void SaveUninstallLog() = 0;
};

}  // namespace engine
