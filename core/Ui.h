#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

/// The program's windows, in the order program entry creates them.
enum class WindowId {
  Hauptprogramm,
  Schritt1,
  Schritt2,
  Schritt3,
  Schritt4,
  Schritt5,
  Schritt7,
  Schritt6,
  Install,
  Ready,
  RebootForm,
  /// The archive component's password dialog: made for each question and
  /// gone after it, so not among the windows program entry creates.
  PasswordDlg,
  /// The uninstaller's progress window, in a program of its own.
  Uninstall,
};

inline constexpr WindowId kAllWindows[] = {
    WindowId::Hauptprogramm, WindowId::Schritt1, WindowId::Schritt2,   WindowId::Schritt3,
    WindowId::Schritt4,      WindowId::Schritt5, WindowId::Schritt7,   WindowId::Schritt6,
    WindowId::Install,       WindowId::Ready,    WindowId::RebootForm,
};

/// What a user does to a window or one of its controls.
enum class UiEvent {
  Show,     // the window was shown (control "")
  Close,    // the close box or the system menu's close (control ""); the window stays
  Click,    // a button, check box, radio button, list entry or link label
  MouseUp,  // a mouse button was released over the control
  KeyUp,    // a key was released while the control had the focus
};

/// Where the windows send what the user does; the logic decides what follows.
class UiEvents {
 public:
  virtual ~UiEvents() = default;
  virtual void OnEvent(WindowId window, std::string_view control, UiEvent event) = 0;
};

/// The windows as the logic sees them. Controls are named as on the forms
/// ("Label1", "Memo1", "Edit1"); the empty name stands for the window itself
/// (its caption). A name the window's design table does not list is a
/// programming error and raises std::logic_error. The logic decides, the
/// windows only show.
class Ui {
 public:
  virtual ~Ui() = default;

  /// The current text of a control or, for "", the window caption. For a
  /// list, the selected entry (empty when none is selected); for the
  /// directory tree, its selected path.
  virtual std::string Text(WindowId window, std::string_view control) = 0;
  virtual void SetText(WindowId window, std::string_view control, std::string_view text) = 0;
  /// Replaces the lines of a multi-line text box or list.
  virtual void SetLines(WindowId window, std::string_view control,
                        const std::vector<std::string>& lines) = 0;
  /// Whether a check box or radio button is ticked.
  virtual bool Checked(WindowId window, std::string_view control) = 0;
  virtual void SetChecked(WindowId window, std::string_view control, bool checked) = 0;
  /// Enables or disables a control (a disabled control is greyed and takes
  /// no input).
  virtual void SetEnabled(WindowId window, std::string_view control, bool enabled) = 0;
  /// Sets the position of a progress bar.
  virtual void SetPosition(WindowId window, std::string_view control, int position) = 0;
  /// Paints the window now, without waiting for the message loop.
  virtual void Repaint(WindowId window) = 0;
  virtual void Show(WindowId window) = 0;
  virtual void Hide(WindowId window) = 0;
  /// Asks the window to close, as its close box would (its close rule decides).
  virtual void Close(WindowId window) = 0;
  /// Gives `to`'s Image1 the picture of `from`'s Image1.
  virtual void CopyPicture(WindowId from, WindowId to) = 0;
  /// Opens a path in the directory tree of the target directory page: an
  /// existing directory is expanded to and selected; anything else selects
  /// nothing.
  virtual void OpenTreePath(std::string_view path) = 0;
};

}  // namespace core
