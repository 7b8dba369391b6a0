#pragma once

#include "core/SetupState.h"
#include "core/Ui.h"
#include "platform/Platform.h"

namespace finish {

/// The registry value that brings the finish page back after a restart:
/// HKEY_LOCAL_MACHINE, this key, value "InstReady" = program path + " /ready".
/// Windows NT runs the programs under RunOnce once at the next logon; it
/// never looks at RunServicesOnce, the key of the Windows 9x family.
inline constexpr std::string_view kRunOnceKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr std::string_view kRunOnceValue = "InstReady";

/// What the finish page and the restart page do. Every way out of the finish
/// page ends the program; its three links open the maker's addresses
/// through the shell. The restart page restarts Windows now or leads to the
/// finish page with the text for a later restart.
class Completion : public core::UiEvents {
 public:
  Completion(core::Ui& ui, core::SetupState& state, platform::Platform& platform);

  /// Events of the finish page and the restart page; others change nothing.
  void OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) override;

 private:
  void RestartPageForward();
  void RestartNow();

  core::Ui& ui_;
  core::SetupState& state_;
  platform::Platform& platform_;
};

}  // namespace finish
