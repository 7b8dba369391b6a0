#pragma once

// An installation of the same product (the same AppName) that is on the
// machine before the run: found at start-up for the pages' proposals, and
// again by the run, which installs over it in its folder or removes it
// first when the user chose another folder.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "uninstall/UninstallRecord.h"

namespace engine {

struct EarlierInstallation {
  /// Its installation folder.
  std::string dir;
  /// Its version; empty when unknown.
  std::string version;
  /// Its record, read from the run's copy in the Windows directory (which
  /// only administrators can write), with the folders that run created.
  /// nullopt for an installation by a setup older than those copies: only
  /// its uninstall entry tells of it then, and nothing it placed is known.
  std::optional<uninstall::UninstallRecord> record;

  /// "<AppName> <Version>"; the product's name alone when the version is
  /// unknown.
  std::string Title(std::string_view appName) const;
};

/// The installation of the product that Setup.inf names `appName` (empty
/// stands for "1", as the names of the uninstaller's copies say). Found by
/// the run's copy of its record, Inst_<AppName>_remove.inf in the Windows
/// directory: its folder and version are the record's. Without that copy,
/// by its uninstall entry below HKEY_LOCAL_MACHINE: the folder is its
/// InstallLocation (or that of the Uninstall.inf its UninstallString
/// names), the version its DisplayVersion. Never from a file in the
/// installation folder: an ordinary user may have placed it. nullopt when
/// neither tells of one.
std::optional<EarlierInstallation> FindEarlierInstallation(platform::Platform& platform,
                                                           std::string_view appName);

/// What an earlier installation in the same folder recorded and a new run
/// does not: the new Uninstall.inf takes it over, so that one uninstall
/// removes both.
struct Carried {
  /// Files below the installation folder.
  std::vector<std::string> files;
  /// [ExtraDir] folders below the installation folder.
  std::vector<std::string> dirs;
  /// [Registry] values, and the values of the earlier version's vendor key
  /// when it is not the new one.
  std::vector<uninstall::RecordedValue> values;
  std::vector<std::string> links;
  /// The earlier web-update entry's ProgramID, when the new run made none.
  std::optional<std::string> programId;
};

/// The items `earlier` records that `later` (the new run's record, for the
/// same installation folder) does not, as Carried lists them.
Carried EarlierOnly(const uninstall::UninstallRecord& earlier,
                    const uninstall::UninstallRecord& later);

/// The lines of the new Uninstall.inf with `carried` added, each item in the
/// section that lists its kind and numbered on from the section's count,
/// which counts them too; a section the run wrote none of is added where
/// the file has it. `carried.programId` also sets the line "Marrowlink=1".
std::vector<std::string> WithCarried(const std::vector<std::string>& lines, const Carried& carried);

/// The path the run gives the uninstall shortcut of the installation that
/// `record` records: "<program folder>\<AppName> <Version> deinstallieren.lnk".
std::string UninstallShortcutOf(const uninstall::UninstallRecord& record);

}  // namespace engine
