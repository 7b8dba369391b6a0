#include "app/Session.h"

#include <stdexcept>
#include <utility>

#include "app/ExitCode.h"
#include "core/Convert.h"
#include "core/RecordFiles.h"
#include "engine/Installation.h"
#include "engine/Recovery.h"
#include "wizard/CancelQuestion.h"

namespace app {

Session::Session(Services services, core::SetupState& state)
    : platform_(services.platform),
      ui_(services.ui),
      zip_(services.zip),
      gui_(services.gui),
      view_(services.view),
      stop_(std::move(services.stop)),
      state_(state),
      startup_(platform_, state_, ui_, [this](std::string_view dir) { zip_.SetLibraryDir(dir); }),
      pageFlow_(ui_, state_, platform_),
      completion_(ui_, state_, platform_) {
  zip_.SetStopToken(stop_.get_token());
}

Session::~Session() {
  // The run's questions must not wait for a GUI thread that runs nothing
  // any more.
  gui_.Close();
  stop_.request_stop();
}

bool Session::RunStartup() {
  return startup_.Run();
}

void Session::OpenFirstPage() {
  if (unattended_)
    return;
  const core::WindowId first = FirstPage(platform_.system.Arguments());
  // After the restart the finish page ends an installation that completed
  // before it.
  if (first == core::WindowId::Ready)
    state_.Outcome = core::RunOutcome::Installed;
  ui_.Show(first);
  ui_.Hide(core::WindowId::Hauptprogramm);
}

bool Session::MayCloseMainWindow() const {
  return app::MayCloseMainWindow(state_);
}

void Session::BeginRun() {
  runStarted_ = true;
  running_ = true;
  // Started stays when an error ends the run (exit code 4).
  state_.Outcome = core::RunOutcome::Started;
  // The run uses the target directory without trailing blanks, and so do
  // the pages from now on.
  state_.TargetDir = core::TrimRight(state_.TargetDir);
  if (!unattended_) {
    ui_.SetText(core::WindowId::Schritt7, "Label10", state_.TargetDir);
    ui_.SetText(core::WindowId::Schritt4, "Edit1", state_.TargetDir);
  }
  settings_ = engine::SnapshotOf(state_);
}

void Session::StartRun() {
  // Whatever shows the installation form again, the program installs once.
  if (runStarted_)
    return;
  BeginRun();
  worker_ = std::jthread([this] {
    platform_.system.EnterThread();
    Outcome outcome = Execute();
    platform_.system.LeaveThread();
    gui_.Post([this, outcome] { Finished(outcome); });
  });
}

Session::Outcome Session::Execute() {
  Outcome outcome;
  engine::Installation phases(platform_, settings_, zip_, view_, stop_.get_token());
  try {
    outcome.result =
        engine::RunInstallation(settings_, view_, phases, platform_.dialogs, stop_.get_token());
  } catch (const std::exception& error) {
    outcome.failure = error.what();
  } catch (...) {
    outcome.failure = "Unbekannter Fehler";
  }
  if (!outcome.failure && outcome.result.end == engine::RunEnd::Completed) {
    phases.Commit();
    return outcome;
  }
  // The error first, as it happened; then the machine goes back to how it
  // was before the run.
  if (outcome.failure) {
    if (unattended_) {
      notes_->Note("Fehler: " + *outcome.failure);
    } else {
      platform_.dialogs.MessageBox(core::kErrorDisplayCaption,
                                   core::ErrorDisplayText(*outcome.failure),
                                   platform::MsgButtons::Ok, platform::MsgIcon::Error);
    }
  }
  outcome.undone = phases.ChangedTheMachine();
  if (outcome.undone)
    view_.ShowStatus("Setup macht die Installation rückgängig...", "");
  outcome.left = phases.Undo();
  return outcome;
}

void Session::ReportUndone(const Outcome& outcome) {
  if (!outcome.undone)
    return;
  platform_.dialogs.MessageBox(
      engine::kUndoneCaption, engine::UndoneText(outcome.left), platform::MsgButtons::Ok,
      outcome.left.empty() ? platform::MsgIcon::Information : platform::MsgIcon::Exclamation);
}

void Session::Finished(const Outcome& outcome) {
  if (worker_.joinable())
    worker_.join();
  running_ = false;
  ReportUndone(outcome);
  if (outcome.failure) {
    // Started stays: the run ended with an error (exit code 4).
    wizard::EndProgram(state_, ui_);
    return;
  }
  const engine::RunResult& result = outcome.result;
  if (result.uninstallShortcutForced)
    state_.CreateUninstallShortcut = true;
  switch (result.end) {
    case engine::RunEnd::Completed:
      state_.Outcome =
          result.restartPage ? core::RunOutcome::RestartPending : core::RunOutcome::Installed;
      if (!unattended_) {
        ui_.Hide(core::WindowId::Install);
        ui_.Show(result.restartPage ? core::WindowId::RebootForm : core::WindowId::Ready);
      }
      break;
    case engine::RunEnd::Stopped:
      state_.Outcome = core::RunOutcome::Cancelled;
      wizard::EndProgram(state_, ui_);
      break;
    case engine::RunEnd::MediaStopped:
      state_.Outcome = core::RunOutcome::MediaStopped;
      wizard::EndProgram(state_, ui_);
      break;
  }
}

void Session::CancelDuringRun() {
  // Before the run began and after an error ended it, the question ends the
  // program at once.
  if (!running_) {
    wizard::AskCancel(platform_.dialogs, state_, ui_);
    return;
  }
  if (stop_.stop_requested())
    return;
  state_.CancelRequested = true;
  if (!wizard::ConfirmCancel(platform_.dialogs))
    return;
  if (!running_) {
    // The run ended while the question was open.
    wizard::EndProgram(state_, ui_);
    return;
  }
  // The run ends at its next step and the program with it (Finished).
  state_.ExitState = -1;
  ui_.SetEnabled(core::WindowId::Install, "Button1", false);
  stop_.request_stop();
}

void Session::OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) {
  switch (window) {
    case core::WindowId::Install:
      if ((event == core::UiEvent::Close && control.empty()) ||
          (event == core::UiEvent::Click && control == "Button1")) {
        CancelDuringRun();
      }
      break;
    case core::WindowId::Ready:
    case core::WindowId::RebootForm:
      completion_.OnEvent(window, control, event);
      break;
    default:
      pageFlow_.OnEvent(window, control, event);
      break;
  }
}

