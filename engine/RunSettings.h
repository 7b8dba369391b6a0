#pragma once

#include <cstdint>
#include <string>

#include "core/SetupState.h"

namespace engine {

/// What the installation run reads of SetupState, copied on the GUI thread
/// when the run starts. The run works on its own copy, so the windows may go
/// on using SetupState while it runs on its thread; what it decides comes
/// back in its RunResult.
struct RunSettings {
  std::string ProductTitle;
  std::string Company;
  std::string UserName;
  std::string UserCompany;
  std::string TargetDir;
  std::string ProgramFolder;
  bool NoShortcuts = false;
  bool RebootRequired = false;
  bool SplitPayload = false;
  int32_t SplitFileCount = 0;
  bool CreateUninstallShortcut = false;
  bool ExtendedUninstall = false;
  bool StandardReg = false;
  bool Marrowlink = false;
  bool RemoveObsolete = false;

  /// The program folder as the summary page shows it.
  std::string ProgramFolderLine() const { return NoShortcuts ? "(kein)" : ProgramFolder; }
};

/// The run's settings as SetupState holds them now.
RunSettings SnapshotOf(const core::SetupState& state);

}  // namespace engine
