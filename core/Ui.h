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
};

inline constexpr WindowId kAllWindows[] = {
    WindowId::Hauptprogramm, WindowId::Schritt1, WindowId::Schritt2,   WindowId::Schritt3,
    WindowId::Schritt4,      WindowId::Schritt5, WindowId::Schritt7,   WindowId::Schritt6,
    WindowId::Install,       WindowId::Ready,    WindowId::RebootForm,
};

/// The windows as the logic sees them. Controls are named as on the forms
/// ("Label1", "Memo1", "Edit1"); the empty name stands for the window itself
/// (its caption). The logic decides, the windows only show.
class Ui {
 public:
  virtual ~Ui() = default;

  /// The current text of a control or, for "", the window caption.
  virtual std::string Text(WindowId window, std::string_view control) = 0;
  virtual void SetText(WindowId window, std::string_view control, std::string_view text) = 0;
  /// Replaces the lines of a multi-line text box or list.
  virtual void SetLines(WindowId window, std::string_view control,
                        const std::vector<std::string>& lines) = 0;
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
