#include "app/Program.h"

#include <stdexcept>

#include "app/ExitCode.h"
#include "archive/PasswordDlg.h"
#include "controls/ExceptionDisplay.h"
#include "resources/ResourceIds.h"

namespace app {

namespace {

// The application window owns every form and carries the program's taskbar
// button with the application title: Windows gives a button to a visible
// window that is not owned, and none to the owned forms. It has no size, so
// nothing of it shows but that button; clicking the button activates it,
// and it passes the activation on to the form in front.
LRESULT CALLBACK ApplicationWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (msg == kGuiWorkMessage) {
    if (auto* program = reinterpret_cast<Program*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      program->RunGuiWork();
    return 0;
  }
  if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
    HWND popup = GetLastActivePopup(hwnd);
    if (popup && popup != hwnd && IsWindowVisible(popup)) {
      SetActiveWindow(popup);
      return 0;
    }
  }
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) {
    // Restoring from the taskbar shows the forms hidden by minimising.
    LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
    if (HWND popup = GetLastActivePopup(hwnd); popup && popup != hwnd)
      SetActiveWindow(popup);
    return result;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND CreateApplicationWindow(Program* program) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ApplicationWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.lpszClassName = L"TApplication";
  RegisterClassExW(&wc);
  return CreateWindowExW(0, L"TApplication", L"Tessarwolden",
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                         nullptr, nullptr, instance, program);
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
    case core::WindowId::PasswordDlg:
      throw std::logic_error("Das Kennwortfenster gehört zur Archivkomponente");
    case core::WindowId::Uninstall:
      throw std::logic_error("Das Fortschrittsfenster gehört zum Deinstallationsprogramm");
  }
  return hauptprogramm_;
}

bool Program::CreateWindows() {
  applicationWindow_ = CreateApplicationWindow(this);
  if (!applicationWindow_)
    return false;
  if (!unattended_)
    ShowWindow(applicationWindow_, SW_SHOWNOACTIVATE);
  for (core::WindowId window : core::kAllWindows) {
    controls::Form& form = FormOf(window);
    form.SetEvents(*this);
    if (!form.Create(applicationWindow_))
      return false;
  }
  return true;
}

void Program::ConnectHandlers() {
  archive::TZipUnpacker& unpacker = hauptprogramm_.ZipUnpacker1();
  unpacker.SetOwnerWindow(reinterpret_cast<uintptr_t>(applicationWindow_));
  unpacker.SetPasswordPrompt(std::make_unique<GuiPasswordPrompt>(
      std::make_unique<archive::TPasswordDlg>(), gui_, stop_.get_token()));
  hauptprogramm_.SetHandlers({
      .runStartup = [this] { session_.RunStartup(); },
      .openFirstPage = [this] { session_.OpenFirstPage(); },
      .mayClose = [this] { return session_.MayCloseMainWindow(); },
  });
  install_.SetRunHandler([this] { session_.StartRun(); });
}

int Program::Run() {
  const std::vector<std::string> arguments = platform_.system.Arguments();
  const SilentOptions options = ReadSilentOptions(arguments);
  // "/ready" first keeps its meaning: the finish page after the restart.
  unattended_ = options.silent && FirstPage(arguments) != core::WindowId::Ready;
  if (unattended_) {
    dialogs_.BeQuiet();
    shell_.BeQuiet();
  }
  if (!HoldSingleInstance(platform_, state_)) {
    if (unattended_)
      WriteUnattendedLog(platform_, state_, dialogs_.Notes(), ExitCodeOf(state_));
    return ExitCodeOf(state_);
  }
  if (!CreateWindows())
    return kExitFailed;
  ConnectHandlers();
  // The windows exist, as the run reports to the installation form, but an
  // unattended run shows none; a restart is left to the caller (3010).
  if (unattended_)
    return session_.RunUnattended(options, dialogs_);
  Show(core::WindowId::Hauptprogramm);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return session_.ExitCode();
}

void Program::RunGuiWork() {
  try {
    gui_.RunPending();
  } catch (const std::exception& error) {
    controls::ShowException(error);
  }
}

void Program::OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) {
  session_.OnEvent(window, control, event);
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

bool Program::Checked(core::WindowId window, std::string_view control) {
  return FormOf(window).Checked(control);
}

void Program::SetChecked(core::WindowId window, std::string_view control, bool checked) {
  FormOf(window).SetChecked(control, checked);
}

void Program::SetEnabled(core::WindowId window, std::string_view control, bool enabled) {
  FormOf(window).SetEnabled(control, enabled);
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

void Program::OpenTreePath(std::string_view path) {
  schritt4_.OpenTreePath(path);
}

}  // namespace app
