#pragma once

#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "archive/PasswordPrompt.h"
#include "core/GuiQueue.h"
#include "platform/Dialogs.h"
#include "platform/ForwardingShell.h"
#include "platform/Platform.h"

namespace app {

// The questions of the installation run, asked on the GUI thread on its
// behalf: the run's thread waits for the answer. Once the run is to stop,
// the run's thread is asked nothing more: each of its questions is answered
// as a closed window would answer it, and the run ends at its next step.
// What the GUI thread asks itself is shown as always.

/// Message boxes.
class GuiDialogs : public platform::Dialogs {
 public:
  GuiDialogs(platform::Dialogs& shown, core::GuiQueue& gui, std::stop_token stop)
      : shown_(shown), gui_(gui), stop_(std::move(stop)) {}

  platform::MsgAnswer MessageBox(std::string_view caption, std::string_view text,
                                 platform::MsgButtons buttons, platform::MsgIcon icon) override;

 private:
  platform::Dialogs& shown_;
  core::GuiQueue& gui_;
  std::stop_token stop_;
};

/// The folder browser; everything else of the shell is used on the run's
/// thread.
class GuiShell : public platform::ForwardingShell {
 public:
  GuiShell(platform::Shell& shell, core::GuiQueue& gui, std::stop_token stop)
      : platform::ForwardingShell(shell), gui_(gui), stop_(std::move(stop)) {}

  std::optional<std::string> BrowseForFolder(std::string_view prompt) override;

 private:
  core::GuiQueue& gui_;
  std::stop_token stop_;
};

/// The archive component's password window.
class GuiPasswordPrompt : public archive::PasswordPrompt {
 public:
  GuiPasswordPrompt(std::unique_ptr<archive::PasswordPrompt> shown, core::GuiQueue& gui,
                    std::stop_token stop)
      : shown_(std::move(shown)), gui_(gui), stop_(std::move(stop)) {}

  std::string Ask(const std::string& caption, const std::string& prompt) override;

 private:
  std::unique_ptr<archive::PasswordPrompt> shown_;
  core::GuiQueue& gui_;
  std::stop_token stop_;
};

/// The services of the program as every thread may use them: message boxes
/// and the folder browser are shown on the GUI thread, also when the
/// installation run's thread asks for them, and once the run is to stop it
/// is asked nothing more. Everything else is `inner`'s.
class GuiPlatform {
 public:
  GuiPlatform(const platform::Platform& inner, core::GuiQueue& gui, std::stop_token stop);
  GuiPlatform(const GuiPlatform&) = delete;
  GuiPlatform& operator=(const GuiPlatform&) = delete;

  platform::Platform& platform() { return platform_; }

 private:
  GuiDialogs dialogs_;
  GuiShell shell_;
  platform::Platform platform_;
};

}  // namespace app
