#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/FormControl.h"
#include "core/DesignLayout.h"
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

/// A picture at the size its control has at 96 DPI and, when there is one,
/// at twice that size, for display scales above 100 %.
struct PictureSet {
  HBITMAP normal = nullptr;
  HBITMAP large = nullptr;
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
/// are created from their names: their id comes from the name, their text
/// from the form's design table, which must list the name (a name it does
/// not list raises std::logic_error, in the builders and in every lookup),
/// and their place from the design layout at 96 DPI, scaled to the DPI of
/// the window's monitor and laid out anew when that changes (WM_DPICHANGED).
/// A label, button or check box whose text its scaled place cannot hold
/// grows within the window until it can. What the user does goes to the
/// form's event sink, unless the form handles it itself.
class Form {
 public:
  /// The window's client size and its controls' places come from the
  /// design layout of `id`.
  Form(core::WindowId id, const wchar_t* className, FrameKind frame);
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
  /// The picture of an image control; none when it has none.
  PictureSet Picture(std::string_view name) const;
  /// Shows the picture at the control's size: as it is at 96 DPI, drawn
  /// with a smooth filter from the large picture above (from the normal one
  /// when there is no large one). The bitmaps stay the caller's.
  void SetPicture(std::string_view name, PictureSet picture);

  void Show();
  void Hide();
  /// Paints the form and its controls now.
  void Repaint();
  /// Asks the form to close, as its close box does.
  void Close();

 protected:
  // Control builders for OnCreate. Each control stands where the design
  // layout places it, scaled to the window's DPI.
  HWND AddLabel(std::string_view name, LabelStyle style = {});
  HWND AddButton(std::string_view name);
  HWND AddEdit(std::string_view name);
  HWND AddMemo(std::string_view name);
  HWND AddListBox(std::string_view name);
  HWND AddCheckBox(std::string_view name);
  HWND AddRadioButton(std::string_view name, bool firstOfGroup);
  HWND AddProgressBar(std::string_view name, int max);
  HWND AddImage(std::string_view name, PictureSet picture);
  /// Adds a control that the form owns and returns it. Text, SetText and
  /// SetPosition of its name go to it, and so do its window's
  /// notifications.
  template <class T>
  T& AddOwned(std::string_view name, std::unique_ptr<T> control) {
    T& added = *control;
    Adopt(name, std::move(control));
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
  /// How a control's text is measured to fit it.
  enum class TextFit { None, Wrapping, SingleLine, Button, CheckBox };
  struct Placed {
    HWND window = nullptr;
    TextFit fit = TextFit::None;
    bool growLeft = false;
  };
  /// A picture as it was given and the copy scaled to the control, which
  /// the form made and owns (nullptr when the given one is shown as it is).
  struct ShownPicture {
    PictureSet source;
    HBITMAP scaled = nullptr;
    HBITMAP shown = nullptr;
  };

  HWND AddControl(std::string_view name, const wchar_t* windowClass, DWORD style,
                  std::string_view text, TextFit fit, bool growLeft = false);
  /// Where a control stands at the window's DPI before its text is fitted.
  core::Bounds Place(std::string_view name) const;
  /// The area a control of `name` may grow into to hold its text.
  core::Bounds Room(std::string_view name) const;
  /// Moves a control to its place, grown as far as its text needs.
  void Fit(const std::string& name, const Placed& placed);
  /// Shows the picture at the control's size.
  void ShowPicture(HWND image, ShownPicture& picture);
  void MakeFonts();
  void DeleteFonts();
  /// Lays the window out for `dpi`: fonts, controls, pictures.
  void ApplyDpi(int dpi);
  /// The window's icons at its DPI.
  void SetIcons();
  /// A control the design table lists; nullptr while it is not created.
  HWND Named(std::string_view name) const;
  void Adopt(std::string_view name, std::unique_ptr<FormControl> control);
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
  FrameKind frame_;
  HWND hwnd_ = nullptr;
  int dpi_ = core::kDesignDpi;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  core::UiEvents* events_ = nullptr;
  std::map<std::string, HWND, std::less<>> controls_;
  std::map<std::string, Placed, std::less<>> placed_;
  std::map<HWND, ShownPicture> pictures_;
  std::map<HWND, std::string> names_;
  std::map<std::string, std::unique_ptr<FormControl>, std::less<>> owned_;
  std::map<HWND, std::function<void()>> clicks_;
  std::vector<HWND> links_;
  std::string enterButton_ = "Button2";
  std::string escapeButton_ = "Button1";
};

}  // namespace controls
