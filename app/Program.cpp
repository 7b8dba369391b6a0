#include "app/Program.h"

#include <stdexcept>

#include "app/ExitCode.h"
#include "engine/InstallRun.h"
#include "engine/Installation.h"
#include "resources/ResourceIds.h"
#include "wizard/CancelQuestion.h"

namespace app {

namespace {

// The application window owns every form and carries the program's taskbar
// button with the application title: Windows gives a button to a visible
// window that is not owned, and none to the owned forms. It has no size, so
// nothing of it shows but that button; clicking the button activates it,
// and it passes the activation on to the form in front.
LRESULT CALLBACK ApplicationWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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

HWND CreateApplicationWindow() {
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
    case core::WindowId::PasswordDlg:
      throw std::logic_error("Das Kennwortfenster gehört zur Archivkomponente");
  }
  return hauptprogramm_;
}

bool Program::CreateWindows() {
  applicationWindow_ = CreateApplicationWindow();
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
  platform::Platform& platform = platform_;
  archive::TZipUnpacker& unpacker = hauptprogramm_.ZipUnpacker1();
  unpacker.SetOwnerWindow(reinterpret_cast<uintptr_t>(applicationWindow_));
  startup_.emplace(platform, state_, *this,
                   [&unpacker](std::string_view dir) { unpacker.SetLibraryDir(dir); });

  hauptprogramm_.SetHandlers({
      .runStartup = [this] { startup_->Run(); },
      .openFirstPage =
          [this, &platform] {
            // Start-up's full bar opens the first page; an unattended run
            // shows none.
            if (unattended_)
              return;
            const core::WindowId first = FirstPage(platform.system.Arguments());
            // After the restart the finish page ends an installation that
            // completed before it.
            if (first == core::WindowId::Ready)
              state_.Outcome = core::RunOutcome::Installed;
            Show(first);
            Hide(core::WindowId::Hauptprogramm);
          },
      .mayClose = [this] { return MayCloseMainWindow(state_); },
  });
  install_.SetHandlers({
      .run = [this] { RunInstallation(); },
      .cancelQuestion = [this] { wizard::AskCancel(platform_.dialogs, state_, *this); },
      .cancelRequested = [this] { state_.CancelRequested = true; },
      .showTargetDirectory =
          [this](std::string_view dir) {
            SetText(core::WindowId::Schritt7, "Label10", dir);
            SetText(core::WindowId::Schritt4, "Edit1", dir);
          },
      .showCompletion =
          [this](bool restartPage) {
            if (unattended_)
              return;
            Hide(core::WindowId::Install);
            Show(restartPage ? core::WindowId::RebootForm : core::WindowId::Ready);
          },
  });
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
  if (unattended_)
    return RunUnattended(options);
  Show(core::WindowId::Hauptprogramm);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return ExitCodeOf(state_);
}

int Program::RunUnattended(const SilentOptions& options) {
  // The windows exist, as the run reports to the installation form, but
  // none is shown; a restart is left to the caller (exit code 3010).
  if (startup_->Run()) {
    ProposeUnattendedValues(platform_, state_, options, startup_->ProgramFilesDir());
    try {
      RunInstallation();
    } catch (const std::exception& error) {
      dialogs_.Note(std::string("Fehler: ") + error.what());
    }
  }
  const int exitCode = ExitCodeOf(state_);
  WriteUnattendedLog(platform_, state_, dialogs_.Notes(), exitCode);
  return exitCode;
}

void Program::RunInstallation() {
  platform::Platform& platform = platform_;
  engine::Installation phases(platform, state_, hauptprogramm_.ZipUnpacker1(), install_);
  // Started stays when an exception ends the run: the form shows it.
  state_.Outcome = core::RunOutcome::Started;
  switch (engine::RunInstallation(state_, install_, phases, platform.dialogs)) {
    case engine::RunEnd::Completed:
      state_.Outcome =
          state_.RebootRequired ? core::RunOutcome::RestartPending : core::RunOutcome::Installed;
      break;
    case engine::RunEnd::Stopped:
      state_.Outcome = core::RunOutcome::Cancelled;
      break;
    case engine::RunEnd::MediaStopped:
      state_.Outcome = core::RunOutcome::MediaStopped;
      break;
  }
}

void Program::OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) {
  if (window == core::WindowId::Ready || window == core::WindowId::RebootForm)
    completion_.OnEvent(window, control, event);
  else
    pageFlow_.OnEvent(window, control, event);
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
