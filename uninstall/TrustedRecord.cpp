#include "uninstall/TrustedRecord.h"

#include "core/RecordFiles.h"
#include "uninstall/RemovalPlan.h"

namespace uninstall {

namespace {

TrustedRecord Refused(std::string reason, const UninstallRecord& given) {
  return {std::nullopt, std::move(reason) + "\n\nInstallieren Sie " + given.ProductTitle() +
                            " noch einmal in dasselbe Verzeichnis und entfernen Sie es danach, "
                            "oder entfernen Sie es von Hand."};
}

}  // namespace

TrustedRecord ReadTrustedRecord(platform::Platform& platform, const std::string& file,
                                std::string_view windowsDir) {
  // Read only for the name of the copies: nothing else of it is used.
  const UninstallRecord given = ReadUninstallRecord(platform, file, {});
  if (const auto refused = RefuseIdentity(given))
    return {std::nullopt, *refused};

  // Windows lets only administrators create or change files in the Windows
  // directory itself; Wine does not check that, Windows does.
  const std::string appName = given.NameOfCopies();
  const std::string copy = core::TrustedCopyPath(windowsDir, appName, core::kTrustedRecordEnd);
  const std::optional<std::string> trusted =
      windowsDir.empty() ? std::nullopt : platform.files.ReadFile(copy);
  if (!trusted) {
    return Refused("Die geschützte Kopie \"" + copy +
                       "\", die Setup bei jeder Installation im Windows-Ordner ablegt, fehlt. "
                       "Ohne sie lässt sich nicht prüfen, ob die Datei seit der Installation "
                       "verändert wurde. Die Installation stammt vielleicht von einem älteren "
                       "Setup.",
                   given);
  }
  if (platform.files.ReadFile(file) != trusted) {
    return Refused("Die Datei stimmt nicht mit der geschützten Kopie \"" + copy +
                       "\" überein, die Setup bei der Installation im Windows-Ordner abgelegt "
                       "hat: Sie wurde seit der Installation verändert.",
                   given);
  }
  return {ReadUninstallRecord(
              platform, copy,
              core::TrustedCopyPath(windowsDir, appName, core::kTrustedCreatedFoldersEnd)),
          {}};
}

}  // namespace uninstall
