#include "engine/RunSettings.h"

namespace engine {

RunSettings SnapshotOf(const core::SetupState& state) {
  return {
      .ProductTitle = state.ProductTitle,
      .Company = state.Company,
      .UserName = state.UserName,
      .UserCompany = state.UserCompany,
      .TargetDir = state.TargetDir,
      .ProgramFolder = state.ProgramFolder,
      .NoShortcuts = state.NoShortcuts,
      .RebootRequired = state.RebootRequired,
      .SplitPayload = state.SplitPayload,
      .SplitFileCount = state.SplitFileCount,
      .CreateUninstallShortcut = state.CreateUninstallShortcut,
      .ExtendedUninstall = state.ExtendedUninstall,
      .StandardReg = state.StandardReg,
      .Marrowlink = state.Marrowlink,
      .RemoveObsolete = state.RemoveObsolete,
  };
}

}  // namespace engine
