#include "controls/Form.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>

#include "controls/Dpi.h"
#include "controls/ExceptionDisplay.h"
#include "core/ControlIds.h"
#include "core/DesignTexts.h"
#include "platform/win32/Utf16.h"
#include "resources/ResourceIds.h"

namespace controls {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

using core::ScaleToDpi;

constexpr COLORREF kLinkColor = RGB(0, 0, 192);
// The forms' font: Tahoma at 8 points, whatever the DPI.
constexpr int kFontPoints = 8;
// What a button and a check box need besides their text at 96 DPI: a push
// button's edges and focus frame on either side; a check box's or radio
// button's box and the gap after it.
constexpr int kButtonTextMargin = 10;
constexpr int kCheckBoxTextIndent = 18;

HFONT MakeFont(int weight, bool underline, int dpi) {
  return CreateFontW(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, weight, FALSE, underline, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

// The size of a bitmap; 0 by 0 for none.
SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
    return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// `source` at width by height, drawn with the smooth filter: every pixel of
// the copy is the average of the pixels of the source it covers.
HBITMAP ScaledCopy(HBITMAP source, int width, int height) {
  const SIZE size = BitmapSize(source);
  if (size.cx <= 0 || size.cy <= 0 || width <= 0 || height <= 0)
    return nullptr;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy)
    return nullptr;
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, source);
  HGDIOBJ oldTo = SelectObject(to, copy);
  SetStretchBltMode(to, HALFTONE);
  // HALFTONE needs the brush origin set after the mode.
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, width, height, from, 0, 0, size.cx, size.cy, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  return copy;
}

bool IsClass(HWND control, const wchar_t* name) {
  wchar_t buffer[32] = {};
  GetClassNameW(control, buffer, 32);
  return lstrcmpiW(buffer, name) == 0;
}

}  // namespace

Form::Form(core::WindowId id, const wchar_t* className, FrameKind frame)
    : id_(id), className_(className), frame_(frame) {}

Form::~Form() {
  DeleteFonts();
  for (auto& [image, picture] : pictures_) {
    if (picture.scaled)
      DeleteObject(picture.scaled);
  }
  for (HICON icon : {bigIcon_, smallIcon_}) {
    if (icon)
      DestroyIcon(icon);
  }
}

void Form::MakeFonts() {
  DeleteFonts();
  font_ = MakeFont(FW_NORMAL, false, dpi_);
  boldFont_ = MakeFont(FW_BOLD, false, dpi_);
  linkFont_ = MakeFont(FW_NORMAL, true, dpi_);
}

void Form::DeleteFonts() {
  for (HFONT* font : {&font_, &boldFont_, &linkFont_}) {
    if (*font)
      DeleteObject(*font);
    *font = nullptr;
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

  // A new window opens on the primary monitor, whose DPI is the system's;
  // the window itself tells when it is created (WM_CREATE).
  dpi_ = SystemDpi();
  MakeFonts();

  // The start-up form has no system menu and so no close box; every other
  // form has only the close box.
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  if (id_ != core::WindowId::Hauptprogramm)
    style |= WS_SYSMENU;
  const auto windowSize = [&] {
    const core::Bounds client = Place("");
    RECT rect = {0, 0, client.width, client.height};
    AdjustWindowRectForDpi(rect, style, WS_EX_CONTROLPARENT, dpi_);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
  };
  const int sizedFor = dpi_;
  const SIZE size = windowSize();
  const int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;

  const std::wstring caption = Widen(core::DesignTextOf(id_, ""));
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, className_, caption.c_str(), style, x, y, size.cx,
                          size.cy, owner, nullptr, instance, this);
  if (!hwnd_)
    return false;
  // Opened on a monitor of another scale after all, the window takes the
  // size that its controls were laid out for.
  if (dpi_ != sizedFor) {
    const SIZE resized = windowSize();
    SetWindowPos(hwnd_, nullptr, 0, 0, resized.cx, resized.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetIcons();
  return true;
}

void Form::SetIcons() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto load = [&](int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                         SystemMetricForDpi(metricX, dpi_),
                                         SystemMetricForDpi(metricY, dpi_), LR_DEFAULTCOLOR));
  };
  HICON big = load(SM_CXICON, SM_CYICON);
  HICON small = load(SM_CXSMICON, SM_CYSMICON);
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  for (HICON icon : {bigIcon_, smallIcon_}) {
    if (icon)
      DestroyIcon(icon);
  }
  bigIcon_ = big;
  smallIcon_ = small;
}

