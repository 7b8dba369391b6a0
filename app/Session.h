#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "app/GuiServices.h"
#include "app/Silent.h"
#include "app/Startup.h"
#include "archive/ZipUnpacker.h"
#include "core/GuiQueue.h"
#include "core/SetupState.h"
#include "core/Ui.h"
#include "engine/InstallRun.h"
#include "engine/InstallView.h"
#include "engine/RunSettings.h"
#include "finish/Completion.h"
#include "platform/Platform.h"
#include "wizard/PageFlow.h"

namespace app {

/// Everything the program decides from its start to its end: start-up, the
/// pages, the installation run on a thread of its own, the finish and
/// restart pages, the cancel question during the run, and the exit code.
/// It lives on the GUI thread; the program only makes the windows, hands
/// their events here and runs the message loop.
class Session : public core::UiEvents {
 public:
  struct Services {
    /// As GuiPlatform gives it: the run's thread uses it too.
    platform::Platform& platform;
    core::Ui& ui;
    /// The archive component every extraction of the run goes through.
    archive::TZipUnpacker& zip;
    core::GuiQueue& gui;
    /// The installation form as the run's thread sees it.
    engine::InstallView& view;
    /// Requested when the user ends the program during the run; the
    /// platform's questions and the archive component read its token.
    std::stop_source stop;
  };

  Session(Services services, core::SetupState& state);
  /// Stops a run that is still going and waits for its thread.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  /// The start-up sequence (the start-up form's first tick). False when
  /// Setup.inf is missing; the program then ends.
  bool RunStartup();
  /// Start-up's bar is full: the first page, unless the run is unattended.
  void OpenFirstPage();
  /// Whether the start-up form may close, which ends the program.
  bool MayCloseMainWindow() const;
  /// The installation form's Timer1: starts the installation run on its own
  /// thread. Only the first call of the program starts one.
  void StartRun();
  /// Whether the run's thread is working.
  bool RunInProgress() const { return running_; }

  /// What the user does on every window: the pages go to the page flow, the
  /// finish and restart pages to the completion, the installation form's
  /// cancel button and close box to the cancel question of the run.
  void OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) override;

  /// The unattended run of "/silent": start-up, the values the pages would
  /// propose and the installation on this thread, without a window or a
  /// message box; `notes` collects what would have been shown, for the log.
  /// Returns the exit code.
  int RunUnattended(const SilentOptions& options, QuietDialogs& notes);

  int ExitCode() const;

 private:
  struct Outcome {
    engine::RunResult result;
    /// The message of the error that ended the run; empty when none did.
    std::optional<std::string> failure;
    /// The run's changes were undone; `left` says what could not be.
    bool undone = false;
    std::vector<std::string> left;
  };

  void BeginRun();
  /// The run itself, on whatever thread calls it: a run that did not
  /// complete is undone, after its error was shown.
  Outcome Execute();
  /// On the GUI thread, once the run has ended.
  void Finished(const Outcome& outcome);
  /// Tells the user that the installation was undone, and what was left.
  void ReportUndone(const Outcome& outcome);
  void CancelDuringRun();

  platform::Platform& platform_;
  core::Ui& ui_;
  archive::TZipUnpacker& zip_;
  core::GuiQueue& gui_;
  engine::InstallView& view_;
  std::stop_source stop_;
  core::SetupState& state_;
  Startup startup_;
  wizard::PageFlow pageFlow_;
  finish::Completion completion_;
  bool unattended_ = false;
  QuietDialogs* notes_ = nullptr;
  bool runStarted_ = false;
  bool running_ = false;
  engine::RunSettings settings_;
  std::jthread worker_;
};

}  // namespace app
