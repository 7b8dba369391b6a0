#include "archive/PasswordDlg.h"

#include <windows.h>

#include <optional>

#include "controls/Form.h"

namespace archive {

namespace {

constexpr int kMaxLength = 80;

// The dialog's window: Enter and Esc click OK and Cancel, the close box
// cancels.
class PasswordForm : public controls::Form {
 public:
  PasswordForm()
      : controls::Form(core::WindowId::PasswordDlg, L"TPasswordDlg", controls::FrameKind::Plain) {}
  ~PasswordForm() override {
    if (Window())
      DestroyWindow(Window());
  }

  /// Shows the dialog and runs its messages until the user answers; the
  /// typed text on OK, nullopt on Cancel. A quit message ends the wait and
  /// is left for the application's loop.
  std::optional<std::string> Run(HWND owner);

 protected:
  void OnCreate() override {
    SetDefaultButtons("Button1", "Button2");
    AddLabel("Label1", {.bold = true, .wordWrap = false});
    HWND edit = AddEdit("Edit1");
    SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(edit, EM_LIMITTEXT, kMaxLength, 0);
    AddButton("Button1");
    AddButton("Button2");
    OnClick("Button1", [this] {
      answer_ = Text("Edit1");
      done_ = true;
    });
    OnClick("Button2", [this] { done_ = true; });
  }
  bool FormClose() override {
    done_ = true;
    return false;
  }

 private:
  bool done_ = false;
  std::optional<std::string> answer_;
};

std::optional<std::string> PasswordForm::Run(HWND owner) {
  if (owner)
    EnableWindow(owner, FALSE);
  Show();
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!done_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (!IsDialogMessageW(Window(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (quit)
    PostQuitMessage(quitCode);
  return answer_;
}

}  // namespace

std::string TPasswordDlg::Ask(const std::string& caption, const std::string& prompt) {
  HWND owner = GetActiveWindow();
  PasswordForm form;
  if (!form.Create(owner))
    return {};
  form.SetText("", caption);
  form.SetText("Label1", prompt);
  return form.Run(owner).value_or(std::string());
}

}  // namespace archive
