#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/FormControl.h"
#include "core/Ui.h"

namespace controls {

/// How a label looks.
struct LabelStyle {
  bool bold = false;
  bool wordWrap = true;
  bool alignRight = false;
  bool disabled = false;
  bool link = false;  // blue with the hand cursor
};

/// The frame a form draws around its controls.
enum class FrameKind {
  Plain,  // start-up form: controls on the dialog colour
  White,  // welcome and finish pages: white all over
  Page,   // wizard pages: white header band, lines, button band, signature
};

/// One top-level window of the program. The window procedure is shared: it
/// finds the form from the window's user data and dispatches to the virtual
/// handlers, named as on the forms (FormShow, FormClose, timers). Controls
/// are created from their names: their id comes from the name and their
/// text from the form's design table, which must list the name (a name it
/// does not list raises std::logic_error, in the builders and in every
/// lookup). What the user does goes to the form's event sink, unless the
/// form handles it itself.
class Form {
 public:
  Form(core::WindowId id, const wchar_t* className, int clientWidth, int clientHeight,
       FrameKind frame);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  /// Creates the window (hidden) and its controls. `owner` is the
  /// application window that carries the taskbar button.
  bool Create(HWND owner);

  core::WindowId Id() const { return id_; }
  /// The form's window; nullptr before Create.
  HWND Window() const { return hwnd_; }
  /// Where clicks, key-ups and mouse-ups of the controls, the showing of the
  /// form and its close box are reported.
  void SetEvents(core::UiEvents& events) { events_ = &events; }

  /// A control by name; nullptr while it is not created.
  HWND Control(std::string_view name) const;
  /// The text of a control; for a list box its selected entry.
  std::string Text(std::string_view name) const;
  void SetText(std::string_view name, std::string_view text);
  bool Checked(std::string_view name) const;
  void SetChecked(std::string_view name, bool checked);
  void SetEnabled(std::string_view name, bool enabled);
  void SetLines(std::string_view name, const std::vector<std::string>& lines);
  void SetPosition(std::string_view name, int position);
  /// The picture of an image control; nullptr when it has none.
  HBITMAP Picture(std::string_view name) const;
  void SetPicture(std::string_view name, HBITMAP picture);

  void Show();
  void Hide();
  /// Paints the form and its controls now.
  void Repaint();
  /// Asks the form to close, as its close box does.
  void Close();

 protected:
  // Control builders for OnCreate. Positions are client coordinates.
  HWND AddLabel(std::string_view name, int x, int y, int w, int h, LabelStyle style = {});
  HWND AddButton(std::string_view name, int x, int y, int w, int h);
  HWND AddEdit(std::string_view name, int x, int y, int w, int h);
  HWND AddMemo(std::string_view name, int x, int y, int w, int h);
  HWND AddListBox(std::string_view name, int x, int y, int w, int h);
  HWND AddCheckBox(std::string_view name, int x, int y, int w, int h);
  HWND AddRadioButton(std::string_view name, int x, int y, int w, int h, bool firstOfGroup);
  HWND AddProgressBar(std::string_view name, int x, int y, int w, int h, int max);
  HWND AddImage(std::string_view name, int x, int y, int w, int h, HBITMAP picture);
  /// Adds a control that the form owns and returns it. Text, SetText and
  /// SetPosition of its name go to it, and so do its window's
  /// notifications.
  template <class T>
  T& AddOwned(std::string_view name, std::unique_ptr<T> control, int x, int y, int w, int h) {
    T& added = *control;
    Adopt(name, std::move(control), x, y, w, h);
    return added;
  }
  /// The header band of a wizard page: title, subtitle (when the form has
  /// one) and picture.
  void AddPageHeader();
  /// The button band of a wizard page: of Button1 (cancel), Button2
  /// (forward) and Button4 (back) those the form has, from the right, and
  /// the signature. Added after the body, so the body comes first in the
  /// tab order.
  void AddPageButtons();
  /// The form handles clicks of this control itself instead of reporting
  /// them.
  void OnClick(std::string_view name, std::function<void()> handler);
  /// Reports the key-ups of the control to the event sink.
  void ReportKeyUp(std::string_view name);
  /// The buttons that Enter and Esc click; Button2 and Button1 unless set.
  void SetDefaultButtons(std::string_view enter, std::string_view escape);

  void StartTimer(UINT_PTR id, UINT milliseconds);
  void StopTimer(UINT_PTR id);

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }

  /// Builds the controls; called once while the window is created.
  virtual void OnCreate() = 0;
  /// The form was shown; reported to the event sink unless overridden.
  virtual void FormShow();
  /// The close box or a close request: return true to let the window close.
  /// Reported to the event sink, and the window stays, unless overridden.
  virtual bool FormClose();
  virtual void OnTimer(UINT_PTR /*id*/) {}
  /// A message of the program's own range (WM_APP and above) posted to the
  /// form.
  virtual void OnAppMessage(UINT /*msg*/) {}
  /// The window is gone.
  virtual void OnDestroy() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  HWND AddControl(std::string_view name, const wchar_t* windowClass, DWORD style, int x, int y,
                  int w, int h, std::string_view text);
  /// A control the design table lists; nullptr while it is not created.
  HWND Named(std::string_view name) const;
  void Adopt(std::string_view name, std::unique_ptr<FormControl> control, int x, int y, int w,
             int h);
  /// The owned control of that name; nullptr when the name is a stock control.
  FormControl* Owned(std::string_view name) const;
  void Report(std::string_view name, core::UiEvent event);
  void ClickButton(std::string_view name);
  static LRESULT CALLBACK KeyUpProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);
  void Paint();
  bool OnWhite(HWND control) const;

  core::WindowId id_;
  const wchar_t* className_;
  int clientWidth_;
  int clientHeight_;
  FrameKind frame_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  core::UiEvents* events_ = nullptr;
  std::map<std::string, HWND, std::less<>> controls_;
  std::map<HWND, std::string> names_;
  std::map<std::string, std::unique_ptr<FormControl>, std::less<>> owned_;
  std::map<HWND, std::function<void()>> clicks_;
  std::vector<HWND> links_;
  std::string enterButton_ = "Button2";
  std::string escapeButton_ = "Button1";
};

}  // namespace controls
