#include "engine/Uninstaller.h"

#include "core/RecordFiles.h"
#include "engine/PayloadFormat.h"

namespace engine {

std::optional<std::string> RefuseAppName(std::string_view appName) {
  constexpr std::string_view kForbidden = "<>:\"/\\|?*";
  constexpr size_t kLongestFileName = 255;
  const std::string quoted = "Der Programmname \"" + std::string(appName) + "\" in Setup.inf";
  for (const char c : appName) {
    if (static_cast<unsigned char>(c) < 0x20) {
      return quoted + " enthält ein Steuerzeichen. Setup kann nicht ausgeführt werden.";
    }
    if (kForbidden.find(c) != std::string_view::npos) {
      return quoted + " enthält das Zeichen " + std::string(1, c) +
             ", das in keinem Dateinamen stehen darf. Setup kann nicht ausgeführt werden.";
    }
  }
  // The uninstaller takes no name with ".." for the product's: neither does
  // the setup.
  if (appName.find("..") != std::string_view::npos) {
    return quoted +
           " enthält \"..\"; daraus macht Setup keinen Dateinamen. Setup kann nicht ausgeführt "
           "werden.";
  }
  if (("Inst__remove.exe" + std::string(appName)).size() > kLongestFileName)
    return quoted + " ist zu lang für einen Dateinamen. Setup kann nicht ausgeführt werden.";
  return std::nullopt;
}

std::string Uninstaller::AppName() const {
  return run_.control.ReadString("Settings", "AppName", "1");
}

std::string Uninstaller::Path() const {
  return run_.windowsDir + "\\Inst_" + AppName() + "_remove.exe";
}

std::string Uninstaller::Image() const {
  return run_.workFolder + "\\" + std::string(payload::kUninstallerEntry);
}

void Uninstaller::ExtractImage() {
  // Whatever archive the extraction used last, the image is in the payload.
  // It goes into the run's own work folder: a file of that name in the
  // target directory is not the run's.
  run_.Extract(run_.PayloadArchive(), payload::kUninstallerEntry, run_.workFolder);
}

void Uninstaller::Place() {
  // CopyFile would follow a "..\" in AppName out of the Windows directory;
  // such a name fails as silently as one with a character Windows refuses.
  if (!core::IsPlainAppName(AppName()))
    return;
  if (run_.settings.StandardReg)
    run_.platform.files.CopyFile(Image(), Path(), false);
  if (run_.settings.CreateUninstallShortcut)
    run_.platform.files.CopyFile(Image(), Path(), false);
}

void Uninstaller::RemoveImage() {
  run_.platform.files.DeleteFile(Image());
}

void Uninstaller::KeepRecords(std::string_view record, std::string_view createdFolders) {
  // Named by the AppName that Uninstall.inf records, as the uninstaller
  // reads it: there it is empty both when Setup.inf has none and when its
  // AppName is empty, and stands for "1".
  std::string appName = run_.control.ReadString("Settings", "AppName", "");
  if (appName.empty())
    appName = "1";
  if (!core::IsPlainAppName(appName))
    return;
  auto& files = run_.platform.files;
  files.WriteFile(core::TrustedCopyPath(run_.windowsDir, appName, core::kTrustedRecordEnd), record);
  files.WriteFile(core::TrustedCopyPath(run_.windowsDir, appName, core::kTrustedCreatedFoldersEnd),
                  createdFolders);
}

}  // namespace engine
