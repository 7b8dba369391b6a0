#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/Ui.h"

namespace controls {

/// A control whose state lives in an object that its form owns, rather than
/// in a stock window alone: the form asks it for its text and position,
/// passes it the notifications of its window, and lets a windowless one
/// paint with the form.
class FormControl {
 public:
  virtual ~FormControl() = default;

  /// Builds the control at its place on `parent`; called once, while the
  /// form builds its controls.
  virtual void Create(HWND parent, int x, int y, int width, int height) = 0;
  /// The control's own window; nullptr for a windowless control.
  virtual HWND Window() const { return nullptr; }
  /// Moves the control to a new place on its parent, in pixels.
  virtual void Move(int x, int y, int width, int height) {
    if (HWND window = Window())
      MoveWindow(window, x, y, width, height, TRUE);
  }
  /// The DPI of the parent window: given after Create and again whenever it
  /// changes, after the control has been moved to its place at that DPI.
  virtual void SetDpi(int) {}

  /// What the window layer reads as the control's text.
  virtual std::string Text() const { return {}; }
  virtual void SetText(std::string_view) {}
  virtual void SetPosition(int) {}

  /// A notification (WM_NOTIFY) from the control's window. True when the
  /// control handled it, with the answer in `result`.
  virtual bool Notify(const NMHDR&, LRESULT&) { return false; }
  /// Paints a windowless control onto its form's paint context.
  virtual void Paint(HDC) {}

  /// Where the control reports what the user does; set by the form.
  void SetReporter(std::function<void(core::UiEvent)> reporter) { report_ = std::move(reporter); }

 protected:
  void Report(core::UiEvent event) const {
    if (report_)
      report_(event);
  }

 private:
  std::function<void(core::UiEvent)> report_;
};

}  // namespace controls
