#include "controls/Form.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>

#include "controls/ExceptionDisplay.h"
#include "core/ControlIds.h"
#include "core/DesignTexts.h"
#include "platform/win32/Utf16.h"
#include "resources/ResourceIds.h"

namespace controls {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr int kHeaderHeight = 57;
constexpr int kButtonBandHeight = 36;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr COLORREF kLinkColor = RGB(0, 0, 192);

HFONT MakeFont(int weight, bool underline) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

bool IsClass(HWND control, const wchar_t* name) {
  wchar_t buffer[32] = {};
  GetClassNameW(control, buffer, 32);
  return lstrcmpiW(buffer, name) == 0;
}

}  // namespace

Form::Form(core::WindowId id, const wchar_t* className, int clientWidth, int clientHeight,
           FrameKind frame)
    : id_(id),
      className_(className),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight),
      frame_(frame) {}

Form::~Form() {
  for (HFONT font : {font_, boldFont_, linkFont_}) {
    if (font)
      DeleteObject(font);
  }
}

bool Form::Create(HWND owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(instance, className_, &wc)) {
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Form::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hbrBackground = frame_ == FrameKind::White ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))
                                                  : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className_;
    if (!RegisterClassExW(&wc))
      return false;
  }

  font_ = MakeFont(FW_NORMAL, false);
  boldFont_ = MakeFont(FW_BOLD, false);
  linkFont_ = MakeFont(FW_NORMAL, true);

  // The start-up form has no system menu and so no close box; every other
  // form has only the close box.
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  if (id_ != core::WindowId::Hauptprogramm)
    style |= WS_SYSMENU;
  RECT rect = {0, 0, clientWidth_, clientHeight_};
  AdjustWindowRectEx(&rect, style, FALSE, WS_EX_CONTROLPARENT);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  const std::wstring caption = Widen(core::DesignTextOf(id_, ""));
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, className_, caption.c_str(), style, x, y, width,
                          height, owner, nullptr, instance, this);
  return hwnd_ != nullptr;
}

HWND Form::AddControl(std::string_view name, const wchar_t* windowClass, DWORD style, int x, int y,
                      int w, int h, std::string_view text) {
  const bool sunken =
      lstrcmpiW(windowClass, L"EDIT") == 0 || lstrcmpiW(windowClass, L"LISTBOX") == 0;
  const DWORD exStyle = sunken ? WS_EX_CLIENTEDGE : 0;
  const int id = core::ControlId(name);
  HWND control = CreateWindowExW(exStyle, windowClass, Widen(text).c_str(),
                                 WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id ? id : 0xFFFF)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  controls_.emplace(std::string(name), control);
  names_.emplace(control, std::string(name));
  return control;
}

HWND Form::Named(std::string_view name) const {
  core::RequireControl(id_, name);
  return name.empty() ? hwnd_ : Control(name);
}

void Form::Adopt(std::string_view name, std::unique_ptr<FormControl> control, int x, int y, int w,
                 int h) {
  core::RequireControl(id_, name);
  control->SetReporter(
      [this, reported = std::string(name)](core::UiEvent event) { Report(reported, event); });
  control->Create(hwnd_, x, y, w, h);
  if (HWND window = control->Window()) {
    // Its id comes from its name, as for the stock controls.
    const int id = core::ControlId(name);
    SetWindowLongPtrW(window, GWLP_ID, id ? id : 0xFFFF);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    controls_.emplace(std::string(name), window);
    names_.emplace(window, std::string(name));
  }
  owned_.emplace(std::string(name), std::move(control));
}

FormControl* Form::Owned(std::string_view name) const {
  auto it = owned_.find(name);
  return it == owned_.end() ? nullptr : it->second.get();
}

