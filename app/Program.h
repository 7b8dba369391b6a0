#pragma once

#include <windows.h>

#include <stop_token>

#include "app/Hauptprogramm.h"
#include "app/Session.h"
#include "app/Silent.h"
#include "core/GuiQueue.h"
#include "core/SetupState.h"
#include "core/Ui.h"
#include "engine/Install.h"
#include "finish/Ready.h"
#include "finish/RebootForm.h"
#include "platform/win32/Win32Platform.h"
#include "wizard/Schritt1.h"
#include "wizard/Schritt2.h"
#include "wizard/Schritt3.h"
#include "wizard/Schritt4.h"
#include "wizard/Schritt5.h"
#include "wizard/Schritt6.h"
#include "wizard/Schritt7.h"

namespace app {

/// Posted to the application window when the installation run's thread
/// handed work to the GUI thread.
inline constexpr UINT kGuiWorkMessage = WM_APP + 1;

/// The whole program: the services, SetupState and every window, created
/// once at program entry and living until the process ends. It gives the
/// session its view of the windows, hands it what the user does, and runs
/// the message loop, in which the work of the installation run's thread
/// arrives too.
class Program : public core::Ui, public core::UiEvents {
 public:
  Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  /// Creates the windows, shows the start-up form and runs the message loop;
  /// returns the exit code.
  int Run();

  // Ui
  std::string Text(core::WindowId window, std::string_view control) override;
  void SetText(core::WindowId window, std::string_view control, std::string_view text) override;
  void SetLines(core::WindowId window, std::string_view control,
                const std::vector<std::string>& lines) override;
  bool Checked(core::WindowId window, std::string_view control) override;
  void SetChecked(core::WindowId window, std::string_view control, bool checked) override;
  void SetEnabled(core::WindowId window, std::string_view control, bool enabled) override;
  void SetPosition(core::WindowId window, std::string_view control, int position) override;
  void Repaint(core::WindowId window) override;
  void Show(core::WindowId window) override;
  void Hide(core::WindowId window) override;
  void Close(core::WindowId window) override;
  void CopyPicture(core::WindowId from, core::WindowId to) override;
  void OpenTreePath(std::string_view path) override;

  // UiEvents
  void OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) override;

  /// Runs the work the installation run's thread handed over.
  void RunGuiWork();

 private:
  controls::Form& FormOf(core::WindowId window);
  bool CreateWindows();
  void ConnectHandlers();

  platform::win32::Win32Platform services_;
  QuietDialogs dialogs_{services_.platform().dialogs};
  QuietShell shell_{services_.platform().shell, dialogs_};
  // The services with the message boxes and the folder browser that an
  // unattended run keeps from showing.
  platform::Platform quietPlatform_{services_.platform().registry,
                                    services_.platform().profile,
                                    services_.platform().files,
                                    dialogs_,
                                    services_.platform().libraries,
                                    services_.platform().system,
                                    shell_,
                                    services_.platform().processes};
  bool unattended_ = false;
  HWND applicationWindow_ = nullptr;
  // Work the installation run's thread hands to this one arrives as a
  // message to the application window.
  core::GuiQueue gui_{[this] { PostMessageW(applicationWindow_, kGuiWorkMessage, 0, 0); }};
  std::stop_source stop_;
  GuiPlatform guiPlatform_{quietPlatform_, gui_, stop_.get_token()};
  platform::Platform& platform_ = guiPlatform_.platform();
  core::SetupState state_;
  THauptprogramm hauptprogramm_{platform_};
  wizard::TSchritt1 schritt1_;
  wizard::TSchritt2 schritt2_;
  wizard::TSchritt3 schritt3_;
  wizard::TSchritt4 schritt4_{services_.platform()};
  wizard::TSchritt5 schritt5_;
  wizard::TSchritt7 schritt7_;
  wizard::TSchritt6 schritt6_;
  engine::TInstall install_;
  finish::TReady ready_;
  finish::TRebootForm rebootForm_;
  Session session_{
      {platform_, *this, hauptprogramm_.ZipUnpacker1(), gui_, install_.Progress(), stop_}, state_};
};

}  // namespace app
