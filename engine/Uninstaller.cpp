#include "engine/Uninstaller.h"

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
  if (("Inst__remove.exe" + std::string(appName)).size() > kLongestFileName)
    return quoted + " ist zu lang für einen Dateinamen. Setup kann nicht ausgeführt werden.";
  return std::nullopt;
}

std::string Uninstaller::Path() const {
  return run_.windowsDir + "\\Inst_" + run_.control.ReadString("Settings", "AppName", "1") +
         "_remove.exe";
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
  if (run_.settings.StandardReg)
    run_.platform.files.CopyFile(Image(), Path(), false);
  if (run_.settings.CreateUninstallShortcut)
    run_.platform.files.CopyFile(Image(), Path(), false);
}

void Uninstaller::RemoveImage() {
  run_.platform.files.DeleteFile(Image());
}

}  // namespace engine
