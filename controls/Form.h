#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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
/// text from the form's design texts.
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

  /// A control by name; nullptr when the form has none of that name.
  HWND Control(std::string_view name) const;
  std::string Text(std::string_view name) const;
  void SetText(std::string_view name, std::string_view text);
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
  HWND AddButton(std::string_view name, int x, int y, int w, int h, std::function<void()> onClick);
  HWND AddEdit(std::string_view name, int x, int y, int w, int h);
  HWND AddMemo(std::string_view name, int x, int y, int w, int h);
  HWND AddListBox(std::string_view name, int x, int y, int w, int h, std::function<void()> onClick);
  HWND AddCheckBox(std::string_view name, int x, int y, int w, int h,
                   std::function<void()> onClick);
  HWND AddRadioButton(std::string_view name, int x, int y, int w, int h, bool firstOfGroup);
  HWND AddProgressBar(std::string_view name, int x, int y, int w, int h, int max);
  HWND AddImage(std::string_view name, int x, int y, int w, int h, HBITMAP picture);
  /// The standard parts of a wizard page: header title, subtitle, picture,
  /// the buttons of the bottom band that have design texts, the signature.
  void AddPageFrame(std::function<void()> cancel, std::function<void()> forward,
                    std::function<void()> back);

  void StartTimer(UINT_PTR id, UINT milliseconds);
  void StopTimer(UINT_PTR id);

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }

  /// Builds the controls; called once while the window is created.
  virtual void OnCreate() = 0;
  /// The form was shown.
  virtual void FormShow() {}
  /// The close box or a close request: return true to let the window close.
  virtual bool FormClose() { return false; }
  virtual void OnTimer(UINT_PTR /*id*/) {}
  /// The window is gone.
  virtual void OnDestroy() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  HWND AddControl(std::string_view name, const wchar_t* windowClass, DWORD style, int x, int y,
                  int w, int h, std::string_view text);
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
  std::map<std::string, HWND, std::less<>> controls_;
  std::map<HWND, std::function<void()>> clicks_;
  std::vector<HWND> links_;
};

}  // namespace controls