core::Bounds Form::Place(std::string_view name) const {
  return ScaleToDpi(core::DesignBoundsOf(id_, name), dpi_);
}

core::Bounds Form::Room(std::string_view name) const {
  const core::Bounds design = core::DesignBoundsOf(id_, name);
  const core::Bounds client = core::DesignBoundsOf(id_, "");
  const int margin = core::kFitMargin;
  core::Bounds room = {margin, 0, client.width - 2 * margin, client.height};
  if (frame_ != FrameKind::Plain) {
    const int bandTop = client.height - core::kButtonBandHeight - 2;
    if (frame_ == FrameKind::Page && design.top < core::kHeaderBandHeight) {
      // The header's texts stay in the header band, left of its picture.
      const core::Bounds picture = core::DesignBoundsOf(id_, "Image1");
      room = {margin, 0, picture.left - 2 * margin, core::kHeaderBandHeight};
    } else if (design.top < bandTop) {
      room.height = bandTop;
    }
  }
  return ScaleToDpi(room, dpi_);
}

HWND Form::AddControl(std::string_view name, const wchar_t* windowClass, DWORD style,
                      std::string_view text, TextFit fit, bool growLeft) {
  const bool sunken =
      lstrcmpiW(windowClass, L"EDIT") == 0 || lstrcmpiW(windowClass, L"LISTBOX") == 0;
  const DWORD exStyle = sunken ? WS_EX_CLIENTEDGE : 0;
  const int id = core::ControlId(name);
  const core::Bounds bounds = Place(name);
  HWND control =
      CreateWindowExW(exStyle, windowClass, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                      bounds.left, bounds.top, bounds.width, bounds.height, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id ? id : 0xFFFF)),
                      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  controls_.emplace(std::string(name), control);
  names_.emplace(control, std::string(name));
  placed_[std::string(name)] = {control, fit, growLeft};
  return control;
}

void Form::Fit(const std::string& name, const Placed& placed) {
  const core::Bounds place = Place(name);
  core::Bounds bounds = place;
  if (placed.fit != TextFit::None) {
    const int length = GetWindowTextLengthW(placed.window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(placed.window, text.data(), length + 1)));
    HDC dc = GetDC(placed.window);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(placed.window, WM_GETFONT, 0, 0)));
    const auto measure = [&](int width) {
      int extra = 0;
      UINT format = DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE;
      if (placed.fit == TextFit::Wrapping)
        format = DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;
      else if (placed.fit == TextFit::Button)
        extra = ScaleToDpi(kButtonTextMargin, dpi_);
      else if (placed.fit == TextFit::CheckBox)
        extra = ScaleToDpi(kCheckBoxTextIndent, dpi_);
      RECT rect = {0, 0, width - extra, 0};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
      return core::TextSize{rect.right + extra, rect.bottom};
    };
    if (!text.empty())
      bounds = core::FitText(place, Room(name), placed.growLeft, measure);
    SelectObject(dc, old);
    ReleaseDC(placed.window, dc);
  }
  RECT current;
  GetWindowRect(placed.window, &current);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&current), 2);
  if (current.left != bounds.left || current.top != bounds.top || current.right != bounds.Right() ||
      current.bottom != bounds.Bottom()) {
    MoveWindow(placed.window, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
  }
}

HWND Form::Named(std::string_view name) const {
  core::RequireControl(id_, name);
  return name.empty() ? hwnd_ : Control(name);
}

