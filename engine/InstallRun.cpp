#include "engine/InstallRun.h"

#include <cstdint>
#include <string>

#include "core/Convert.h"

namespace engine {

namespace {

constexpr std::string_view kRegistryError =
    "Beim Zugriff auf die Systemregistrierung trat ein Fehler auf!\r"
    "Es konnten keine Registry-Einträge erstellt werden!\r"
    "Zum deinstallieren der Software verwenden Sie bitte die entsprechende Verknüpfung im "
    "Startmenü!";

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Runs `cleanup` when `body` is left, whether normally or by an exception.
template <typename Body, typename Cleanup>
void Protected(Body body, Cleanup cleanup) {
  try {
    body();
  } catch (...) {
    cleanup();
    throw;
  }
  cleanup();
}

template <typename Step>
void PlaceFiles(InstallView& view, InstallPhases& phases, Step step) {
  int count = 0;
  step([&] { count = phases.BeginFiles(); });
  for (int n = 1; n <= count; ++n) {
    view.ShowStatus("Setup extrahiert Dateien...",
                    "Datei " + Quoted(phases.FileEntry(n)) + " wird extrahiert...");
    step([&] { phases.ExtractFile(n); });
    view.ShowStatus("Setup kopiert Dateien...", "Verzeichnisse aktualisieren...");
    step([&] { phases.UpdateDirectories(n); });
    view.ShowStatus("Setup kopiert Dateien...",
                    "Datei " + Quoted(phases.FileDestination(n)) + " wird kopiert...");
    step([&] { phases.CopyFile(n); });
    view.ShowStatus("Setup entfernt temporäre Dateien...",
                    "Datei " + Quoted(std::to_string(n)) + " wird entfernt...");
    step([&] { phases.RemoveTemporaryFile(n); });
    view.SetBarPosition(static_cast<int>(static_cast<int64_t>(n) * 100 / count));
  }
}

// Thrown between steps once the stop was requested; the run then stops
// before it touches anything else.
struct RunStopped {};

// Returns true when the region failed and the user was told.
template <typename Step>
bool RegistryRegion(const RunSettings& settings, InstallView& view, InstallPhases& phases,
                    platform::Dialogs& dialogs, Step step) {
  try {
    view.ShowStatus("Setup aktualisiert die Registrierungsdaten...", "");
    step([&] { phases.WriteRegistryEntries(); });
    if (settings.StandardReg)
      step([&] { phases.RegisterUninstall(); });
    if (settings.Marrowlink) {
      view.ShowStatus("Setup registriert die Anwendung für Marrowlink...", "");
      step([&] { phases.RegisterWebUpdate(); });
    }
  } catch (const RunStopped&) {
    throw;
  } catch (...) {
    dialogs.MessageBox("Registry-Fehler", kRegistryError, platform::MsgButtons::Ok,
                       platform::MsgIcon::Error);
    return true;
  }
  return false;
}

// Thrown when joining the installation media stopped.
struct MediaStopped {};

void Run(RunSettings& settings, InstallView& view, InstallPhases& phases,
         platform::Dialogs& dialogs, const std::stop_token& stop, RunResult& result) {
  auto checkNotStopped = [&] {
    if (stop.stop_requested())
      throw RunStopped{};
  };
  auto step = [&](auto phase) {
    checkNotStopped();
    phase();
    checkNotStopped();
  };

  settings.TargetDir = core::TrimRight(settings.TargetDir);

  view.SetupBar(30, 0, BarDirection::LeftToRight, BarColorStyle::TwoColors);
  view.EnableAnimation(true);

  step([&] { phases.Prepare(); });

  if (settings.SplitPayload) {
    view.SetStatus("Lesen der Installationsmedien...");
    const bool joined = phases.JoinMedia();
    checkNotStopped();
    if (!joined)
      throw MediaStopped{};
  }

  // One installation of a product at a time: one in another folder goes
  // first.
  if (phases.Earlier() == EarlierPlace::OtherFolder) {
    view.ShowStatus("Setup entfernt die bisherige Installation...", "");
    step([&] { phases.RemoveEarlierInstallation(); });
  }

  step([&] { phases.WriteLogHeader(); });
  step([&] { phases.CreateTargetDirectory(); });

  Protected(
      [&] {
        step([&] { phases.OpenPayloadList(); });
        view.EnableAnimation(false);
        view.SetupBar(100, 0, BarDirection::LeftToRight, BarColorStyle::OneColor);
        PlaceFiles(view, phases, step);
        view.ShowStatus("Systemkomponenten werden installiert...", "");
        step([&] { phases.RunSystemComponents(); });
        step([&] { phases.PointAtPayload(); });
      },
      [&] { phases.FinishExtraction(); });
  checkNotStopped();

  view.SetStatus("Setup erstellt Verzeichnisse...");
  step([&] { phases.CreateDirectories(); });

  Protected([&] { step([&] { phases.PlaceUninstaller(); }); },
            [&] { phases.RemoveUninstallerImage(); });

  if (RegistryRegion(settings, view, phases, dialogs, step)) {
    // Without registry entries the uninstall shortcut and Uninstall.inf are
    // the only way left to remove the program.
    settings.CreateUninstallShortcut = true;
    result.uninstallShortcutForced = true;
  }
  checkNotStopped();

  step([&] { phases.CreateShortcuts(); });
  step([&] { phases.RunComponentsAfterInstall(); });
  step([&] { phases.LogProgramFolder(); });
  if (phases.Earlier() == EarlierPlace::SameFolder) {
    if (settings.RemoveObsolete)
      view.ShowStatus("Setup entfernt nicht mehr benötigte Teile der bisherigen Version...", "");
    step([&] { phases.TakeOverEarlierInstallation(); });
  }
  if (settings.StandardReg)
    step([&] { phases.SaveUninstallLog(); });
  if (settings.CreateUninstallShortcut)
    step([&] { phases.SaveUninstallLog(); });

  view.SetStatus("Fertig.");
  result.restartPage = settings.RebootRequired;
}

}  // namespace

RunResult RunInstallation(RunSettings& settings, InstallView& view, InstallPhases& phases,
                          platform::Dialogs& dialogs, std::stop_token stop) {
  RunResult result;
  try {
    Run(settings, view, phases, dialogs, stop, result);
  } catch (const RunStopped&) {
    result.end = RunEnd::Stopped;
  } catch (const MediaStopped&) {
    result.end = RunEnd::MediaStopped;
  }
  return result;
}

}  // namespace engine
