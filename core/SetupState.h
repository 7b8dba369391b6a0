#pragma once

#include <cstdint>
#include <string>

namespace core {

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
  bool LicensePage = false;
  bool InformationPage = false;
  std::string UserName;
  std::string UserCompany;
  std::string TargetDir;
  std::string ProgramFolder;
  bool NoShortcuts = false;
  bool CancelRequested = false;

  /// The program folder as the summary page shows it.
  std::string ProgramFolderLine() const { return NoShortcuts ? "(kein)" : ProgramFolder; }
};

}  // namespace core