void Form::Adopt(std::string_view name, std::unique_ptr<FormControl> control) {
  core::RequireControl(id_, name);
  control->SetReporter(
      [this, reported = std::string(name)](core::UiEvent event) { Report(reported, event); });
  const core::Bounds bounds = Place(name);
  control->Create(hwnd_, bounds.left, bounds.top, bounds.width, bounds.height);
  control->SetDpi(dpi_);
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

HWND Form::AddLabel(std::string_view name, LabelStyle style) {
  DWORD ss = style.alignRight ? SS_RIGHT : (style.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
  if (style.link)
    ss |= SS_NOTIFY;
  core::RequireControl(id_, name);
  // SS_RIGHT and SS_LEFT wrap their text; right-aligned text grows to the
  // left.
  const TextFit fit = style.wordWrap || style.alignRight ? TextFit::Wrapping : TextFit::SingleLine;
  HWND label =
      AddControl(name, L"STATIC", ss, core::DesignTextOf(id_, name), fit, style.alignRight);
  if (style.bold)
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
  if (style.link) {
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
    links_.push_back(label);
  }
  if (style.disabled)
    EnableWindow(label, FALSE);
  Fit(std::string(name), placed_[std::string(name)]);
  return label;
}

HWND Form::AddButton(std::string_view name) {
  core::RequireControl(id_, name);
  const DWORD kind = name == enterButton_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  HWND button = AddControl(name, L"BUTTON", kind | WS_TABSTOP, core::DesignTextOf(id_, name),
                           TextFit::Button);
  Fit(std::string(name), placed_[std::string(name)]);
  return button;
}

HWND Form::AddEdit(std::string_view name) {
  core::RequireControl(id_, name);
  return AddControl(name, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, core::DesignTextOf(id_, name),
                    TextFit::None);
}

HWND Form::AddMemo(std::string_view name) {
  core::RequireControl(id_, name);
  return AddControl(name, L"EDIT",
                    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                        WS_HSCROLL | WS_TABSTOP,
                    "", TextFit::None);
}

HWND Form::AddListBox(std::string_view name) {
  core::RequireControl(id_, name);
  return AddControl(name, L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    "", TextFit::None);
}

HWND Form::AddCheckBox(std::string_view name) {
  core::RequireControl(id_, name);
  HWND box = AddControl(name, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP,
                        core::DesignTextOf(id_, name), TextFit::CheckBox);
  Fit(std::string(name), placed_[std::string(name)]);
  return box;
}

HWND Form::AddRadioButton(std::string_view name, bool firstOfGroup) {
  core::RequireControl(id_, name);
  HWND radio =
      AddControl(name, L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP | (firstOfGroup ? WS_GROUP : 0),
                 core::DesignTextOf(id_, name), TextFit::CheckBox);
  Fit(std::string(name), placed_[std::string(name)]);
  return radio;
}

HWND Form::AddProgressBar(std::string_view name, int max) {
  core::RequireControl(id_, name);
  HWND bar = AddControl(name, PROGRESS_CLASSW, PBS_SMOOTH, "", TextFit::None);
  SendMessageW(bar, PBM_SETRANGE32, 0, max);
  return bar;
}

HWND Form::AddImage(std::string_view name, PictureSet picture) {
  core::RequireControl(id_, name);
  HWND image = AddControl(name, L"STATIC", SS_BITMAP | SS_CENTERIMAGE, "", TextFit::None);
  pictures_.emplace(image, ShownPicture{});
  if (picture.normal || picture.large)
    SetPicture(name, picture);
  return image;
}

void Form::AddPageHeader() {
  AddLabel("Label1", {.bold = true});
  if (core::HasControl(id_, "Label4"))
    AddLabel("Label4");
  AddImage("Image1", {});
}

void Form::AddPageButtons() {
  // Tab order: back, forward, cancel, as the buttons stand from the left.
  for (const char* button : {"Button4", "Button2", "Button1"}) {
    if (core::HasControl(id_, button))
      AddButton(button);
  }
  for (const char* signature : {"SignatureName", "SignatureVersion"}) {
    HWND label = AddControl(signature, L"STATIC", SS_LEFT,
                            signature == std::string_view("SignatureName") ? "Tessarwolden" : "1.2",
                            TextFit::Wrapping);
    EnableWindow(label, FALSE);
    Fit(signature, placed_[signature]);
  }
}

void Form::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_)
    return;
  const HFONT oldFont = font_;
  const HFONT oldBold = boldFont_;
  const HFONT oldLink = linkFont_;
  // The old fonts stay until no control uses them.
  font_ = boldFont_ = linkFont_ = nullptr;
  dpi_ = dpi;
  MakeFonts();
  for (auto& [name, placed] : placed_) {
    const auto used = reinterpret_cast<HFONT>(SendMessageW(placed.window, WM_GETFONT, 0, 0));
    const HFONT font = used == oldBold ? boldFont_ : (used == oldLink ? linkFont_ : font_);
    SendMessageW(placed.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Fit(name, placed);
  }
  for (auto& [name, control] : owned_) {
    const core::Bounds bounds = Place(name);
    if (HWND window = control->Window())
      SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    control->Move(bounds.left, bounds.top, bounds.width, bounds.height);
    control->SetDpi(dpi_);
  }
  for (auto& [image, picture] : pictures_)
    ShowPicture(image, picture);
  for (HFONT font : {oldFont, oldBold, oldLink}) {
    if (font)
      DeleteObject(font);
  }
  SetIcons();
  InvalidateRect(hwnd_, nullptr, TRUE);
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
  if (FormControl* owned = Owned(name)) {
    owned->SetText(text);
  } else if (target) {
    SetWindowTextW(target, Widen(text).c_str());
    if (auto placed = placed_.find(name); placed != placed_.end())
      Fit(placed->first, placed->second);
  }
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

PictureSet Form::Picture(std::string_view name) const {
  HWND image = Named(name);
  auto it = pictures_.find(image);
  return it == pictures_.end() ? PictureSet{} : it->second.source;
}

void Form::SetPicture(std::string_view name, PictureSet picture) {
  HWND image = Named(name);
  auto it = pictures_.find(image);
  if (it == pictures_.end())
    return;
  it->second.source = picture;
  ShowPicture(image, it->second);
}

void Form::ShowPicture(HWND image, ShownPicture& picture) {
  const core::Bounds bounds = Place(names_.at(image));
  HBITMAP source = picture.source.normal;
  if (picture.source.large && (dpi_ > core::kDesignDpi || !source))
    source = picture.source.large;
  const SIZE size = BitmapSize(source);
  HBITMAP scaled = nullptr;
  // At the size it was made for a picture is shown as it is; at any other
  // the control gets a smooth copy at its own size.
  if (source && (size.cx != bounds.width || size.cy != bounds.height))
    scaled = ScaledCopy(source, bounds.width, bounds.height);
  HBITMAP shown = scaled ? scaled : source;
  const auto previous = reinterpret_cast<HBITMAP>(
      SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown)));
  // The control hands back what it showed before: the bitmap given last,
  // or its own copy of it, which it never frees (comctl32 6 copies bitmaps
  // with an alpha channel). A picture given by the caller stays the
  // caller's.
  if (previous && previous != picture.shown && previous != shown)
    DeleteObject(previous);
  if (picture.scaled && picture.scaled != shown)
    DeleteObject(picture.scaled);
  picture.scaled = scaled;
  picture.shown = shown;
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
  return rect.top < ScaleToDpi(core::kHeaderBandHeight, dpi_);
}

