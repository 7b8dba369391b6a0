#pragma once

#include <windows.h>

#include <optional>

#include "app/Hauptprogramm.h"
#include "app/Startup.h"
#include "core/SetupState.h"
#include "core/Ui.h"
#include "engine/Install.h"
#include "finish/Ready.h"
#include "finish/RebootForm.h"
#include "platform/win32/Win32Platform.h"
#include "wizard/PageEvents.h"
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
/// logic its view of the windows and carries out what the pages forward.
class Program : public core::Ui, public wizard::PageEvents {
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
  void SetPosition(core::WindowId window, std::string_view control, int position) override;
  void Repaint(core::WindowId window) override;
  void Show(core::WindowId window) override;
  void Hide(core::WindowId window) override;
  void Close(core::WindowId window) override;
  void CopyPicture(core::WindowId from, core::WindowId to) override;
  void OpenTreePath(std::string_view path) override;

  // PageEvents
  void Forward(core::WindowId page) override;
  void Back(core::WindowId page) override;
  void Cancel() override;

 private:
  controls::Form& FormOf(core::WindowId window);
  bool CreateWindows();
  void ConnectHandlers();
  void TakePageValues(core::WindowId page);
  void RunInstallation();

  platform::win32::Win32Platform services_;
  core::SetupState state_;
  HWND applicationWindow_ = nullptr;
  THauptprogramm hauptprogramm_{services_.platform()};
  wizard::TSchritt1 schritt1_{*this};
  wizard::TSchritt2 schritt2_{*this};
  wizard::TSchritt3 schritt3_{*this};
  wizard::TSchritt4 schritt4_{*this};
  wizard::TSchritt5 schritt5_{*this};
  wizard::TSchritt7 schritt7_{*this};
  wizard::TSchritt6 schritt6_{*this};
  engine::TInstall install_;
  finish::TReady ready_;
  finish::TRebootForm rebootForm_;
  std::optional<Startup> startup_;
};

}  // namespace app
