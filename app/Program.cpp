#include "app/Program.h"

#include "app/CancelQuestion.h"
#include "engine/InstallRun.h"
#include "engine/Installation.h"
#include "resources/ResourceIds.h"
#include "wizard/Navigation.h"

namespace app {

namespace {

// The window that owns every form, as the application object of a Windows
// program does: it has no size, so nothing of it shows but its taskbar
// button, which carries the application title. The forms it owns get no
// buttons of their own.
HWND CreateApplicationWindow() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.lpszClassName = L"TApplication";
  RegisterClassExW(&wc);
  return CreateWindowExW(0, L"TApplication", L"Tessarwolden",
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                         nullptr, nullptr, instance, nullptr);
}

}  // namespace

Program::Program() = default;

controls::Form& Program::FormOf(core::WindowId window) {
  switch (window) {
    case core::WindowId::Hauptprogramm:
      return hauptprogramm_;
    case core::WindowId::Schritt1:
      return schritt1_;
    case core::WindowId::Schritt2:
      return schritt2_;
    case core::WindowId::Schritt3:
      return schritt3_;
    case core::WindowId::Schritt4:
      return schritt4_;
    case core::WindowId::Schritt5:
      return schritt5_;
    case core::WindowId::Schritt7:
      return schritt7_;
    case core::WindowId::Schritt6:
      return schritt6_;
    case core::WindowId::Install:
      return install_;
    case core::WindowId::Ready:
      return ready_;
    case core::WindowId::RebootForm:
      return rebootForm_;
  }
  return hauptprogramm_;
}

bool Program::CreateWindows() {
  applicationWindow_ = CreateApplicationWindow();
  for (core::WindowId window : core::kAllWindows) {
    if (!FormOf(window).Create(applicationWindow_))
      return false;
  }
  return true;
}

void Program::ConnectHandlers() {
  platform::Platform& platform = services_.platform();
  archive::TZipUnpacker& unpacker = hauptprogramm_.ZipUnpacker1();
  unpacker.SetOwnerWindow(reinterpret_cast<uintptr_t>(applicationWindow_));
  startup_.emplace(platform, state_, *this,
                   [&unpacker](std::string_view dir) { unpacker.SetLibraryDir(dir); });

  hauptprogramm_.SetHandlers({
      .runStartup = [this] { startup_->Run(); },
      .openFirstPage =
          [this, &platform] {
            Show(FirstPage(platform.system.Arguments()));
            Hide(core::WindowId::Hauptprogramm);
          },
      .mayClose = [this] { return MayCloseMainWindow(state_); },
  });
  install_.SetHandlers({
      .run = [this] { RunInstallation(); },
      .cancelQuestion = [this] { Cancel(); },
      .cancelRequested = [this] { state_.CancelRequested = true; },
      .showTargetDirectory =
          [this](std::string_view dir) {
            SetText(core::WindowId::Schritt7, "Label10", dir);
            SetText(core::WindowId::Schritt4, "Edit1", dir);
          },
      .showCompletion =
          [this](bool restartPage) {
            Hide(core::WindowId::Install);
            Show(restartPage ? core::WindowId::RebootForm : core::WindowId::Ready);
          },
  });
  ready_.SetHandlers({.endProgram = [this] {
    state_.ExitState = -1;
    Close(core::WindowId::Hauptprogramm);
  }});
  rebootForm_.SetHandlers({.cancelQuestion = [this] { Cancel(); }});
}

int Program::Run() {
  if (!CreateWindows())
    return 1;
  ConnectHandlers();
  Show(core::WindowId::Hauptprogramm);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Program::RunInstallation() {
  platform::Platform& platform = services_.platform();
  engine::Installation phases(platform, state_, hauptprogramm_.ZipUnpacker1(), install_);
  engine::RunInstallation(state_, install_, phases, platform.dialogs);
}

void Program::TakePageValues(core::WindowId page) {
  switch (page) {
    case core::WindowId::Schritt4:
      state_.TargetDir = Text(core::WindowId::Schritt4, "Edit1");
      break;
    case core::WindowId::Schritt6:
      state_.ProgramFolder = Text(core::WindowId::Schritt6, "Edit1");
      break;
    case core::WindowId::Schritt5:
      state_.UserName = Text(core::WindowId::Schritt5, "Edit1");
      state_.UserCompany = Text(core::WindowId::Schritt5, "Edit2");
      break;
    default:
      break;
  }
}

void Program::Forward(core::WindowId page) {
  TakePageValues(page);
  Show(wizard::ForwardTarget(page, state_));
  Hide(page);
}

void Program::Back(core::WindowId page) {
  Show(wizard::BackTarget(page, state_));
  Hide(page);
}

void Program::Cancel() {
  AskCancel(services_.platform().dialogs, state_, *this);
}

std::string Program::Text(core::WindowId window, std::string_view control) {
  return FormOf(window).Text(control);
}

void Program::SetText(core::WindowId window, std::string_view control, std::string_view text) {
  FormOf(window).SetText(control, text);
}

void Program::SetLines(core::WindowId window, std::string_view control,
                       const std::vector<std::string>& lines) {
  FormOf(window).SetLines(control, lines);
}

void Program::SetPosition(core::WindowId window, std::string_view control, int position) {
  FormOf(window).SetPosition(control, position);
}

void Program::Repaint(core::WindowId window) {
  FormOf(window).Repaint();
}

void Program::Show(core::WindowId window) {
  FormOf(window).Show();
}

void Program::Hide(core::WindowId window) {
  FormOf(window).Hide();
}

void Program::Close(core::WindowId window) {
  FormOf(window).Close();
}

void Program::CopyPicture(core::WindowId from, core::WindowId to) {
  FormOf(to).SetPicture("Image1", FormOf(from).Picture("Image1"));
}

void Program::OpenTreePath(std::string_view) {
  // The target directory page has no directory tree yet; the path it would
  // open is dropped.
}

}  // namespace app
