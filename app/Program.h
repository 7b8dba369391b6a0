#pragma once

#include <windows.h>

#include <optional>

#include "app/Hauptprogramm.h"
#include "app/SetupState.h"
#include "app/Startup.h"
#include "app/Ui.h"
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
class Program : public Ui, public wizard::PageEvents {
 public:
  Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  /// Creates the windows, shows the start-up form and runs the message loop;
  /// returns the exit code.
  int Run();

  // Ui
  std::string Text(WindowId window, std::string_view control) override;
  void SetText(WindowId window, std::string_view control, std::string_view text) override;
  void SetLines(WindowId window, std::string_view control,
                const std::vector<std::string>& lines) override;
  void SetPosition(WindowId window, std::string_view control, int position) override;
  void Repaint(WindowId window) override;
  void Show(WindowId window) override;
  void Hide(WindowId window) override;
  void Close(WindowId window) override;
  void CopyPicture(WindowId from, WindowId to) override;
  void OpenTreePath(std::string_view path) override;

  // PageEvents
  void Forward(WindowId page) override;
  void Back(WindowId page) override;
  void Cancel() override;

 private:
  controls::Form& FormOf(WindowId window);
  bool CreateWindows();
  void ConnectHandlers();
  void TakePageValues(WindowId page);
  void RunInstallation();

  platform::win32::Win32Platform services_;
  SetupState state_;
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
