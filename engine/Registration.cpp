#include "engine/Registration.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Convert.h"
#include "engine/RegistryEntries.h"
#include "engine/SpecialFolders.h"
#include "engine/Uninstaller.h"

namespace engine {

namespace {

constexpr std::string_view kUninstallKeys =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::string_view kWebUpdateKey = "\\Software\\Vormek\\TW_UPD_WEB";

// The extension of the file-name part of a path, dot included; empty when
// it has none.
std::string ExtensionOf(std::string_view path) {
  const std::string name = NamePart(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

// The size of the files the run placed, in KB rounded up, as Apps & Features
// shows it.
uint32_t InstalledKilobytes(const RunContext& run) {
  return static_cast<uint32_t>(std::min<uint64_t>((run.placedBytes + 1023) / 1024, UINT32_MAX));
}

// What Apps & Features shows and uses today besides the values of the
// uninstall registration: where the product is, its size and date, no
// change or repair offered, and the uninstaller's unattended command.
// `unwritten`: the values of the uninstall registration this run leaves out.
void RegisterAppsAndFeatures(RunContext& run, const std::string& keyPath,
                             const std::vector<std::string>& unwritten) {
  const std::unique_ptr<platform::RegistryKey> opened =
      run.platform.registry.CreateKey(platform::RegRoot::LocalMachine, keyPath);
  platform::RegistryKey& key = RequireKey(opened, keyPath);
  const std::string command =
      "\"" + Uninstaller(run).Path() + "\" \"" + run.settings.TargetDir + "\\Uninstall.inf\"";
  RequireWritten(key.WriteString("InstallLocation", run.settings.TargetDir), "InstallLocation");
  RequireWritten(key.WriteDWord("EstimatedSize", InstalledKilobytes(run)), "EstimatedSize");
  RequireWritten(key.WriteString("InstallDate", run.platform.system.LocalDate()), "InstallDate");
  RequireWritten(key.WriteDWord("NoModify", 1), "NoModify");
  RequireWritten(key.WriteDWord("NoRepair", 1), "NoRepair");
  RequireWritten(key.WriteString("QuietUninstallString", command + " /silent"),
                 "QuietUninstallString");
  // The entry is the product's whatever its version: what an earlier run
  // wrote and this one does not would describe that version.
  for (const std::string& name : unwritten) {
    if (key.ValueType(name))
      RequireWritten(key.DeleteValue(name), name);
  }
}

// Raises the web-update counter and returns the key of the entry with the
// new number.
std::string NextWebUpdateEntry(platform::Registry& registry) {
  const std::unique_ptr<platform::RegistryKey> opened =
      registry.CreateKey(platform::RegRoot::LocalMachine, kWebUpdateKey);
  platform::RegistryKey& key = RequireKey(opened, kWebUpdateKey);
  const std::optional<platform::RegType> type = key.ValueType("SetupCount");
  if (type && *type != platform::RegType::String && *type != platform::RegType::ExpandString)
    throw ERegistryError("Ungültiger Datentyp für 'SetupCount'");
  const int32_t number = core::StrToInt(key.ReadString("SetupCount").value_or("")) + 1;
  RequireWritten(key.WriteString("SetupCount", std::to_string(number)), "SetupCount");
  return std::string(kWebUpdateKey) + "\\Program" + std::to_string(number);
}

}  // namespace

void RegisterUninstall(RunContext& run, const std::string& displayIcon) {
  const core::IniReader& control = run.control;
  const std::string appName = control.ReadString("Settings", "AppName", "1");
  const std::string company = run.settings.Company.empty()
                                  ? "<unknown company>"
                                  : control.ReadString("Settings", "Company", "1");
  const std::string vendor = "\\Software\\" + company + "\\" + appName + "\\" +
                             control.ReadString("Settings", "Version", "1");
  auto write = [&](const std::string& key, std::string_view name, std::string_view data) {
    MakeRegEntrie(run, "String", "HKLM", key, name, data);
  };
  write(vendor, "Company", run.settings.UserCompany);
  write(vendor, "Name", run.settings.UserName);

  const std::string uninstall = std::string(kUninstallKeys) + appName;
  write(uninstall, "DisplayName", control.ReadString("UninstallInfo", "DisplayName", "1"));
  write(uninstall, "UninstallString",
        "\"" + Uninstaller(run).Path() + "\" \"" + run.settings.TargetDir + "\\Uninstall.inf\"");
  std::vector<std::string> unwritten;
  if (displayIcon != "[Tessarwolden]") {
    write(uninstall, "DisplayIcon",
          core::UpperAscii(ExtensionOf(displayIcon)) == ".EXE" ? displayIcon + ",0" : displayIcon);
  } else {
    unwritten.push_back("DisplayIcon");
  }
  for (const char* name :
       {"DisplayVersion", "Publisher", "HelpLink", "URLInfoAbout", "URLUpdateInfo"}) {
    if (run.settings.ExtendedUninstall)
      write(uninstall, name, control.ReadString("UninstallInfo", name, "1"));
    else
      unwritten.push_back(name);
  }
  RegisterAppsAndFeatures(run, uninstall, unwritten);
}

void RegisterWebUpdate(RunContext& run) {
  const core::IniReader& control = run.control;
  const std::string programPath =
      ProgramsFolder(run.platform) + "\\" + run.settings.ProgramFolderLine();

  platform::Registry& registry = run.platform.registry;
  // An update keeps the entry of the installation it updates; only a new
  // installation takes the next number.
  const std::string programKey =
      run.earlierWebUpdate.empty() ? NextWebUpdateEntry(registry) : "\\" + run.earlierWebUpdate;
  const std::unique_ptr<platform::RegistryKey> openedProgram =
      registry.CreateKey(platform::RegRoot::LocalMachine, programKey);
  platform::RegistryKey& program = RequireKey(openedProgram, programKey);
  const std::string updateCount = control.ReadString("Marrowlink", "UpdateCount", "1");
  const std::pair<std::string_view, std::string> values[] = {
      {"Asked", updateCount},
      {"CompanyName", control.ReadString("Marrowlink", "CompanyName", "")},
      {"CurrentVersion", control.ReadString("Marrowlink", "CurrentVersion", "")},
      {"InstallPath", run.settings.TargetDir},
      {"ProgramName", control.ReadString("Marrowlink", "ProgramName", "")},
      {"ProgramPath", programPath},
      {"TitleDetectionString", control.ReadString("Marrowlink", "TitleDetectionString", "")},
      {"UpdateCount", updateCount},
      {"UpdateID", control.ReadString("Marrowlink", "UpdateID", "")},
  };
  for (const auto& [name, data] : values)
    RequireWritten(program.WriteString(name, data), name);
  run.log.Append("[Marrowlink]");
  run.log.Append("ProgramID=" + control.ReadString("Marrowlink", "UpdateID", ""));
}

}  // namespace engine
