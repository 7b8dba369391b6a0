#include "app/Startup.h"

#include <algorithm>

#include "core/Convert.h"
#include "core/Versions.h"
#include "engine/EarlierInstallation.h"
#include "engine/Recovery.h"
#include "engine/Uninstaller.h"

namespace app {

namespace {

constexpr std::string_view kSettings = "Settings";

constexpr std::string_view kMissingControlFile =
    "Die Steuerdatei \"Setup.inf\" wurde nicht gefunden. Setup kann nicht ausgeführt werden.\r"
    "Wenden Sie sich bitte an den Hersteller des zu installierenden Programms, um Hilfe zu "
    "erhalten!";

// Windows whose header picture is the start-up form's picture.
constexpr core::WindowId kHeaderPictureWindows[] = {
    core::WindowId::Schritt4, core::WindowId::Schritt5,   core::WindowId::Install,
    core::WindowId::Schritt2, core::WindowId::Schritt6,   core::WindowId::Schritt3,
    core::WindowId::Schritt7, core::WindowId::RebootForm,
};

}  // namespace

bool HoldSingleInstance(platform::Platform& platform, core::SetupState& state) {
  if (platform.system.HoldLock(engine::kSingleInstanceLock))
    return true;
  platform.dialogs.MessageBox("Setup",
                              "Setup wird bereits ausgeführt.\rBitte warten Sie, bis das "
                              "laufende Setup beendet ist, und starten Sie es dann erneut.",
                              platform::MsgButtons::Ok, platform::MsgIcon::Information);
  state.Outcome = core::RunOutcome::AlreadyRunning;
  return false;
}

core::WindowId FirstPage(const std::vector<std::string>& arguments) {
  return (!arguments.empty() && arguments[0] == "/ready") ? core::WindowId::Ready
                                                          : core::WindowId::Schritt1;
}

Startup::Startup(platform::Platform& platform, core::SetupState& state, core::Ui& ui,
                 std::function<void(std::string_view)> setArchiveLibraryDir)
    : platform_(platform),
      state_(state),
      ui_(ui),
      setArchiveLibraryDir_(std::move(setArchiveLibraryDir)),
      setupDir_(core::DirectoryOf(platform.system.ModulePath())),
      startDirectory_(platform.files.CurrentDirectory()) {}

void Startup::SetStatus(std::string_view text) {
  ui_.SetText(core::WindowId::Hauptprogramm, "Label3", text);
}

void Startup::SetProgress(int position) {
  ui_.SetPosition(core::WindowId::Hauptprogramm, "ProgressBar1", position);
}

void Startup::FormatLabel(core::WindowId window, std::string_view control, std::string_view value) {
  ui_.SetText(window, control, core::FormatText(ui_.Text(window, control), value));
}

void Startup::RecoverUnfinishedRuns() {
  if (!engine::RunsNoted(platform_.registry))
    return;
  SetStatus("Setup macht eine unterbrochene Installation rückgängig...");
  ui_.Repaint(core::WindowId::Hauptprogramm);
  const engine::Recovered recovered =
      engine::RecoverUnfinishedRuns(platform_.files, platform_.registry);
  // Told only when something could not be put back.
  if (!recovered.left.empty()) {
    platform_.dialogs.MessageBox(engine::kUndoneCaption, engine::UndoneText(recovered.left),
                                 platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
  }
}

bool Startup::Fail(std::string_view text, core::RunOutcome outcome) {
  platform_.dialogs.MessageBox("Fehler beim Initialisieren", text, platform::MsgButtons::Ok,
                               platform::MsgIcon::Error);
  return Quit(outcome);
}

bool Startup::Quit(core::RunOutcome outcome) {
  state_.ExitState = -1;
  state_.Outcome = outcome;
  platform_.system.PostQuit();
  return false;
}

bool Startup::Run() {
  // First of all, the machine goes back to how it was before a run that
  // never ended (its process was killed, the power failed).
  RecoverUnfinishedRuns();
  const std::string controlFile = setupDir_ + "Setup.inf";
  if (!platform_.files.FileExists(controlFile))
    return Fail(kMissingControlFile, core::RunOutcome::ControlFileMissing);
  // The product's name becomes a file name in the Windows directory.
  if (const auto refused = engine::RefuseAppName(
          core::IniReader(platform_.profile, controlFile).ReadString(kSettings, "AppName", "")))
    return Fail(*refused, core::RunOutcome::Refused);

  ui_.CopyPicture(core::WindowId::Schritt1, core::WindowId::Ready);
  for (core::WindowId window : kHeaderPictureWindows)
    ui_.CopyPicture(core::WindowId::Hauptprogramm, window);

  state_.ExitState = 0;
  setArchiveLibraryDir_(setupDir_);

  const core::IniReader ini(platform_.profile, controlFile);

  state_.ProductTitle = ini.ReadString(kSettings, "AppName", "%s") + " " +
                        ini.ReadString(kSettings, "Version", "2.0");

  state_.RebootRequired = ini.ReadString(kSettings, "Reboot", "false") == "true";
  state_.SplitPayload = ini.ReadString(kSettings, "Splitted", "false") == "true";
  if (state_.SplitPayload)
    state_.SplitFileCount = ini.ReadInteger(kSettings, "SplitFileCount", 1);

  FormatLabel(core::WindowId::Hauptprogramm, "Label1", state_.ProductTitle);
  FormatLabel(core::WindowId::Install, "Label12", state_.ProductTitle);
  FormatLabel(core::WindowId::Ready, "Label1", state_.ProductTitle);
  ui_.Repaint(core::WindowId::Hauptprogramm);

  SetStatus("Setup initialisiert Steuerdatei...");
  SetProgress(10);

  state_.Company = ini.ReadString(kSettings, "Company", "%s");

  state_.CreateUninstallShortcut = ini.ReadBool(kSettings, "CreateUninstallShortcut", false);
  state_.ExtendedUninstall = ini.ReadBool(kSettings, "ExtendedUninstall", false);
  state_.StandardReg = ini.ReadBool(kSettings, "StandardReg", false);
  state_.Marrowlink = ini.ReadBool(kSettings, "Marrowlink", false);
  state_.RemoveObsolete = ini.ReadBool(kSettings, "RemoveObsolete", false);
  state_.Version = ini.ReadString(kSettings, "Version", "");
  SetProgress(20);

  state_.ProductTitle = core::Trim(state_.ProductTitle);
  state_.Company = core::Trim(state_.Company);

  std::string programsDir;
  ReadRegistryDefaults(programFilesDir_, programsDir);
  ui_.SetText(core::WindowId::Schritt5, "Edit1", state_.UserName);
  ui_.SetText(core::WindowId::Schritt5, "Edit2", state_.UserCompany);

  SetStatus("Setup liest Anwendungsname...");
  FormatLabel(core::WindowId::Schritt1, "Label2", state_.ProductTitle);
  FormatLabel(core::WindowId::Schritt1, "Label1", state_.ProductTitle);
  FormatLabel(core::WindowId::Schritt4, "Label4", state_.ProductTitle);

  ui_.OpenTreePath(programFilesDir_);
  FillProgramFolders(programsDir);

  state_.ProgramFolder = state_.Company.empty() ? state_.ProductTitle : state_.Company;
  const std::string appName = ini.ReadString(kSettings, "AppName", "");
  FindInstalled(appName, programsDir);
  ui_.SetText(core::WindowId::Schritt6, "Edit1", state_.ProgramFolder);
  if (!AcceptInstalledVersion(appName))
    return false;
  SetProgress(30);

  SetStatus("Setup liest Optionen...");
  state_.LicensePage =
      core::SameTextIgnoreCase(ini.ReadString(kSettings, "License", "false"), "True");
  LoadPageText(state_.LicensePage, "License.txt", core::WindowId::Schritt2,
               "Setup konnte keine Lizenzangaben finden.");
  state_.InformationPage =
      core::SameTextIgnoreCase(ini.ReadString(kSettings, "Information", "false"), "True");
  LoadPageText(state_.InformationPage, "Information.txt", core::WindowId::Schritt3,
               "Setup konnte keine Informationen finden.");

  SetProgress(40);
  SetStatus("Setup erstellt Dateilisten...");
  for (int position : {50, 70, 80, 90})
    SetProgress(position);

  SetStatus("Setup startet...");
  SetProgress(100);
  return true;
}

void Startup::FindInstalled(const std::string& appName, const std::string& programsDir) {
  std::optional<engine::EarlierInstallation> earlier =
      engine::FindEarlierInstallation(platform_, appName);
  if (!earlier)
    return;
  state_.Installed = core::InstalledProduct{earlier->dir, earlier->version, earlier->Title(appName),
                                            earlier->record.has_value()};
  // The tree shows where the product is; page 4 proposes that folder.
  ui_.OpenTreePath(earlier->dir);
  if (!earlier->record || programsDir.empty())
    return;
  // Page 6 proposes the program folder it has, when it has one.
  const std::string& path = earlier->record->programPath;
  const std::string programs = programsDir + "\\";
  if (path.size() > programs.size() && core::SameName(path.substr(0, programs.size()), programs) &&
      path.substr(programs.size()) != "(kein)") {
    state_.ProgramFolder = path.substr(programs.size());
  }
}

bool Startup::AcceptInstalledVersion(const std::string& appName) {
  if (!state_.Installed)
    return true;
  const std::optional<int> order = core::CompareVersions(state_.Version, state_.Installed->Version);
  if (!order || *order >= 0)
    return true;
  const std::string text = "Auf diesem Computer ist bereits die neuere Version " +
                           state_.Installed->Version + " von " + appName +
                           " installiert.\r\rMöchten Sie trotzdem " + state_.ProductTitle +
                           " installieren? Die neuere Version wird dabei ersetzt.";
  if (platform_.dialogs.MessageBox("Setup", text, platform::MsgButtons::YesNo,
                                   platform::MsgIcon::Question) == platform::MsgAnswer::Yes) {
    return true;
  }
  return Quit(core::RunOutcome::NewerInstalled);
}

void Startup::ReadRegistryDefaults(std::string& programFilesDir, std::string& programsDir) {
  using platform::RegRoot;
  auto readText = [](platform::RegistryKey* key, std::string_view name) {
    return key ? key->ReadString(name).value_or("") : std::string();
  };

  auto windows = platform_.registry.OpenKey(RegRoot::LocalMachine,
                                            "\\Software\\Microsoft\\Windows\\CurrentVersion");
  state_.UserName = readText(windows.get(), "RegisteredOwner");
  state_.UserCompany = readText(windows.get(), "RegisteredOrganization");
  programFilesDir = readText(windows.get(), "ProgramFilesDir");
  windows.reset();

  if (state_.UserName.empty() && state_.UserCompany.empty()) {
    auto windowsNt = platform_.registry.OpenKey(
        RegRoot::LocalMachine, "\\Software\\Microsoft\\Windows NT\\CurrentVersion");
    state_.UserName = readText(windowsNt.get(), "RegisteredOwner");
    state_.UserCompany = readText(windowsNt.get(), "RegisteredOrganization");
  }

  auto shellFolders = platform_.registry.OpenKey(
      RegRoot::CurrentUser,
      "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
  programsDir = readText(shellFolders.get(), "Programs");
}

void Startup::FillProgramFolders(const std::string& programsDir) {
  const std::string& dir = programsDir.empty() ? startDirectory_ : programsDir;
  std::vector<std::string> names;
  for (const platform::DirEntry& entry : platform_.files.ListSubdirectories(dir)) {
    if (entry.attributes & (platform::attr::Hidden | platform::attr::System))
      continue;
    names.push_back(entry.name);
  }
  std::stable_sort(names.begin(), names.end(), [this](const std::string& a, const std::string& b) {
    return platform_.system.CompareNames(a, b) < 0;
  });
  ui_.SetLines(core::WindowId::Schritt6, "ListBox1", names);
}

void Startup::LoadPageText(bool wanted, std::string_view fileName, core::WindowId page,
                           std::string_view replacement) {
  if (!wanted)
    return;
  std::optional<std::string> text = platform_.files.ReadFile(setupDir_ + std::string(fileName));
  if (!text) {
    ui_.SetLines(page, "Memo1", {std::string(replacement)});
    return;
  }
  // Texts are ANSI as the setup builder writes them; a text saved by a
  // current editor as UTF-8 says so with its byte-order mark.
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  std::string_view content = *text;
  std::string utf8 = content.starts_with(kUtf8Bom) ? std::string(content.substr(kUtf8Bom.size()))
                                                   : platform_.system.AnsiToUtf8(content);
  ui_.SetLines(page, "Memo1", core::SplitLines(utf8));
}

}  // namespace app
