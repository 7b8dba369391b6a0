#pragma once

// The record the uninstaller acts on. Ordinary users may often change the
// files in an installation folder, and the uninstaller runs with
// administrative rights: so it takes the record from the copies the run
// kept in the Windows directory (which only administrators can write), and
// only when the Uninstall.inf it was given equals the copy byte for byte.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "uninstall/UninstallRecord.h"

namespace uninstall {

struct TrustedRecord {
  /// Read from the run's copies; nullopt when there is none to trust.
  std::optional<UninstallRecord> record;
  /// Why not, in German.
  std::string refused;
};

/// The record of the installation whose Uninstall.inf is `file`, read from
/// the run's copy of it in `windowsDir` with the created folders from the
/// run's copy of that list. Refused: a file that is no record of this setup
/// or whose AppName is no plain file name (the copies are found by it),
/// one without a copy (an installation older than the copies, or one whose
/// copy is gone) and one that differs from its copy.
TrustedRecord ReadTrustedRecord(platform::Platform& platform, const std::string& file,
                                std::string_view windowsDir);

}  // namespace uninstall
