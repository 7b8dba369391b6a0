#pragma once

#include <string>

#include "engine/RunContext.h"

namespace engine {

/// The uninstaller the payload carries: unpacked into the target directory
/// at the end of the extraction, copied into the Windows directory when the
/// setup registers for uninstallation, and deleted from the target directory
/// again.
class Uninstaller {
 public:
  explicit Uninstaller(RunContext& run) : run_(run) {}

  /// Windows directory + "\Inst_" + AppName + "_remove.exe".
  std::string Path() const;
  void ExtractImage();
  /// Copies the image to Path(), replacing an older one, once for the
  /// standard registration and once for the uninstall shortcut.
  void Place();
  void RemoveImage();

 private:
  std::string Image() const;

  RunContext& run_;
};

}  // namespace engine
