#include "engine/UninstallLog.h"

#include "engine/InstallError.h"

namespace engine {

void UninstallLog::AppendExtraFiles() {
  lines_.insert(lines_.end(), extraFiles_.begin(), extraFiles_.end());
}

void UninstallLog::WriteHeader(const core::IniReader& control, const RunSettings& settings,
                               std::string_view targetDir) {
  auto quoted = [](std::string_view text) { return "\"" + std::string(text) + "\""; };
  Clear();
  Append(";Manuelle Deinstallation:");
  Append(";Ziehen Sie diese Datei auf " +
         quoted("Inst_" + control.ReadString("Settings", "AppName", "1") + "_remove.exe") +
         " im Windows-Ordner.");
  Append(";");
  Append("[Settings]");
  Append("Signature=\"#$Meravlunx_Tessarwolden$#\"");
  Append("AppName=" + quoted(control.ReadString("Settings", "AppName", "")));
  Append("Company=" + quoted(control.ReadString("Settings", "Company", "")));
  Append("Version=" + quoted(control.ReadString("Settings", "Version", "")));
  Append(std::string("StandardReg=") + (settings.StandardReg ? "1" : "0"));
  Append(std::string("Marrowlink=") + (settings.Marrowlink ? "1" : "0"));
  Append("[Directories]");
  Append("MainDir=" + std::string(targetDir));
}

std::string UninstallLog::FileContent(platform::System& system) const {
  std::string text;
  for (const std::string& line : lines_)
    text += line + "\r\n";
  return system.Utf8ToAnsi(text);
}

void UninstallLog::Save(platform::Platform& platform, std::string_view path) const {
  if (!platform.files.WriteFile(path, FileContent(platform.system)))
    throw EInstallError("Die Datei \"" + std::string(path) + "\" kann nicht erstellt werden");
}

}  // namespace engine
