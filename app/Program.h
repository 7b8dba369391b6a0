#pragma once

#include <windows.h>

#include <optional>

#include "app/Hauptprogramm.h"
#include "app/Silent.h"
#include "app/Startup.h"
#include "core/SetupState.h"
#include "core/Ui.h"
#include "engine/Install.h"
#include "finish/Completion.h"
#include "finish/Ready.h"
#include "finish/RebootForm.h"
#include "platform/win32/Win32Platform.h"
#include "wizard/PageFlow.h"
#include "wizard/Schritt1.h"
#include "wizard/Schritt2.h"
#include "wizard/Schritt3.h"
#include "wizard/Schritt4.h"
#include "wizard/Schritt5.h"
#include "wizard/Schritt6.h"
#include "wizard/Schritt7.h"

namespace app {

/// The whole program: the services, SetupState and every window, created
/// once at program entry and living until the process ends. It gives the
/// logic its view of the windows and hands what the user does on the pages
/// to the page flow, on the finish and restart pages to the completion.
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

 private:
  controls::Form& FormOf(core::WindowId window);
  bool CreateWindows();
  void ConnectHandlers();
  void RunInstallation();
  /// The unattended run of "/silent": start-up, the proposed values and the
  /// installation, without showing a window or a message box.
  int RunUnattended(const SilentOptions& options);

  platform::win32::Win32Platform services_;
  QuietDialogs dialogs_{services_.platform().dialogs};
  QuietShell shell_{services_.platform().shell, dialogs_};
  // The services with the message boxes and the folder browser that an
  // unattended run keeps from showing.
  platform::Platform platform_{services_.platform().registry,
                               services_.platform().profile,
                               services_.platform().files,
                               dialogs_,
                               services_.platform().libraries,
                               services_.platform().system,
                               shell_,
                               services_.platform().processes};
  bool unattended_ = false;
  core::SetupState state_;
  HWND applicationWindow_ = nullptr;
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
  std::optional<Startup> startup_;
  wizard::PageFlow pageFlow_{*this, state_, platform_};
  finish::Completion completion_{*this, state_, platform_};
};

}  // namespace app
