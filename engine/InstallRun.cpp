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
    view.SetStatus("Setup extrahiert Dateien...");
    view.SetDetail("Datei " + Quoted(phases.FileEntry(n)) + " wird extrahiert...");
    step([&] { phases.ExtractFile(n); });
    view.SetStatus("Setup kopiert Dateien...");
    view.SetDetail("Verzeichnisse aktualisieren...");
    step([&] { phases.UpdateDirectories(n); });
    view.SetStatus("Setup kopiert Dateien...");
    view.SetDetail("Datei " + Quoted(phases.FileDestination(n)) + " wird kopiert...");
    step([&] { phases.CopyFile(n); });
    view.SetStatus("Setup entfernt temporäre Dateien...");
    view.SetDetail("Datei " + Quoted(std::to_string(n)) + " wird entfernt...");
    step([&] { phases.RemoveTemporaryFile(n); });
    view.SetBarPosition(static_cast<int>(static_cast<int64_t>(n) * 100 / count));
  }
}

void RegistryRegion(core::SetupState& state, InstallView& view, InstallPhases& phases,
                    platform::Dialogs& dialogs) {
  try {
    view.SetStatus("Setup aktualisiert die Registrierungsdaten...");
    view.SetDetail("");
    phases.WriteRegistryEntries();
    if (state.StandardReg)
      phases.RegisterUninstall();
    if (state.Marrowlink) {
      view.SetStatus("Setup registriert die Anwendung für Marrowlink...");
      view.SetDetail("");
      phases.RegisterWebUpdate();
    }
  } catch (...) {
    dialogs.MessageBox("Registry-Fehler", kRegistryError, platform::MsgButtons::Ok,
                       platform::MsgIcon::Error);
    // Without registry entries the uninstall shortcut and Uninstall.inf are
    // the only way left to remove the program.
    state.CreateUninstallShortcut = true;
  }
}

// Thrown between phases once the user has ended the program through the
// cancel question; the run then stops before it touches anything else.
struct ProgramEnded {};
// Thrown when joining the installation media stopped.
struct MediaStopped {};

void CheckNotEnded(const core::SetupState& state) {
  if (state.ExitState != 0)
    throw ProgramEnded{};
}

void Run(core::SetupState& state, InstallView& view, InstallPhases& phases,
         platform::Dialogs& dialogs) {
  auto step = [&](auto phase) {
    phase();
    CheckNotEnded(state);
  };

  state.TargetDir = core::TrimRight(state.TargetDir);
  view.ShowTargetDirectory(state.TargetDir);

  view.SetupBar(30, 0, BarDirection::LeftToRight, BarColorStyle::TwoColors);
  view.EnableAnimation(true);

  step([&] { phases.Prepare(); });

  if (state.SplitPayload) {
    view.SetStatus("Lesen der Installationsmedien...");
    if (!phases.JoinMedia() || state.ExitState != 0)
      throw MediaStopped{};
  }

  step([&] { phases.WriteLogHeader(); });
  step([&] { phases.CreateTargetDirectory(); });

  Protected(
      [&] {
        step([&] { phases.OpenPayloadList(); });
        view.EnableAnimation(false);
        view.SetupBar(100, 0, BarDirection::LeftToRight, BarColorStyle::OneColor);
        PlaceFiles(view, phases, step);
        view.SetStatus("Systemkomponenten werden installiert...");
        view.SetDetail("");
        step([&] { phases.RunSystemComponents(); });
        step([&] { phases.PointAtPayload(); });
      },
      [&] { phases.FinishExtraction(); });
  CheckNotEnded(state);

  view.SetStatus("Setup erstellt Verzeichnisse...");
  step([&] { phases.CreateDirectories(); });

  Protected([&] { step([&] { phases.PlaceUninstaller(); }); },
            [&] { phases.RemoveUninstallerImage(); });

  RegistryRegion(state, view, phases, dialogs);
  CheckNotEnded(state);

  step([&] { phases.CreateShortcuts(); });
  step([&] { phases.RunComponentsAfterInstall(); });
  step([&] { phases.LogProgramFolder(); });
  if (state.StandardReg)
    step([&] { phases.SaveUninstallLog(); });
  if (state.CreateUninstallShortcut)
    step([&] { phases.SaveUninstallLog(); });

  view.SetStatus("Fertig.");
  view.ShowCompletion(state.RebootRequired);
}

}  // namespace

RunEnd RunInstallation(core::SetupState& state, InstallView& view, InstallPhases& phases,
                       platform::Dialogs& dialogs) {
  try {
    Run(state, view, phases, dialogs);
  } catch (const ProgramEnded&) {
    return RunEnd::Stopped;
  } catch (const MediaStopped&) {
    return RunEnd::MediaStopped;
  }
  return RunEnd::Completed;
}

}  // namespace engine
