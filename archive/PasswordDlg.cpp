#include "archive/PasswordDlg.h"

#include <windows.h>

#include "platform/win32/Utf16.h"

namespace archive {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr wchar_t kClassName[] = L"TPasswordDlg";
constexpr int kWidth = 344;
constexpr int kHeight = 137;
constexpr int kEditId = 100;
constexpr int kMaxLength = 80;

struct DialogState {
  std::string text;
  bool done = false;
};

LRESULT CALLBACK PasswordProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // Nothing may unwind through the window procedure.
  try {
    switch (msg) {
      case WM_COMMAND:
        if (state && LOWORD(wParam) == IDOK) {
          HWND edit = GetDlgItem(hwnd, kEditId);
          wchar_t buffer[kMaxLength + 1] = {};
          GetWindowTextW(edit, buffer, kMaxLength + 1);
          state->text = Narrow(buffer);
          state->done = true;
          return 0;
        }
        if (state && LOWORD(wParam) == IDCANCEL) {
          state->text.clear();
          state->done = true;
          return 0;
        }
        break;
      case WM_CLOSE:
        if (state) {
          state->text.clear();
          state->done = true;
        }
        return 0;
      default:
        break;
    }
  } catch (...) {
    if (state) {
      state->text.clear();
      state->done = true;
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterOnce() {
  static bool registered = false;
  if (registered)
    return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PasswordProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  registered = true;
}

HWND Child(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int x, int y,
           int w, int h, int id, HFONT font) {
  HWND child = CreateWindowExW(cls == std::wstring(L"EDIT") ? WS_EX_CLIENTEDGE : 0, cls,
                               Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return child;
}

}  // namespace

std::string TPasswordDlg::Ask(const std::string& caption, const std::string& prompt) {
  RegisterOnce();
  DialogState state;
  HWND owner = GetActiveWindow();
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND dlg = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, Widen(caption).c_str(),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, kWidth, kHeight, owner,
                             nullptr, GetModuleHandleW(nullptr), &state);
  if (!dlg)
    return {};
  HFONT font =
      CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
  Child(dlg, L"STATIC", prompt, SS_LEFT, 20, 8, 297, 18, -1, font);
  HWND edit = Child(dlg, L"EDIT", "", WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 20, 40, 297, 21,
                    kEditId, font);
  SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
  SendMessageW(edit, EM_LIMITTEXT, kMaxLength, 0);
  // Fixed captions: the message texts 10152 and 10153 are not in the program,
  // and their fallback text, cut off to the button's width, would make both
  // buttons read alike.
  Child(dlg, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 44, 72, 90, 28, IDOK, font);
  Child(dlg, L"BUTTON", "Abbrechen", WS_TABSTOP | BS_PUSHBUTTON, 205, 72, 90, 28, IDCANCEL, font);

  if (owner)
    EnableWindow(owner, FALSE);
  ShowWindow(dlg, SW_SHOW);
  SetFocus(edit);
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!state.done) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    // Enter and Escape become OK and Cancel, Tab moves between controls.
    if (!IsDialogMessageW(dlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  DestroyWindow(dlg);
  DeleteObject(font);
  // The quit message belongs to the application's own loop.
  if (quit)
    PostQuitMessage(quitCode);
  return state.done ? state.text : std::string();
}

}  // namespace archive