void Form::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (frame_ == FrameKind::Page) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const core::Bounds design = core::DesignBoundsOf(id_, "");
    const int headerHeight = ScaleToDpi(core::kHeaderBandHeight, dpi_);
    // The etched lines are two lines of one pixel at 96 DPI, each as thick
    // as a pixel scales to, from where the scaled design puts their top:
    // like every control, they begin at a scaled edge, and so never cover
    // what stands above them.
    const int line = ScaleToDpi(1, dpi_);
    RECT header = {0, 0, client.right, headerHeight};
    FillRect(dc, &header, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int top : {headerHeight, ScaleToDpi(design.height - core::kButtonBandHeight - 2, dpi_)}) {
      RECT shadow = {0, top, client.right, top + line};
      RECT light = {0, top + line, client.right, top + 2 * line};
      FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
      FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
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
      // Per-monitor aware, the window takes the DPI of the monitor it
      // opens on.
      if (const int dpi = WindowDpi(hwnd_); dpi != dpi_) {
        dpi_ = dpi;
        MakeFonts();
      }
      OnCreate();
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale, or the scale changed: Windows
      // suggests the window's new place and size, which keep it where it
      // was in the eyes of the user. Wine has one DPI for all monitors and
      // never sends this.
      ApplyDpi(LOWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
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