int Session::RunUnattended(const SilentOptions& options, QuietDialogs& notes) {
  unattended_ = true;
  notes_ = &notes;
  if (startup_.Run()) {
    ProposeUnattendedValues(platform_, state_, options, startup_.ProgramFilesDir());
    std::optional<std::string> refused =
        core::RefuseUnrecordable(platform_.system, "Das Zielverzeichnis", state_.TargetDir);
    if (!refused && !state_.NoShortcuts) {
      refused =
          core::RefuseUnrecordable(platform_.system, "Der Programmordner", state_.ProgramFolder);
    }
    if (refused) {
      notes.Note("Fehler: " + *refused);
      state_.Outcome = core::RunOutcome::Refused;
    } else {
      BeginRun();
      Finished(Execute());
    }
  } else if (state_.Outcome == core::RunOutcome::NewerInstalled) {
    notes.Note("Nicht installiert: Auf diesem Computer ist bereits die neuere Version " +
               state_.Installed->Version +
               " installiert. Ohne Rückfrage installiert Setup keine ältere Version darüber.");
  }
  const int exitCode = ExitCode();
  WriteUnattendedLog(platform_, state_, notes.Notes(), exitCode);
  return exitCode;
}

int Session::ExitCode() const {
  return ExitCodeOf(state_);
}

}  // namespace app