HWND Form::AddLabel(std::string_view name, int x, int y, int w, int h, LabelStyle style) {
  DWORD ss = style.alignRight ? SS_RIGHT : (style.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
  if (style.link)
    ss |= SS_NOTIFY;
  core::RequireControl(id_, name);
  HWND label = AddControl(name, L"STATIC", ss, x, y, w, h, core::DesignTextOf(id_, name));
  if (style.bold)
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
  if (style.link) {
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
    links_.push_back(label);
  }
  if (style.disabled)
    EnableWindow(label, FALSE);
  return label;
}

HWND Form::AddButton(std::string_view name, int x, int y, int w, int h) {
  core::RequireControl(id_, name);
  const DWORD kind = name == enterButton_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  return AddControl(name, L"BUTTON", kind | WS_TABSTOP, x, y, w, h, core::DesignTextOf(id_, name));
}

HWND Form::AddEdit(std::string_view name, int x, int y, int w, int h) {
  core::RequireControl(id_, name);
  return AddControl(name, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, x, y, w, h,
                    core::DesignTextOf(id_, name));
}

HWND Form::AddMemo(std::string_view name, int x, int y, int w, int h) {
  core::RequireControl(id_, name);
  return AddControl(name, L"EDIT",
                    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                        WS_HSCROLL | WS_TABSTOP,
                    x, y, w, h, "");
}

HWND Form::AddListBox(std::string_view name, int x, int y, int w, int h) {
  core::RequireControl(id_, name);
  return AddControl(name, L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    x, y, w, h, "");
}

HWND Form::AddCheckBox(std::string_view name, int x, int y, int w, int h) {
  core::RequireControl(id_, name);
  return AddControl(name, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, x, y, w, h,
                    core::DesignTextOf(id_, name));
}

HWND Form::AddRadioButton(std::string_view name, int x, int y, int w, int h, bool firstOfGroup) {
  core::RequireControl(id_, name);
  return AddControl(name, L"BUTTON",
                    BS_AUTORADIOBUTTON | WS_TABSTOP | (firstOfGroup ? WS_GROUP : 0), x, y, w, h,
                    core::DesignTextOf(id_, name));
}

HWND Form::AddProgressBar(std::string_view name, int x, int y, int w, int h, int max) {
  core::RequireControl(id_, name);
  HWND bar = AddControl(name, PROGRESS_CLASSW, PBS_SMOOTH, x, y, w, h, "");
  SendMessageW(bar, PBM_SETRANGE32, 0, max);
  return bar;
}

HWND Form::AddImage(std::string_view name, int x, int y, int w, int h, HBITMAP picture) {
  core::RequireControl(id_, name);
  HWND image = AddControl(name, L"STATIC", SS_BITMAP | SS_CENTERIMAGE, x, y, w, h, "");
  if (picture)
    SetPicture(name, picture);
  return image;
}

void Form::AddPageHeader() {
  const int w = clientWidth_;
  AddLabel("Label1", 16, 9, w - 96, 16, {.bold = true});
  if (core::HasControl(id_, "Label4"))
    AddLabel("Label4", 28, 27, w - 108, 28);
  AddImage("Image1", w - 57, 2, 53, 53, nullptr);
}

void Form::AddPageButtons() {
  const int w = clientWidth_;
  const int h = clientHeight_;
  const int buttonTop = h - kButtonBandHeight + (kButtonBandHeight - kButtonHeight) / 2;
  const int cancelLeft = w - 8 - kButtonWidth;
  const int forwardLeft = cancelLeft - 10 - kButtonWidth;
  const int backLeft = forwardLeft - kButtonWidth;
  // Tab order: back, forward, cancel, as the buttons stand from the left.
  if (core::HasControl(id_, "Button4"))
    AddButton("Button4", backLeft, buttonTop, kButtonWidth, kButtonHeight);
  if (core::HasControl(id_, "Button2"))
    AddButton("Button2", forwardLeft, buttonTop, kButtonWidth, kButtonHeight);
  if (core::HasControl(id_, "Button1"))
    AddButton("Button1", cancelLeft, buttonTop, kButtonWidth, kButtonHeight);

  HWND name = AddControl("SignatureName", L"STATIC", SS_LEFT, 8, h - 24, 84, 14, "Tessarwolden");
  HWND version = AddControl("SignatureVersion", L"STATIC", SS_LEFT, 92, h - 24, 24, 14, "1.2");
  EnableWindow(name, FALSE);
  EnableWindow(version, FALSE);
}

void Form::OnClick(std::string_view name, std::function<void()> handler) {
  clicks_[Named(name)] = std::move(handler);
}

void Form::ReportKeyUp(std::string_view name) {
  SetWindowSubclass(Named(name), &Form::KeyUpProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void Form::SetDefaultButtons(std::string_view enter, std::string_view escape) {
  enterButton_ = enter;
  escapeButton_ = escape;
}

LRESULT CALLBACK Form::KeyUpProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
  auto* form = reinterpret_cast<Form*>(data);
  // The control handles the key first, so the event sees what it changed.
  const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
  try {
    auto it = form->names_.find(hwnd);
    if (msg == WM_KEYUP && it != form->names_.end())
      form->Report(it->second, core::UiEvent::KeyUp);
  } catch (const std::exception& error) {
    ShowException(error);
  }
  return result;
}

void Form::Report(std::string_view name, core::UiEvent event) {
  if (events_)
    events_->OnEvent(id_, name, event);
}

void Form::ClickButton(std::string_view name) {
  HWND button = Control(name);
  if (button && IsWindowEnabled(button))
    SendMessageW(button, BM_CLICK, 0, 0);
}

void Form::FormShow() {
  Report("", core::UiEvent::Show);
}

bool Form::FormClose() {
  Report("", core::UiEvent::Close);
  return false;
}

HWND Form::Control(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

std::string Form::Text(std::string_view name) const {
  HWND target = Named(name);
  if (FormControl* owned = Owned(name))
    return owned->Text();
  if (!target)
    return {};
  if (IsClass(target, L"LISTBOX")) {
    const auto index = SendMessageW(target, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
      return {};
    std::wstring entry(static_cast<size_t>(SendMessageW(target, LB_GETTEXTLEN, index, 0)) + 1,
                       L'\0');
    entry.resize(static_cast<size_t>(
        SendMessageW(target, LB_GETTEXT, index, reinterpret_cast<LPARAM>(entry.data()))));
    return Narrow(entry);
  }
  const int length = GetWindowTextLengthW(target);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(target, text.data(), length + 1)));
  return Narrow(text);
}

void Form::SetText(std::string_view name, std::string_view text) {
  HWND target = Named(name);
  if (FormControl* owned = Owned(name))
    owned->SetText(text);
  else if (target)
    SetWindowTextW(target, Widen(text).c_str());
}

bool Form::Checked(std::string_view name) const {
  HWND box = Named(name);
  return box && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form::SetChecked(std::string_view name, bool checked) {
  if (HWND box = Named(name))
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form::SetEnabled(std::string_view name, bool enabled) {
  if (HWND control = Named(name))
    EnableWindow(control, enabled);
}

void Form::SetLines(std::string_view name, const std::vector<std::string>& lines) {
  HWND target = Named(name);
  if (!target)
    return;
  if (IsClass(target, L"LISTBOX")) {
    SendMessageW(target, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) {
      SendMessageW(target, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
    }
    return;
  }
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0)
      joined += "\r\n";
    joined += lines[i];
  }
  SetWindowTextW(target, Widen(joined).c_str());
}

void Form::SetPosition(std::string_view name, int position) {
  HWND bar = Named(name);
  if (FormControl* owned = Owned(name))
    owned->SetPosition(position);
  else if (bar)
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

HBITMAP Form::Picture(std::string_view name) const {
  HWND image = Named(name);
  return image ? reinterpret_cast<HBITMAP>(SendMessageW(image, STM_GETIMAGE, IMAGE_BITMAP, 0))
               : nullptr;
}

void Form::SetPicture(std::string_view name, HBITMAP picture) {
  if (HWND image = Named(name)) {
    SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  }
}

void Form::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  // The first field of the tab order gets the focus, as in a dialog; on a
  // page without one the button that Enter clicks, so that Enter never
  // goes back.
  HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (first && IsClass(first, L"BUTTON") &&
      (GetWindowLongW(first, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON) {
    if (HWND enter = Control(enterButton_))
      first = enter;
  }
  if (first)
    SetFocus(first);
  Repaint();
}

void Form::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
}

void Form::Repaint() {
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Form::Close() {
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Form::StartTimer(UINT_PTR id, UINT milliseconds) {
  SetTimer(hwnd_, id, milliseconds, nullptr);
}

void Form::StopTimer(UINT_PTR id) {
  KillTimer(hwnd_, id);
}

bool Form::OnWhite(HWND control) const {
  if (frame_ == FrameKind::White)
    return true;
  if (frame_ != FrameKind::Page)
    return false;
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
  return rect.top < kHeaderHeight;
}

void Form::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (frame_ == FrameKind::Page) {
    RECT header = {0, 0, clientWidth_, kHeaderHeight};
    FillRect(dc, &header, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT headerLine = {0, kHeaderHeight, clientWidth_, kHeaderHeight + 2};
    DrawEdge(dc, &headerLine, EDGE_ETCHED, BF_TOP);
    RECT bandLine = {0, clientHeight_ - kButtonBandHeight - 2, clientWidth_,
                     clientHeight_ - kButtonBandHeight};
    DrawEdge(dc, &bandLine, EDGE_ETCHED, BF_TOP);
  }
  for (const auto& [name, control] : owned_) {
    if (!control->Window())
      control->Paint(dc);
  }
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<Form*>(create->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!form)
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return form->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowException(std::runtime_error("Unbekannter Fehler"));
  }
  return 0;
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      for (HWND link : links_) {
        if (link == control)
          SetTextColor(dc, kLinkColor);
      }
      if (IsClass(control, L"EDIT") || OnWhite(control)) {
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      }
      break;
    }
    case WM_SETCURSOR:
      for (HWND link : links_) {
        if (reinterpret_cast<HWND>(wParam) == link) {
          SetCursor(LoadCursorW(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_COMMAND: {
      const WORD code = HIWORD(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      if (!control) {
        // Enter and Esc, as the dialog manager reports them.
        if (LOWORD(wParam) == IDOK)
          ClickButton(enterButton_);
        else if (LOWORD(wParam) == IDCANCEL)
          ClickButton(escapeButton_);
        return 0;
      }
      if (code == BN_CLICKED || code == LBN_SELCHANGE) {
        if (auto it = clicks_.find(control); it != clicks_.end()) {
          it->second();
        } else if (auto named = names_.find(control); named != names_.end()) {
          Report(named->second, core::UiEvent::Click);
        }
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      for (const auto& [name, control] : owned_) {
        LRESULT result = 0;
        if (control->Window() == header->hwndFrom && control->Notify(*header, result))
          return result;
      }
      break;
    }
    case WM_SHOWWINDOW:
      // A form is shown and hidden along with its owner too (lParam
      // SW_PARENTOPENING when the program is restored from the taskbar);
      // only lParam 0, a ShowWindow call for the form itself, is its own
      // showing, which the form's show event stands for.
      if (wParam && lParam == 0)
        FormShow();
      break;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_CLOSE:
      if (FormClose())
        DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      if (msg >= WM_APP && msg <= 0xBFFF) {
        OnAppMessage(msg);
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace controls
