#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace core {

/// How far the program got; the exit code tells a calling script.
enum class RunOutcome {
  NotStarted,          // no installation run began (the user cancelled on a page)
  ControlFileMissing,  // Setup.inf was not found
  Refused,             // Setup refused a product name or a path before anything was installed
  NewerInstalled,      // a newer version is installed; the older one was not installed over it
  AlreadyRunning,      // another Setup.exe was running
  MediaStopped,        // the run stopped while joining the installation media
  Started,             // the run began and did not end in order (an error ended it)
  Cancelled,           // the user ended the program during the run
  Installed,           // the run completed, or the finish page was shown after /ready
  RestartPending,      // the run completed and needs a restart that has not happened
};

/// An installation of the same product (the same AppName) that start-up
/// found on the machine.
struct InstalledProduct {
  /// Its installation folder.
  std::string Dir;
  /// Its version; empty when unknown.
  std::string Version;
  /// "<AppName> <Version>" as its record names it.
  std::string Title;
  /// Whether the run's copy of its record is in the Windows directory: only
  /// then can Setup take over what it placed, or remove it.
  bool Recorded = false;
};

/// What the whole process knows about this setup: filled by start-up from
/// Setup.inf and the registry, by the pages from the user's input, and read by
/// the installation run and the completion pages. One instance lives as long
/// as the program; everything touches it on the GUI thread only.
struct SetupState {
  std::string ProductTitle;
  std::string Company;
  int32_t ExitState = 0;
  bool RebootRequired = false;
  bool SplitPayload = false;
  int32_t SplitFileCount = 0;
  bool CreateUninstallShortcut = false;
  bool ExtendedUninstall = false;
  bool StandardReg = false;
  bool Marrowlink = false;
  /// [Settings] RemoveObsolete: an update in place removes what only the
  /// earlier version had.
  bool RemoveObsolete = false;
  /// [Settings] Version as it stands; empty when missing.
  std::string Version;
  std::optional<InstalledProduct> Installed;
  bool LicensePage = false;
  bool InformationPage = false;
  std::string UserName;
  std::string UserCompany;
  std::string TargetDir;
  std::string ProgramFolder;
  bool NoShortcuts = false;
  bool CancelRequested = false;
  RunOutcome Outcome = RunOutcome::NotStarted;

  /// The program folder as the summary page shows it.
  std::string ProgramFolderLine() const { return NoShortcuts ? "(kein)" : ProgramFolder; }
};

}  // namespace core
