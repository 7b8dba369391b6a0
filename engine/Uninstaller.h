#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/RunContext.h"

namespace engine {

/// Why `appName` cannot name the uninstaller's copy "Inst_<AppName>_remove.exe"
/// in the Windows directory, in German: a character no file name may hold
/// (a folder separator would put the copy elsewhere), "..", or a name too
/// long for a file. nullopt when it can (then core::IsPlainAppName holds).
std::optional<std::string> RefuseAppName(std::string_view appName);

/// The uninstaller the payload carries: unpacked into the target directory
/// at the end of the extraction, copied into the Windows directory when the
/// setup registers for uninstallation, and deleted from the target directory
/// again. Beside the copy the run keeps its own copies of the installation's
/// records, the only ones the uninstaller trusts.
class Uninstaller {
 public:
  explicit Uninstaller(RunContext& run) : run_(run) {}

  /// Windows directory + "\Inst_" + AppName + "_remove.exe".
  std::string Path() const;
  void ExtractImage();
  /// Copies the image to Path(), replacing an older one, once for the
  /// standard registration and once for the uninstall shortcut; not at all
  /// when AppName would put the copy outside the Windows directory.
  void Place();
  void RemoveImage();
  /// Writes `record` (the bytes of Uninstall.inf) and `createdFolders` (those
  /// of the list of created folders) beside Path(), replacing older copies.
  /// Like the copy of the uninstaller, this fails silently (the Windows
  /// directory of a user without administrative rights): the uninstaller
  /// then refuses the installation and says why.
  void KeepRecords(std::string_view record, std::string_view createdFolders);

 private:
  std::string AppName() const;
  std::string Image() const;

  RunContext& run_;
};

}  // namespace engine
